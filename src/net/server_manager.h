#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "net/lag_estimator.h"
#include "net/network_game.h"
#include "net/protocol.h"
#include "net/server_pinger.h"

class MainThreadQueue;
class ServerTransport;

// The states of the network client thread.
enum ClientState : int {
    kClientIdle = 0,
    kClientServerList = 1,
    kClientConnecting = 2,
    kClientLoggingIn = 3,
    kClientLobby = 4,
    kClientCreating = 5,
    kClientRacing = 6,
    kClientJoining = 7,
};

struct ServerManagerOptions {
    // Milliseconds for the client's own timers; the steady clock when empty.
    std::function<int64_t()> clock;
    // Tests wait by moving their clock instead of sleeping; empty waits for real. Either
    // way a stop request ends the wait at once.
    std::function<void(int64_t ms)> wait;
};

// The client side of network play. One thread, the network client thread, runs the
// socket pump and a state machine; the menus and the game ask for transitions through
// the operations below (main thread), which set the next state and queue messages.
// Whatever the thread has the game or the screens do is posted to the main thread's
// queue, never called from the thread. Log lines go to the net module.
class ServerManager {
public:
    static constexpr int64_t kListRefreshMs = 15000;
    // A refreshed listing has no end marker: it is taken as whole once no record has
    // come for kListQuietMs, or, when none comes at all, kListAnswerMs after the request.
    static constexpr int64_t kListQuietMs = 300;
    static constexpr int64_t kListAnswerMs = 3000;
    static constexpr int kPingsPerBurst = 10;
    static constexpr int64_t kPingIntervalMs = 1000;
    static constexpr int64_t kBurstPauseMs = 60000;
    static constexpr int64_t kClockReportMs = 30000;
    static constexpr int kReconnectTries = 3;
    static constexpr int64_t kReconnectDelayMs = 5000;
    static constexpr int64_t kLoadPollMs = 1000;
    static constexpr int64_t kIdleWaitMs = 100;

    ServerManager(ServerTransport& transport, MainThreadQueue& mainThread, NetworkGame& game, NetworkClock& clock,
                  const LevelDirectory& levels, ServerManagerOptions options = ServerManagerOptions());
    ~ServerManager();
    ServerManager(const ServerManager&) = delete;
    ServerManager& operator=(const ServerManager&) = delete;

    // Main thread: the operations the menus and the game call.
    bool Start();
    void Stop();
    // Stops the thread and waits for it to end (at shutdown; its waits end at once).
    void Shutdown();
    // Fetches the list for `view` and then pings its servers in the background.
    void RefreshServerList(ServerBrowserView* view);
    bool ConnectToListedServer(size_t index);
    bool ConnectTo(const std::string& host, uint16_t port);
    // The same connect made by the client thread, so the window goes on drawing while a
    // slow host answers: `result` turns 1 when connected, -1 when not (the status text
    // says why).
    void ConnectInBackground(const std::string& host, uint16_t port, std::atomic<int>* result);
    void Login(const std::string& name, std::atomic<int>* result);
    void CreateGame(const GameRecord& level, int32_t victories, std::atomic<int>* result,
                    const std::vector<std::string>& localNames);
    void JoinGame(size_t index, std::atomic<int>* result, const std::vector<std::string>& localNames);
    void SendChat(const std::string& text);
    void SendReady();
    void LeaveGame();
    void LeaveServer();
    // Any thread: the player manager's kind-3 updates.
    void Send(uint8_t kind, const std::vector<uint8_t>& payload);

    // The lobby's lists, which the thread fills.
    void SetLobbyLists(LineList* chat, LineList* games);

    bool IsConnected() const { return connected_; }
    bool Running() const { return running_; }
    bool Reconnecting() const { return reconnecting_; }
    int State() const { return state_; }
    int NextState() const { return nextState_; }
    std::string StatusText() const;
    std::string UserName() const;
    // There is no "start allowed" flag in the protocol: a start makes sense once the
    // game holds two players, as the server's join messages count them.
    bool StartAllowed() const { return rosterSize_ >= 2; }
    GameRecord CurrentGame() const;
    size_t GameCount() const;

    // One turn of the thread loop; the thread calls it until stopped, tests call it by hand.
    void RunOnce();

private:
    static constexpr int kResultFailed = -1;
    static constexpr int kResultOk = 1;
    // How a game reads in the lobby's list.
    static std::string GameLine(const GameRecord& game);

    void ThreadBody();
    void SetNext(int state);
    int64_t ClientNow() const;
    // Waits `ms` unless a stop is requested; false when stopped.
    bool Sleep(int64_t ms);
    bool Pump();
    void SendMessage(MessageKind kind, const std::vector<uint8_t>& payload);
    void SetResult(int value);
    void SetStatus(const std::string& text);
    void ConnectFailed();
    void Post(std::function<void()> action);
    void PostListLine(LineList* list, const std::string& line);
    void PostListClear(LineList* list);
    void PostRaceLine(const std::string& line);
    void ClearGames();
    void ClearLobby();
    void StartListing(int64_t now);
    void FinishListing();
    void LostDuringLogIn();

    void StepServerList();
    void StepConnecting();
    bool OpenConnection(const std::string& host, uint16_t port);
    void StepLoggingIn();
    void StepLobby();
    void StepCreating();
    void StepJoining();
    void StepRacing();
    // Reads frames until one of `kind` arrives; false when none has yet.
    bool AwaitReply(MessageKind kind, std::vector<uint8_t>& payload);
    void HandleLobbyFrame(uint8_t kind, const std::vector<uint8_t>& payload);
    void HandleRaceFrame(uint8_t kind, const std::vector<uint8_t>& payload);
    void HandlePlayerUpdate(const std::vector<uint8_t>& payload);
    void HandlePingReply(const std::vector<uint8_t>& payload);
    void RaceTimers();
    void EnterGame(bool rejoin);
    void Reconnect();
    bool ConnectAgain();
    void BadData(const char* what);

    ServerTransport& transport_;
    MainThreadQueue& mainThread_;
    NetworkGame& game_;
    NetworkClock& gameClock_;
    const LevelDirectory& levels_;
    ServerManagerOptions options_;

    std::atomic<int> state_{kClientIdle};
    std::atomic<int> nextState_{kClientIdle};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> error_{false};
    std::atomic<bool> connected_{false};
    std::atomic<bool> reconnecting_{false};
    std::atomic<int> rosterSize_{0};
    std::atomic<std::atomic<int>*> result_{nullptr};

    std::thread thread_;
    std::mutex wakeMutex_;
    std::condition_variable wake_;

    // Guards the texts, the server's address, the lists and the games below.
    mutable std::mutex mutex_;
    bool listedServer_ = false;
    size_t serverIndex_ = 0;
    std::string host_;
    uint16_t port_ = 0;
    std::string statusText_;
    std::string userName_;
    ServerBrowserView* serverView_ = nullptr;
    LineList* chatList_ = nullptr;
    LineList* gamesList_ = nullptr;
    std::map<int32_t, GameRecord> games_;
    std::vector<int32_t> gameOrder_;  // the ids in the order the games list shows them
    // A refresh gathers its listing here while the lobby keeps showing (and joining)
    // the games above; the two change places once it is whole.
    bool listing_ = false;
    int64_t listingWholeTime_ = 0;
    std::map<int32_t, GameRecord> listedGames_;
    std::vector<int32_t> listedOrder_;
    GameRecord currentGame_;

    // The client thread's own.
    int64_t nextListTime_ = 0;
    int64_t nextPingTime_ = 0;
    int64_t nextClockReportTime_ = 0;
    int pingCount_ = 0;
    LagEstimator lag_;
    std::set<int> roster_;

    // Measures the listed servers' pings off this thread: a silent server must not
    // hold the lobby or a race.
    ServerPinger pinger_;
};
