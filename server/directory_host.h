#pragma once

#include <asio.hpp>
#include <memory>
#include <string>

#include "server/directory.h"
#include "server/server_config.h"

// The directory's sockets: answers each connection's one request and closes it, pings
// servers that announce themselves before listing them, and drops stale entries.
class DirectoryHost {
public:
    DirectoryHost(asio::io_context& io, const ServerConfig& config);

    bool Start(std::string& error);
    void Stop();
    std::string ListenHost() const;
    int ListenPort() const;
    const Directory& GetDirectory() const { return directory_; }

private:
    struct Request;
    struct Check;

    void Accept();
    void Read(const std::shared_ptr<Request>& request);
    void Ping(const std::string& host, int port);
    void ScheduleExpiry();

    asio::io_context& io_;
    ServerConfig config_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer expiry_;
    Directory directory_;
    size_t open_ = 0;
    bool stopped_ = false;
};
