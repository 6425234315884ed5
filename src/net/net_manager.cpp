#include "net/net_manager.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <thread>

#include "base/report.h"

NetManager::NetManager(const NetOptions& options) : options_(options) {}

NetManager::~NetManager() {
    if (started_) Shutdown();
}

bool NetManager::Startup() {
    // POSIX sockets need no library start; the scratch buffer is all there is to set up.
    scratch_.assign(kScratchSize, 0);
    started_ = true;
    Report(LogModule::kNet, LogLevel::kInfo, "Network manager is initialized");
    return true;
}

void NetManager::Shutdown() {
    while (connectionCount_ > 0) {
        auto open = std::find_if(table_.begin(), table_.end(), [](const auto& entry) { return !entry.second->closed; });
        if (open == table_.end()) break;
        RemoveConnection(open->first);
    }
    PurgeClosed();
    currentSocket_ = -1;
    started_ = false;
    Report(LogModule::kNet, LogLevel::kInfo, "Network manager is destroyed");
}

bool NetManager::Connect() {
    if (connected_) Disconnect();
    connected_ = false;
    currentSocket_ = -1;
    current_ = nullptr;
    std::string host;
    uint16_t port = port_;
    connectFailure_.clear();
    if (!SplitHostPort(host_, port_, host, port)) {
        Report(LogModule::kNet, LogLevel::kError, "Could not find host: %s", host_.c_str());
        connectFailure_ = "Could not find host " + host_;
        return false;
    }
    const std::string where =
        (host.find(':') == std::string::npos ? host : "[" + host + "]") + ":" + std::to_string(port);
    int socket = -1;
    PeerAddress address;
    const ConnectResult result =
        ConnectStream(host, port, options_.connect_time_limit_ms, socket, address, &cancelConnects_);
    switch (result) {
        case ConnectResult::kNoHost:
            Report(LogModule::kNet, LogLevel::kError, "Could not find host: %s", host_.c_str());
            connectFailure_ = "Could not find host " + host;
            return false;
        case ConnectResult::kNoSocket:
            Report(LogModule::kNet, LogLevel::kError, "Could not open socket for host: %s", host_.c_str());
            connectFailure_ = "Could not open a socket for " + where;
            return false;
        case ConnectResult::kRefused:
        case ConnectResult::kNoConnect:
            Report(LogModule::kNet, LogLevel::kWarning, "Could not connect to the host: %s", host_.c_str());
            connectFailure_ =
                (result == ConnectResult::kRefused ? "Connection refused by " : "No answer from ") + where;
            return false;
        case ConnectResult::kConnected: break;
    }
    currentSocket_ = socket;
    AddConnection(socket, address);
    current_ = FindConnection(socket);
    connected_ = true;
    Report(LogModule::kNet, LogLevel::kInfo, "Connection is opened to the host: %s", host_.c_str());
    return true;
}

bool NetManager::ConnectTo(const std::string& host, uint16_t port) {
    host_ = host;
    port_ = port;
    return Connect();
}

void NetManager::Disconnect() {
    RemoveConnection(currentSocket_);
    currentSocket_ = -1;
}

bool NetManager::Select(int waitUnits) {
    std::vector<int> reads;
    std::vector<int> writes;
    {
        SpinLockGuard guard(setsLock_);
        reads = readSet_;
        writes = writeSet_;
    }
    readReady_.clear();
    writeReady_.clear();
    if (reads.empty() && writes.empty()) {
        std::this_thread::yield();
        return true;
    }
    std::vector<pollfd> watched;
    for (int socket : reads) watched.push_back({socket, POLLIN, 0});
    for (int socket : writes) {
        auto both = std::find_if(watched.begin(), watched.end(), [socket](const pollfd& p) { return p.fd == socket; });
        if (both != watched.end())
            both->events |= POLLOUT;
        else
            watched.push_back({socket, POLLOUT, 0});
    }
    const long micros = std::max(waitUnits, 0) * 100L;
    const timespec wait{micros / 1000000, (micros % 1000000) * 1000};
    const int ready = ppoll(watched.data(), watched.size(), &wait, nullptr);
    if (ready < 0) {
        // A signal only cut the wait short; nothing is ready, nothing is wrong.
        if (errno == EINTR) return true;
        Report(LogModule::kNet, LogLevel::kError, "Problem with select(), error %d", errno);
        return false;
    }
    for (const pollfd& p : watched) {
        // A hang-up or error reads as readable, so the receive sees the close.
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            if (p.events & POLLIN) readReady_.push_back(p.fd);
        }
        if (p.revents & (POLLOUT | POLLHUP | POLLERR)) {
            if (p.events & POLLOUT) writeReady_.push_back(p.fd);
        }
    }
    return true;
}

bool NetManager::PumpReads() {
    for (auto& [socket, connection] : table_) {
        if (connection->closed || !Contains(readReady_, socket)) continue;
        if (Receive(*connection) == ReceiveResult::kClosed) RemoveConnection(socket);
    }
    return true;
}

NetManager::ReceiveResult NetManager::Receive(Connection& connection) {
    const ssize_t got = recv(connection.socket, scratch_.data(), scratch_.size(), MSG_DONTWAIT);
    if (got == 0) return ReceiveResult::kClosed;
    if (got < 0) {
        // Readiness can be stale; only a real error ends the connection.
        const bool transient = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        return transient ? ReceiveResult::kNothing : ReceiveResult::kClosed;
    }
    connection.receive.Append(scratch_.data(), static_cast<size_t>(got));
    if (connection.receive.Unread() > options_.receive_limit) {
        Report(LogModule::kNet, LogLevel::kError, "Too much unread data from socket %d, connection dropped",
               connection.socket);
        connection.failed = true;
        connection.receive.Consume(0);
        return ReceiveResult::kClosed;
    }
    return ReceiveResult::kData;
}

bool NetManager::PumpWrites() {
    bool ok = true;
    for (auto& [socket, connection] : table_) {
        if (!Contains(writeReady_, socket) || connection->send.Unread() == 0) continue;
        if (SendPending(socket) < 0) ok = false;
    }
    return ok;
}

long NetManager::SendPending(int socket) {
    Connection* connection = FindConnection(socket);
    if (connection == nullptr || connection->closed) return 0;
    const size_t pending = connection->send.Unread();
    sendScratch_.resize(pending);
    const size_t peeked = connection->send.Peek(sendScratch_.data(), pending);
    ssize_t sent = 0;
    if (peeked != 0) {
        // MSG_NOSIGNAL: a peer that is gone must give an error here, not kill the game.
        sent = send(socket, sendScratch_.data(), peeked, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            sent = 0;
        else if (sent <= 0)
            sent = -1;
    }
    if (sent < 0) {
        // Only what was tried goes: a message queued meanwhile by another thread starts clean.
        connection->send.Consume(peeked);
        Report(LogModule::kNet, LogLevel::kError, "Could not send data to socket %d", socket);
    } else {
        connection->send.Consume(static_cast<size_t>(sent));
    }
    {
        SpinLockGuard guard(setsLock_);
        if (connection->send.Unread() == 0) Unwatch(writeSet_, socket);
    }
    return sent;
}

bool NetManager::SendMessage(int socket, uint8_t kind, const void* payload, size_t length) {
    std::vector<uint8_t> frame;
    if (!AppendFrame(frame, kind, payload, length)) return false;
    return SendRaw(socket, frame.data(), frame.size());
}

bool NetManager::Send(uint8_t kind, ByteQueue& buffer) {
    std::string payload;
    buffer.ReadString(payload, 0);
    return SendMessage(currentSocket_, kind, payload.data(), payload.size());
}

bool NetManager::SendRaw(int socket, const void* bytes, size_t length) {
    SpinLockGuard tableGuard(tableLock_);
    auto found = table_.find(socket);
    if (found == table_.end() || found->second->closed) return false;
    found->second->send.Append(bytes, length);
    SpinLockGuard setsGuard(setsLock_);
    if (!Contains(writeSet_, socket) && writeSet_.size() < kMaxWatched) Watch(writeSet_, socket);
    return true;
}

bool NetManager::HasMessage() {
    if (current_ == nullptr) return false;
    FrameHead head;
    const FrameStatus status = CheckFrame(current_->receive, head, options_.max_frame_size);
    if (status == FrameStatus::kBad) {
        DropForError(*current_, "Bad message frame from socket %d, connection dropped");
        return false;
    }
    return status == FrameStatus::kFrame;
}

bool NetManager::NextMessage(ByteQueue& destination) {
    if (!HasMessage()) return false;
    FrameHead head;
    CheckFrame(current_->receive, head, options_.max_frame_size);
    current_->receive.MoveTo(destination, head.length);
    return true;
}

void NetManager::DropForError(Connection& connection, const char* what) {
    Report(LogModule::kNet, LogLevel::kError, what, connection.socket);
    connection.failed = true;
    // The bytes can never be read as frames; keeping them would only repeat this.
    connection.receive.Consume(0);
    if (!connection.closed) RemoveConnection(connection.socket);
}

void NetManager::AddConnection(int socket, const PeerAddress& address) {
    Connection* connection = FindConnection(socket);
    if (connection == nullptr) {
        SpinLockGuard guard(tableLock_);
        connection = table_.emplace(socket, std::make_unique<Connection>()).first->second.get();
    }
    // A reused socket number is a new stream: nothing of the old one may leak into it.
    connection->receive.Consume(0);
    connection->send.Consume(0);
    connection->peer = address;
    connection->socket = socket;
    connection->failed = false;
    connection->closed = false;
    {
        SpinLockGuard guard(setsLock_);
        if (readSet_.size() < kMaxWatched) Watch(readSet_, socket);
    }
    ++connectionCount_;
    Report(LogModule::kNet, LogLevel::kInfo, "Connection added socket %d, ip %s", socket,
           FormatAddress(address).c_str());
}

void NetManager::RemoveConnection(int socket) {
    Connection* connection = FindConnection(socket);
    if (connection == nullptr || connection->closed) return;
    {
        SpinLockGuard guard(setsLock_);
        Unwatch(readSet_, socket);
        Unwatch(writeSet_, socket);
    }
    CloseSocket(socket);
    connection->closed = true;
    connection->socket = -1;
    if (socket == currentSocket_) connected_ = false;
    --connectionCount_;
    Report(LogModule::kNet, LogLevel::kInfo, "Connection removed; socket %d, ip %s", socket,
           FormatAddress(connection->peer).c_str());
}

void NetManager::CloseSocket(int socket) {
    if (close(socket) != 0)
        Report(LogModule::kNet, LogLevel::kError, "Not correct closing for the socket %d, error:%d", socket, errno);
}

void NetManager::PurgeClosed() {
    SpinLockGuard guard(tableLock_);
    for (auto entry = table_.begin(); entry != table_.end();) {
        if (!entry->second->closed) {
            ++entry;
            continue;
        }
        if (entry->second.get() == current_) current_ = nullptr;
        entry = table_.erase(entry);
    }
}

void NetManager::DropCurrent() {
    Disconnect();
    SpinLockGuard guard(tableLock_);
    auto found = std::find_if(table_.begin(), table_.end(),
                              [this](const auto& entry) { return entry.second.get() == current_; });
    if (found != table_.end() && found->second->closed) table_.erase(found);
    current_ = nullptr;
}

Connection* NetManager::FindConnection(int socket) {
    auto found = table_.find(socket);
    return found == table_.end() ? nullptr : found->second.get();
}

void NetManager::Watch(std::vector<int>& set, int socket) { set.push_back(socket); }

void NetManager::Unwatch(std::vector<int>& set, int socket) {
    set.erase(std::remove(set.begin(), set.end(), socket), set.end());
}

bool NetManager::Contains(const std::vector<int>& set, int socket) {
    return std::find(set.begin(), set.end(), socket) != set.end();
}
