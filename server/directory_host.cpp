#include "server/directory_host.h"

#include "base/clock.h"
#include "base/report.h"
#include "net/frame.h"
#include "net/protocol.h"
#include "server/listener.h"

namespace {

constexpr auto kRequestTimeout = std::chrono::seconds(10);
constexpr auto kPingTimeout = std::chrono::seconds(5);
constexpr auto kExpiryInterval = std::chrono::seconds(1);
constexpr size_t kMaxOpenRequests = 256;
constexpr size_t kPingReplySize = 3 + 8;

DirectorySettings SettingsFrom(const ServerConfig& config) {
    DirectorySettings settings;
    settings.publicAddress = config.publicAddress;
    settings.referencePath = config.referencePath;
    settings.listPath = config.listPath;
    settings.staticServers = config.staticServers;
    settings.entryLifetimeMs = config.entryLifetimeMs;
    return settings;
}

}  // namespace

struct DirectoryHost::Request {
    Request(asio::ip::tcp::socket s, asio::io_context& io) : socket(std::move(s)), timer(io) {}
    asio::ip::tcp::socket socket;
    asio::steady_timer timer;
    std::string received;
    std::string reply;
    char buffer[1024];
};

// One reachability check: connect, ping, expect the ping's reply, all within a time limit.
struct DirectoryHost::Check {
    Check(asio::io_context& io) : socket(io), timer(io) {}
    asio::ip::tcp::socket socket;
    asio::steady_timer timer;
    std::vector<uint8_t> ping;
    uint8_t reply[kPingReplySize];
};

DirectoryHost::DirectoryHost(asio::io_context& io, const ServerConfig& config)
    : io_(io), config_(config), acceptor_(io), expiry_(io), directory_(SettingsFrom(config)) {}

bool DirectoryHost::Start(std::string& error) {
    if (!OpenListener(acceptor_, config_.listen, config_.directoryPort, error)) return false;
    Report(LogModule::kServer, LogLevel::kInfo, "Server directory listening on %s port %d", ListenHost().c_str(),
           ListenPort());
    Accept();
    ScheduleExpiry();
    return true;
}

void DirectoryHost::Stop() {
    stopped_ = true;
    asio::error_code ec;
    acceptor_.close(ec);
    expiry_.cancel();
}

std::string DirectoryHost::ListenHost() const { return ListenerHost(acceptor_); }

int DirectoryHost::ListenPort() const { return ListenerPort(acceptor_); }

void DirectoryHost::Accept() {
    acceptor_.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (stopped_ || ec == asio::error::operation_aborted) return;
        if (!ec && open_ < kMaxOpenRequests) {
            auto request = std::make_shared<Request>(std::move(socket), io_);
            ++open_;
            request->timer.expires_after(kRequestTimeout);
            request->timer.async_wait([request](const asio::error_code& timeout) {
                asio::error_code ignored;
                if (!timeout) request->socket.close(ignored);
            });
            Read(request);
        }
        Accept();
    });
}

void DirectoryHost::Read(const std::shared_ptr<Request>& request) {
    request->socket.async_read_some(
        asio::buffer(request->buffer), [this, request](const asio::error_code& ec, size_t count) {
            const auto finish = [this, request] {
                --open_;
                request->timer.cancel();
                asio::error_code ignored;
                request->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
                request->socket.close(ignored);
            };
            if (ec) return finish();
            request->received.append(request->buffer, count);
            DirectoryRequest parsed;
            const RequestStatus status = ParseDirectoryRequest(request->received, parsed);
            if (status == RequestStatus::kIncomplete) return Read(request);
            DirectoryReply reply;
            if (status == RequestStatus::kBad) {
                Report(LogModule::kServer, LogLevel::kWarning, "Bad directory request from %s",
                       PeerAddress(request->socket).c_str());
                reply.bytes = "\nERROR\n";
            } else {
                reply = directory_.Handle(parsed, PeerAddress(request->socket), NowMs());
            }
            if (reply.check) Ping(reply.check->first, reply.check->second);
            request->reply = std::move(reply.bytes);
            asio::async_write(request->socket, asio::buffer(request->reply),
                              [finish, request](const asio::error_code&, size_t) { finish(); });
        });
}

void DirectoryHost::Ping(const std::string& host, int port) {
    asio::error_code ec;
    const asio::ip::address address = asio::ip::make_address(host, ec);
    if (ec) return;
    auto check = std::make_shared<Check>(io_);
    AppendFrame(check->ping, ToByte(MessageKind::kPing), EncodeInt(0).data(), 4);
    check->timer.expires_after(kPingTimeout);
    check->timer.async_wait([check](const asio::error_code& timeout) {
        asio::error_code ignored;
        if (!timeout) check->socket.close(ignored);
    });
    check->socket.async_connect(
        {address, static_cast<uint16_t>(port)}, [this, check, host, port](const asio::error_code& connected) {
            if (connected) {
                Report(LogModule::kServer, LogLevel::kWarning, "Server %s:%d announced itself but cannot be reached",
                       host.c_str(), port);
                check->timer.cancel();
                return;
            }
            asio::async_write(
                check->socket, asio::buffer(check->ping),
                [this, check, host, port](const asio::error_code& written, size_t) {
                    if (written) {
                        check->timer.cancel();
                        return;
                    }
                    asio::async_read(
                        check->socket, asio::buffer(check->reply),
                        [this, check, host, port](const asio::error_code& read, size_t) {
                            check->timer.cancel();
                            asio::error_code ignored;
                            check->socket.close(ignored);
                            FrameHead head;
                            if (!read && CheckFrame(check->reply, sizeof check->reply, head) == FrameStatus::kFrame &&
                                head.kind == ToByte(MessageKind::kPing) && head.length == kPingReplySize) {
                                directory_.Reached(host, port);
                            } else {
                                Report(LogModule::kServer, LogLevel::kWarning, "Server %s:%d did not answer the ping",
                                       host.c_str(), port);
                            }
                        });
                });
        });
}

void DirectoryHost::ScheduleExpiry() {
    expiry_.expires_after(kExpiryInterval);
    expiry_.async_wait([this](const asio::error_code& ec) {
        if (ec || stopped_) return;
        directory_.Expire(NowMs());
        ScheduleExpiry();
    });
}
