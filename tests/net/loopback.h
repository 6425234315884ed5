#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

// Small loopback peers for the socket tests. Every wait is bounded: poll with a
// time limit, never a sleep.

// A listening TCP socket on 127.0.0.1 (or ::1) at a port the system picks.
class Listener {
public:
    explicit Listener(bool ipv6 = false, int backlog = 16);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    bool Ok() const { return socket_ >= 0; }
    uint16_t Port() const { return port_; }
    // The next connection, or -1 when none arrives within the time limit.
    int Accept(int timeLimitMs = 2000);

private:
    int socket_ = -1;
    uint16_t port_ = 0;
};

// A port on 127.0.0.1 that refuses connections: bound, so no one else takes it, but
// not listening.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    uint16_t Port() const { return port_; }

private:
    int socket_ = -1;
    uint16_t port_ = 0;
};

// A peer on a thread of its own that hands each connection to `serve`, which answers
// and says whether to hold the socket open (until the end) instead of closing it.
// Runs until destroyed, or for about 10 s whatever happens.
class PeerThread {
public:
    explicit PeerThread(std::function<bool(int socket)> serve);
    ~PeerThread();
    PeerThread(const PeerThread&) = delete;
    PeerThread& operator=(const PeerThread&) = delete;

    uint16_t Port() const { return listener_.Port(); }

private:
    Listener listener_;
    std::function<bool(int)> serve_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

bool WriteAll(int socket, const void* bytes, size_t size);
bool WriteAll(int socket, const std::string& bytes);
// Reads exactly `size` bytes, or fails after the time limit.
bool ReadExactly(int socket, std::string& out, size_t size, int timeLimitMs = 2000);
// Whatever can be read right now without waiting.
std::string ReadAvailable(int socket);
// Closes with a reset instead of an orderly close.
void CloseWithReset(int socket);
void CloseSocket(int socket);
