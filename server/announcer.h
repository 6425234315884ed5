#pragma once

#include <asio.hpp>
#include <functional>
#include <string>

#include "server/server_config.h"

// Keeps a game server listed in a directory: announces it at once and then at every
// interval (name, description, "games/players"), and withdraws it when asked.
class Announcer {
public:
    using StatusText = std::function<std::string()>;

    Announcer(asio::io_context& io, const ServerConfig& config, int gamePort, StatusText status);

    bool Start(std::string& error);
    // Tells the directory the server is gone, then calls `done` (also when the
    // directory does not answer within a few seconds).
    void Withdraw(std::function<void()> done);

    // The announcement line, cut of line breaks and field separators.
    static std::string AnnounceLine(int port, const std::string& name, const std::string& description,
                                    const std::string& status);

private:
    void Announce();
    void SendLine(const std::string& line, std::function<void()> done);

    asio::io_context& io_;
    std::string host_;
    int port_ = 0;
    int gamePort_;
    std::string name_;
    std::string description_;
    StatusText status_;
    int64_t intervalMs_;
    asio::steady_timer timer_;
    bool withdrawn_ = false;
};
