#pragma once

#include <asio.hpp>
#include <cstdint>
#include <functional>
#include <string>

#include "net/protocol.h"
#include "server/out_buffer.h"

struct BotSettings {
    std::string host = "127.0.0.1";
    int port = 4077;
    std::string name = "Bot";
    // kCreate opens a two-place game and waits; kJoin joins the game titled
    // `partner` + "'s game"; kJoinAny joins whatever game takes it, creating one when none does.
    enum class Role { kCreate, kJoin, kJoinAny } role = Role::kJoinAny;
    std::string partner;
    std::string level = "crossroads";
    uint32_t levelChecksum = 0;
    int victories = 5;
    int updatesPerSecond = 30;
    int64_t raceMs = 120000;  // then the bot leaves and looks for the next race
    // Load measurement: updates carry a microsecond stamp in their clock field, and
    // every update received reports its travel time here.
    std::function<void(int64_t micros)> onRelayed;
};

// A headless player: logs in, creates or joins a game, and races by sending player
// updates and pings at the game's rates. For trying network play alone and for load.
class Bot {
public:
    Bot(asio::io_context& io, BotSettings settings);
    void Start();
    void Stop();
    bool Racing() const { return state_ == State::kRacing; }

private:
    enum class State { kConnecting, kLoggingIn, kLooking, kWaiting, kRacing, kStopped };

    void ReadHead();
    void Handle(uint8_t kind, const std::vector<uint8_t>& payload);
    void Send(MessageKind kind, const Payload& payload = {});
    void Write();
    void Look();
    void Create();
    void OnGameListed(const GameRecord& game);
    void EnterRace();
    void SchedulePing(std::chrono::milliseconds wait);
    void SendUpdate();
    void LeaveRace();
    void Fail(const char* what);

    asio::io_context& io_;
    BotSettings settings_;
    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;  // list polling and the update rate
    asio::steady_timer pingTimer_;
    State state_ = State::kConnecting;
    uint8_t head_[3];
    std::vector<uint8_t> payload_;
    OutBuffer out_;
    std::vector<int32_t> refused_;  // games that did not take the bot this round
    int32_t tried_ = 0;
    bool creator_ = false;
    int slot_ = -1;
    int players_ = 0;
    int64_t raceStart_ = 0;
    float distance_ = 0;
    int pings_ = 0;
};

// Runs `count` bots on host:port until SIGINT or SIGTERM: pairs race each other, and an
// odd one out joins whatever game a person opened.
int RunBots(int count, const std::string& hostPort);
