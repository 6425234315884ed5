#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/player_update_sink.h"
#include "net/network_game.h"
#include "net/server_manager.h"

class GameManager;
class MainThreadQueue;
class MessageLines;
class ServerTransport;

// A network race as the game runs it: owns the game-server client and carries out on
// the main thread what the client thread posts (the level the server names, players
// coming and going, their updates, start, end, pause and abort of the race). It is
// also the player manager's way to the server: every update of a local player goes
// out as a kind-3 message while a network game is connected.
class NetworkSession : public NetworkGame, public NetworkClock, public LevelDirectory, public PlayerUpdateSink {
public:
    NetworkSession(GameManager& game, MainThreadQueue& mainThread, std::unique_ptr<ServerTransport> transport,
                   ServerManagerOptions options = ServerManagerOptions());
    ~NetworkSession() override;
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;

    ServerManager& Client() { return client_; }
    // Once per frame on the main thread: an aborted race that has run out goes back to the menus.
    void Tick();
    // Where race lines go (the overlay's message list); nullptr detaches it.
    void SetMessageLines(MessageLines* lines) { lines_ = lines; }
    // What ends a race and returns to the menus (the application's end-of-race command).
    void SetRaceOver(std::function<void()> raceOver) { raceOver_ = std::move(raceOver); }
    // Received updates and the moves of the game clock reach the recorder too, so a
    // recorded network race replays whole.
    void SetRecorder(PlayerUpdateSink* recorder) { recorder_ = recorder; }

    // NetworkGame: main thread, posted by the client thread.
    void SelectLevel(const std::string& levelName, int32_t victories) override;
    void AddPlayer(int slot, const std::string& name, bool local) override;
    void RemovePlayer(int slot) override;
    void ApplyUpdate(const std::vector<uint8_t>& record) override;
    void StartRace() override;
    void EndRace() override;
    void AbortRace() override;
    void PauseForReconnect() override;
    void ResumeAfterReconnect() override;
    void AddRaceLine(const std::string& line) override;

    // NetworkClock: the players' game clock, which locks itself.
    int32_t Now() override;
    void Set(int32_t ms) override;
    void Shift(int32_t ms) override;
    void SetLastCorrection(int32_t ms) override;

    // LevelDirectory: the catalogue, which is only read once start-up has filled it.
    bool HasLevel(const std::string& name, uint32_t checksum) const override;

    // PlayerUpdateSink
    bool Accepting() const override;
    void TakeUpdate(const PlayerUpdate& update) override;
    void TimerReset() override {}
    void ClockMoved(int32_t) override {}

private:
    void EndRaceNow();
    // Client thread, after a move of the game clock: the recorder hears of it on the main thread.
    void PostClockMove();

    GameManager& game_;
    MainThreadQueue& mainThread_;
    std::unique_ptr<ServerTransport> transport_;
    ServerManager client_;
    MessageLines* lines_ = nullptr;
    std::function<void()> raceOver_;
    PlayerUpdateSink* recorder_ = nullptr;
    bool aborted_ = false;
};
