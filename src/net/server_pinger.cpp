#include "net/server_pinger.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/clock.h"
#include "net/address.h"
#include "net/frame.h"
#include "net/protocol.h"

namespace {

// Polls in short slices so that a stop is noticed at once.
constexpr int kSliceMs = 20;
// Before log in a server has nothing else to say; more than this is not a game server.
constexpr size_t kMaxReplyBytes = 4096;

}  // namespace

ServerPinger::ServerPinger(std::function<int64_t()> clock) : clock_(std::move(clock)) {
    if (!clock_) clock_ = NowMs;
}

ServerPinger::~ServerPinger() { Stop(); }

void ServerPinger::Ping(std::vector<PingTarget> targets, Result result) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (stop_) return;
        waiting_ = std::move(targets);
        result_ = std::move(result);
        while (threads_.size() < kThreads && threads_.size() < waiting_.size())
            threads_.emplace_back([this] { ThreadBody(); });
    }
    wake_.notify_all();
}

void ServerPinger::Stop() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    // Ping starts no thread once the stop is set, so the list no longer changes.
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
}

void ServerPinger::ThreadBody() {
    for (;;) {
        PingTarget target;
        Result result;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
            if (stop_) return;
            target = waiting_.front();
            waiting_.erase(waiting_.begin());
            result = result_;
        }
        const int ping = Measure(target);
        if (stop_) return;
        if (result) result(target, ping);
    }
}

int64_t ServerPinger::Now() const { return clock_(); }

int ServerPinger::Measure(const PingTarget& target) {
    const int64_t deadline = Now() + kTimeLimitMs;
    int socket = -1;
    PeerAddress address;
    if (ConnectStream(target.host, target.port, kTimeLimitMs, socket, address, &stop_) != ConnectResult::kConnected)
        return -1;
    const int32_t sent = static_cast<int32_t>(Now());
    std::vector<uint8_t> ping;
    const Payload time = EncodeInt(sent);
    AppendFrame(ping, ToByte(MessageKind::kPing), time.data(), time.size());
    // Seven bytes fit any socket buffer: one send of a fresh connection takes them all.
    const bool replied = send(socket, ping.data(), ping.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(ping.size()) &&
                         AwaitReply(socket, sent, deadline);
    close(socket);
    return replied ? static_cast<int>(Now() - sent) : -1;
}

bool ServerPinger::AwaitReply(int socket, int32_t sent, int64_t deadline) {
    std::vector<uint8_t> received;
    while (!stop_ && Now() < deadline) {
        pollfd watch{socket, POLLIN, 0};
        const int ready = poll(&watch, 1, kSliceMs);
        if (ready < 0 && errno != EINTR) return false;
        if (ready <= 0) continue;
        uint8_t chunk[512];
        const ssize_t count = recv(socket, chunk, sizeof chunk, 0);
        if (count <= 0) return false;
        received.insert(received.end(), chunk, chunk + count);
        FrameHead head;
        size_t offset = 0;
        FrameStatus status;
        while ((status = CheckFrame(received.data() + offset, received.size() - offset, head)) == FrameStatus::kFrame) {
            PingReply reply;
            if (head.kind == ToByte(MessageKind::kPing) &&
                DecodePingReply(received.data() + offset + kFrameHeadSize, head.length - kFrameHeadSize, reply))
                return reply.client_time == sent;
            offset += head.length;
        }
        if (status == FrameStatus::kBad || received.size() > kMaxReplyBytes) return false;
    }
    return false;
}
