#pragma once

#include <cstdint>
#include <vector>

// Every connected client has a number that is never reused while the server runs.
using ClientId = uint32_t;

// Where the game rules put what they say to clients. The socket host implements it
// with per-connection send queues; tests record the frames.
class ClientOutput {
public:
    virtual ~ClientOutput() = default;
    // `frame` is one whole frame, head included.
    virtual void Send(ClientId client, const std::vector<uint8_t>& frame) = 0;
    // Ends the connection. The rules have already forgotten the client, so the host
    // must not report it back as a disconnect.
    virtual void Close(ClientId client) = 0;
};
