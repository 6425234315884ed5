#include "server/announcer.h"

#include <memory>

#include "base/report.h"

namespace {

constexpr auto kExchangeTimeout = std::chrono::seconds(3);

std::string Clean(std::string text) {
    for (char& c : text) {
        if (c == ';' || c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

// One short exchange with the directory: connect, send the line, read until it closes.
struct Exchange {
    Exchange(asio::io_context& io) : resolver(io), socket(io), timer(io) {}
    asio::ip::tcp::resolver resolver;
    asio::ip::tcp::socket socket;
    asio::steady_timer timer;
    std::string line;
    char buffer[64];
    std::function<void()> done;

    void Finish() {
        timer.cancel();
        asio::error_code ignored;
        socket.close(ignored);
        if (done) std::exchange(done, nullptr)();
    }
};

void ReadToEnd(const std::shared_ptr<Exchange>& exchange) {
    exchange->socket.async_read_some(asio::buffer(exchange->buffer), [exchange](const asio::error_code& ec, size_t) {
        if (ec) return exchange->Finish();
        ReadToEnd(exchange);
    });
}

}  // namespace

Announcer::Announcer(asio::io_context& io, const ServerConfig& config, int gamePort, StatusText status)
    : io_(io),
      gamePort_(gamePort),
      name_(config.name),
      description_(config.description),
      status_(std::move(status)),
      intervalMs_(config.announceIntervalMs),
      timer_(io) {
    host_ = config.announceTo;
}

bool Announcer::Start(std::string& error) {
    const std::string address = host_;
    if (!SplitHostPort(address, host_, port_)) {
        error = "bad directory address " + address + " (HOST:PORT)";
        return false;
    }
    Announce();
    return true;
}

std::string Announcer::AnnounceLine(int port, const std::string& name, const std::string& description,
                                    const std::string& status) {
    return "ANNOUNCE " + std::to_string(port) + ";" + Clean(name) + ";" + Clean(description) + ";" + Clean(status) +
           "\n";
}

void Announcer::Announce() {
    if (withdrawn_) return;
    SendLine(AnnounceLine(gamePort_, name_, description_, status_()), nullptr);
    timer_.expires_after(std::chrono::milliseconds(intervalMs_));
    timer_.async_wait([this](const asio::error_code& ec) {
        if (!ec) Announce();
    });
}

void Announcer::Withdraw(std::function<void()> done) {
    withdrawn_ = true;
    timer_.cancel();
    Report(LogModule::kServer, LogLevel::kInfo, "Withdrawing from the directory %s:%d", host_.c_str(), port_);
    SendLine("WITHDRAW " + std::to_string(gamePort_) + "\n", std::move(done));
}

void Announcer::SendLine(const std::string& line, std::function<void()> done) {
    auto exchange = std::make_shared<Exchange>(io_);
    exchange->line = line;
    exchange->done = std::move(done);
    exchange->timer.expires_after(kExchangeTimeout);
    exchange->timer.async_wait([exchange](const asio::error_code& ec) {
        if (!ec) exchange->Finish();
    });
    const std::string host = host_;
    const int port = port_;
    exchange->resolver.async_resolve(
        host, std::to_string(port), [exchange, host, port](const asio::error_code& ec, auto results) {
            if (ec) {
                Report(LogModule::kServer, LogLevel::kWarning, "Directory %s not found", host.c_str());
                return exchange->Finish();
            }
            asio::async_connect(exchange->socket, results,
                                [exchange, host, port](const asio::error_code& connected, const auto&) {
                                    if (connected) {
                                        Report(LogModule::kServer, LogLevel::kWarning,
                                               "Could not reach the directory %s:%d", host.c_str(), port);
                                        return exchange->Finish();
                                    }
                                    asio::async_write(exchange->socket, asio::buffer(exchange->line),
                                                      [exchange](const asio::error_code& written, size_t) {
                                                          if (written) return exchange->Finish();
                                                          ReadToEnd(exchange);
                                                      });
                                });
        });
}
