#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/child_process.h"

// The game server this game runs for its players ("Host" on the address screen):
// kav-server from beside the game binary, on a port the system picks. The server says
// where it listens on its first output line; the frames poll for that line instead of
// waiting for it, and give up on a server that exits first or stays silent too long.
// The server runs until Stop, which the lobby calls when the player leaves and the
// application on every way out.
class HostedServer {
public:
    enum class State { kIdle, kStarting, kListening, kFailed };

    static constexpr int64_t kStartTimeLimitMs = 5000;

    // `clock` gives milliseconds; `program` is the server's file.
    HostedServer(std::string program, std::function<int64_t()> clock);

    void SetProgram(std::string program) { program_ = std::move(program); }
    const std::string& Program() const { return program_; }

    // Starts a new server (a running one is stopped first); Poll follows it.
    void Start();
    // Once per frame while starting: reads what the server said and moves on to
    // kListening or kFailed. Returns the state.
    State Poll();
    void Stop();

    State GetState() const { return state_; }
    uint16_t Port() const { return port_; }
    // Why the start failed, for the player.
    const std::string& Failure() const { return failure_; }
    // "localhost:PORT" while listening, what the game connects to.
    std::string LocalAddress() const { return "localhost:" + std::to_string(port_); }
    // True once for each server that has come to listen: the lobby announces it then.
    bool TakeNewlyListening();

    // What the lobby chat tells the other players: "Hosting on HOST:PORT" for each of
    // `addresses` (numeric, IPv6 ones in brackets), or "Hosting on localhost:PORT"
    // when there is none.
    std::vector<std::string> AnnouncementLines(const std::vector<std::string>& addresses) const;

private:
    void Fail(const std::string& why);
    // A "listening HOST PORT" line; false for any other.
    bool TakeListeningLine(const std::string& line);

    std::string program_;
    std::function<int64_t()> clock_;
    ChildProcess child_;
    State state_ = State::kIdle;
    int64_t deadline_ = 0;
    uint16_t port_ = 0;
    bool announced_ = false;
    std::string failure_;
};
