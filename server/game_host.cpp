#include "server/game_host.h"

#include "base/clock.h"
#include "base/report.h"
#include "server/listener.h"
#include "server/out_buffer.h"

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(250);
constexpr size_t kReadChunk = 4096;

}  // namespace

struct GameHost::Session {
    Session(asio::ip::tcp::socket s, ClientId i, std::string a, const ServerConfig& config)
        : socket(std::move(s)), id(i), address(std::move(a)), intake(config.intake), out(config.sendQueueBytes) {}

    asio::ip::tcp::socket socket;
    ClientId id;
    std::string address;
    FrameIntake intake;
    OutBuffer out;
    uint8_t buffer[kReadChunk];
    bool closing = false;
};

GameHost::GameHost(asio::io_context& io, const ServerConfig& config)
    : io_(io),
      config_(config),
      acceptor_(io),
      tick_(io),
      lobby_(*this, config.lobby),
      admission_(config.maxConnections, config.maxPerAddress) {}

GameHost::~GameHost() { Stop(); }

bool GameHost::Start(std::string& error) {
    if (!OpenListener(acceptor_, config_.listen, config_.port, error)) return false;
    Report(LogModule::kServer, LogLevel::kInfo, "Game server listening on %s port %d", ListenHost().c_str(),
           ListenPort());
    Accept();
    ScheduleTick();
    return true;
}

std::string GameHost::ListenHost() const { return ListenerHost(acceptor_); }

int GameHost::ListenPort() const { return ListenerPort(acceptor_); }

void GameHost::Stop() {
    if (stopped_) return;
    stopped_ = true;
    asio::error_code ec;
    acceptor_.close(ec);
    tick_.cancel();
    while (!sessions_.empty()) Drop(sessions_.begin()->first, "server stops");
}

void GameHost::Accept() {
    acceptor_.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (stopped_ || ec == asio::error::operation_aborted) return;
        if (!ec) {
            asio::error_code peerError;
            const std::string address = PeerAddress(socket);
            if (!admission_.Admit(address)) {
                Report(LogModule::kServer, LogLevel::kWarning, "Connection from %s refused: too many connections",
                       address.c_str());
                socket.close(peerError);
            } else {
                socket.set_option(asio::ip::tcp::no_delay(true), peerError);
                const ClientId id = ++lastClient_;
                auto session = std::make_shared<Session>(std::move(socket), id, address, config_);
                sessions_[id] = session;
                lobby_.Connect(id, address, NowMs());
                Read(session);
            }
        }
        Accept();
    });
}

void GameHost::Read(const std::shared_ptr<Session>& session) {
    session->socket.async_read_some(
        asio::buffer(session->buffer), [this, session](const asio::error_code& ec, size_t count) {
            if (session->closing) return;
            if (ec) return Drop(session->id, nullptr);
            const bool ok = session->intake.Feed(session->buffer, count, NowMs(),
                                                 [&](uint8_t kind, const uint8_t* payload, size_t size) {
                                                     if (!session->closing)
                                                         lobby_.Receive(session->id, kind, payload, size, NowMs());
                                                 });
            if (session->closing) return;
            if (!ok) {
                Report(LogModule::kServer, LogLevel::kWarning, "Connection from %s closed: %s",
                       session->address.c_str(), session->intake.Error().c_str());
                return Drop(session->id, nullptr);
            }
            Read(session);
        });
}

void GameHost::Send(ClientId client, const std::vector<uint8_t>& frame) {
    auto found = sessions_.find(client);
    if (found == sessions_.end() || found->second->closing) return;
    const std::shared_ptr<Session>& session = found->second;
    if (!session->out.Append(frame)) {
        // The lobby is in the middle of its own work: the drop, which tells the lobby,
        // waits until that is done.
        session->closing = true;
        Report(LogModule::kServer, LogLevel::kWarning, "Client from %s does not read, dropped",
               session->address.c_str());
        asio::post(io_, [this, client] { Drop(client, nullptr); });
        return;
    }
    Write(session);
}

void GameHost::Write(const std::shared_ptr<Session>& session) {
    const std::vector<uint8_t>* block = session->out.StartWrite();
    if (block == nullptr) return;
    asio::async_write(session->socket, asio::buffer(*block), [this, session](const asio::error_code& ec, size_t) {
        session->out.WriteDone();
        if (session->closing) return;
        if (ec) return Drop(session->id, nullptr);
        Write(session);
    });
}

void GameHost::Close(ClientId client) { Forget(client); }

void GameHost::Drop(ClientId client, const char* reason) {
    auto found = sessions_.find(client);
    if (found == sessions_.end()) return;
    if (reason != nullptr)
        Report(LogModule::kServer, LogLevel::kInfo, "Connection from %s closed: %s", found->second->address.c_str(),
               reason);
    Forget(client);
    lobby_.Disconnect(client, NowMs());
}

void GameHost::Forget(ClientId client) {
    auto found = sessions_.find(client);
    if (found == sessions_.end()) return;
    const std::shared_ptr<Session> session = found->second;
    sessions_.erase(found);
    session->closing = true;
    admission_.Release(session->address);
    asio::error_code ec;
    session->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    session->socket.close(ec);
}

void GameHost::ScheduleTick() {
    tick_.expires_after(kTickInterval);
    tick_.async_wait([this](const asio::error_code& ec) {
        if (ec || stopped_) return;
        lobby_.Tick(NowMs());
        ScheduleTick();
    });
}
