#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/server_list.h"

// What the game-server client needs of the socket layer and the server directory.
// The client thread owns it and makes every call, except Send, which any thread may
// use to queue a message, and the connects, which the menus make while the client
// thread idles.
class ServerTransport {
public:
    virtual ~ServerTransport() = default;

    virtual bool Startup() = 0;
    virtual void Shutdown() = 0;

    // Fetches the server directory (and keeps it as the cached list).
    virtual bool FetchServerList(ServerListResult& list) = 0;
    // The list of the last good fetch; false when there is none to be had.
    virtual bool LoadCachedServerList(ServerListResult& list) = 0;
    virtual bool ConnectToListed(size_t index) = 0;
    virtual bool ConnectTo(const std::string& host, uint16_t port) = 0;
    // Why the last connect failed, for the player; empty when there is nothing to add.
    virtual std::string ConnectFailure() const { return std::string(); }
    virtual void Disconnect() = 0;
    // Any thread, at shutdown: ends a connect under way at once.
    virtual void CancelConnects() {}
    virtual bool Connected() const = 0;

    // One turn of the socket pump: waits at most 0.1 s for readiness, then reads and
    // writes. False on any failure or when the connection has gone.
    virtual bool Pump() = 0;
    // Queues one framed message on the current connection.
    virtual bool Send(uint8_t kind, const std::vector<uint8_t>& payload) = 0;
    // Takes the next whole frame that has arrived; false when none is complete.
    virtual bool Receive(uint8_t& kind, std::vector<uint8_t>& payload) = 0;
    // Forgets what is queued for sending and not sent yet.
    virtual void DropOutgoing() = 0;
};
