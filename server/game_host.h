#pragma once

#include <asio.hpp>
#include <map>
#include <memory>
#include <string>

#include "server/admission.h"
#include "server/client_output.h"
#include "server/lobby.h"
#include "server/server_config.h"

// The game server's sockets: accepts connections (IPv4 and IPv6), feeds their frames
// to the lobby and writes the lobby's answers. Runs on one io_context thread.
class GameHost : public ClientOutput {
public:
    GameHost(asio::io_context& io, const ServerConfig& config);
    ~GameHost() override;

    // Binds and starts accepting; false with `error` when the address cannot be bound.
    bool Start(std::string& error);
    // Closes the listening socket and every connection.
    void Stop();
    // The bound address and port, as "listening HOST PORT" shows them.
    std::string ListenHost() const;
    int ListenPort() const;

    const Lobby& GetLobby() const { return lobby_; }
    size_t ConnectionCount() const { return sessions_.size(); }

    void Send(ClientId client, const std::vector<uint8_t>& frame) override;
    void Close(ClientId client) override;

private:
    struct Session;

    void Accept();
    void Read(const std::shared_ptr<Session>& session);
    void Write(const std::shared_ptr<Session>& session);
    // Closes a connection the host gives up on (bad frames, a peer that left or stopped
    // reading) and tells the lobby it dropped.
    void Drop(ClientId client, const char* reason);
    void Forget(ClientId client);
    void ScheduleTick();

    asio::io_context& io_;
    ServerConfig config_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer tick_;
    Lobby lobby_;
    Admission admission_;
    std::map<ClientId, std::shared_ptr<Session>> sessions_;
    ClientId lastClient_ = 0;
    bool stopped_ = false;
};
