// The client thread's half of the server manager: its states, one turn at a time, and
// what they make of the server's frames.
#include "net/server_manager.h"

#include <chrono>

#include "base/report.h"
#include "net/server_list.h"
#include "net/server_transport.h"

namespace {

// The clock time a kind-3 update carries: after its flags and player id bytes.
int32_t UpdateTime(const std::vector<uint8_t>& record) {
    uint32_t time = 0;
    for (int i = 0; i < 4; ++i) time |= static_cast<uint32_t>(record[2 + i]) << (8 * i);
    return static_cast<int32_t>(time);
}

// A second record for a listed game updates it in place; true for a new game.
bool AddGame(std::map<int32_t, GameRecord>& games, std::vector<int32_t>& order, const GameRecord& game) {
    const bool known = games.count(game.game_id) != 0;
    games[game.game_id] = game;
    if (!known) order.push_back(game.game_id);
    return !known;
}

}  // namespace

void ServerManager::ThreadBody() {
    if (!transport_.Startup()) {
        running_ = false;
        return;
    }
    Report(LogModule::kNet, LogLevel::kInfo, "Supported server version is %s", kDirectoryVersion);
    while (!stopRequested_) RunOnce();
    transport_.Shutdown();
    connected_ = false;
    running_ = false;
}

void ServerManager::RunOnce() {
    if (error_) {
        state_ = kClientIdle;
        nextState_ = kClientIdle;
        error_ = false;
    }
    switch (state_.load()) {
        case kClientIdle: {
            // Idle waits for the next request instead of spinning through empty turns.
            if (nextState_ == kClientIdle) {
                if (options_.wait) {
                    options_.wait(kIdleWaitMs);
                } else {
                    std::unique_lock<std::mutex> lock(wakeMutex_);
                    wake_.wait_for(lock, std::chrono::milliseconds(kIdleWaitMs),
                                   [this] { return stopRequested_ || nextState_ != kClientIdle; });
                }
            }
            break;
        }
        case kClientServerList: StepServerList(); break;
        case kClientConnecting: StepConnecting(); break;
        case kClientLoggingIn: StepLoggingIn(); break;
        case kClientLobby: StepLobby(); break;
        case kClientCreating: StepCreating(); break;
        case kClientRacing: StepRacing(); break;
        case kClientJoining: StepJoining(); break;
        default: Report(LogModule::kNet, LogLevel::kError, "Unknown state"); break;
    }
    if (!stopRequested_) state_ = nextState_.load();
}

void ServerManager::StepServerList() {
    // A connect asked for while the list was on its way is kept for the next turn.
    int expected = kClientServerList;
    nextState_.compare_exchange_strong(expected, kClientIdle);
    ServerBrowserView* view = nullptr;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        view = serverView_;
    }
    ServerListResult list;
    bool cached = false;
    if (!transport_.FetchServerList(list)) {
        const std::string failed = "Could not get list of the servers";
        // The state is idle already; an error flag would also drop a connect the
        // player asked for meanwhile.
        SetStatus(failed);
        cached = transport_.LoadCachedServerList(list);
        if (!cached) {
            if (view != nullptr) Post([view, failed] { view->ShowListFailed(failed); });
            return;
        }
    }
    if (view == nullptr) return;
    const std::vector<ServerRow> rows = MakeServerRows(list);
    Post([view, rows, cached] { view->ShowServers(rows, cached); });
    std::vector<PingTarget> targets;
    for (const ServerRow& row : rows) {
        if (row.compatible) targets.push_back({row.entry.host, row.entry.port});
    }
    pinger_.Ping(targets, [this, view](const PingTarget& target, int pingMs) {
        Post([view, target, pingMs] { view->ShowPing(target.host, target.port, pingMs); });
    });
}

bool ServerManager::AwaitReply(MessageKind kind, std::vector<uint8_t>& payload) {
    if (!Pump()) return false;
    uint8_t received = 0;
    while (transport_.Receive(received, payload)) {
        if (received == ToByte(kind)) return true;
    }
    return false;
}

void ServerManager::StepLoggingIn() {
    std::vector<uint8_t> payload;
    if (!AwaitReply(MessageKind::kLogin, payload)) {
        // No answer can come any more; the screen waiting for one is told why.
        if (error_) LostDuringLogIn();
        return;
    }
    uint8_t status = kStatusRefused;
    if (!DecodeByte(payload.data(), payload.size(), status) || status == kStatusRefused) {
        SetResult(kResultFailed);
        nextState_ = kClientIdle;
        return;
    }
    // Cleared before the screens hear of the log in, so what the lobby shows on
    // arrival is not wiped afterwards.
    ClearLobby();
    SetResult(kResultOk);
    SendMessage(MessageKind::kListGames, {});
    nextListTime_ = ClientNow() + kListRefreshMs;
    nextState_ = kClientLobby;
}

void ServerManager::LostDuringLogIn() {
    const char* const text = "The server closed the connection during log in";
    Report(LogModule::kNet, LogLevel::kWarning, "%s", text);
    SetStatus(text);
    connected_ = false;
    SetResult(kResultFailed);
}

void ServerManager::StepLobby() {
    if (!Pump()) return;
    const int64_t now = ClientNow();
    if (now >= nextListTime_) {
        // The chat stays, and so do the games until the new listing is whole: a Join
        // clicked meanwhile joins the game the player chose.
        StartListing(now);
        SendMessage(MessageKind::kListGames, {});
        nextListTime_ = now + kListRefreshMs;
    }
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    while (!error_ && transport_.Receive(kind, payload)) HandleLobbyFrame(kind, payload);
    if (!error_) FinishListing();
}

void ServerManager::HandleLobbyFrame(uint8_t kind, const std::vector<uint8_t>& payload) {
    if (kind == ToByte(MessageKind::kChat)) {
        std::lock_guard<std::mutex> guard(mutex_);
        PostListLine(chatList_, DecodeChat(payload.data(), payload.size()));
        return;
    }
    if (kind != ToByte(MessageKind::kListGames)) return;
    GameRecord game;
    if (!DecodeGameRecord(payload.data(), payload.size(), game) || !IsValidGameRecord(game)) {
        BadData("Bad game information data");
        return;
    }
    if (!levels_.HasLevel(game.level_name, game.checksum)) return;
    std::lock_guard<std::mutex> guard(mutex_);
    if (listing_) {
        AddGame(listedGames_, listedOrder_, game);
        listingWholeTime_ = ClientNow() + kListQuietMs;
        return;
    }
    // The listing after the log in, or a record past a listing's quiet spell, shows at once.
    if (AddGame(games_, gameOrder_, game)) PostListLine(gamesList_, GameLine(game));
}

void ServerManager::StepCreating() {
    std::vector<uint8_t> payload;
    if (!AwaitReply(MessageKind::kCreateGame, payload)) return;
    CreateReply reply;
    if (!DecodeCreateReply(payload.data(), payload.size(), reply) || reply.status == kStatusRefused) {
        SetResult(kResultFailed);
        nextState_ = kClientIdle;
        return;
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        currentGame_.game_id = reply.game_id;
    }
    EnterGame(false);
}

void ServerManager::StepJoining() {
    std::vector<uint8_t> payload;
    if (!AwaitReply(MessageKind::kJoinGame, payload)) return;
    JoinReply reply;
    const bool rejoin = reconnecting_;
    if (!DecodeJoinReply(payload.data(), payload.size(), reply) || reply.status == kStatusRefused) {
        SetResult(kResultFailed);
        if (rejoin) {
            PostRaceLine("Could not join game");
            LeaveServer();
            Post([this] { game_.AbortRace(); });
            reconnecting_ = false;
        }
        nextState_ = kClientIdle;
        return;
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        currentGame_ = reply.game;
    }
    if (rejoin) {
        reconnecting_ = false;
        Post([this] { game_.ResumeAfterReconnect(); });
    }
    EnterGame(rejoin);
}

void ServerManager::EnterGame(bool rejoin) {
    lag_.Reset();
    if (!rejoin) {
        roster_.clear();
        rosterSize_ = 0;
        const GameRecord game = CurrentGame();
        Post([this, game] { game_.SelectLevel(game.level_name, game.victories); });
        // The screen that asked for the game loads the level on the main thread and
        // sets the result back: 0 when loaded, -1 when loading failed.
        SetResult(kResultOk);
        std::atomic<int>* result = result_;
        while (result != nullptr && *result == kResultOk) {
            if (!Sleep(kLoadPollMs)) return;
        }
        if (result != nullptr && *result == kResultFailed) {
            // Loading failed: the server is told we left, and the lobby goes on
            // (the screen stays in the lobby with its error).
            SendMessage(MessageKind::kLeaveGame, {});
            nextState_ = kClientLobby;
            return;
        }
    }
    // A rejoin after a reconnect happens with the level loaded and no screen waiting
    // to set the result back: the race resumes as soon as the reply is in.
    lag_.DropSamples();
    pingCount_ = 0;
    nextPingTime_ = ClientNow() - 1;
    nextClockReportTime_ = ClientNow() - 1;
    nextState_ = kClientRacing;
}

void ServerManager::StepRacing() {
    if (!transport_.Pump() || !transport_.Connected()) {
        Reconnect();
        return;
    }
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    while (!error_ && transport_.Receive(kind, payload)) HandleRaceFrame(kind, payload);
    if (error_) {
        // Bad data in a race is handled like a lost connection: the stream cannot be
        // trusted past it, so the client connects again and rejoins.
        error_ = false;
        transport_.Disconnect();
        Reconnect();
        return;
    }
    RaceTimers();
}

void ServerManager::HandleRaceFrame(uint8_t kind, const std::vector<uint8_t>& payload) {
    switch (static_cast<MessageKind>(kind)) {
        case MessageKind::kPlayerUpdate: HandlePlayerUpdate(payload); break;
        case MessageKind::kPing: HandlePingReply(payload); break;
        case MessageKind::kPlayerJoined: {
            PlayerJoined joined;
            if (!DecodePlayerJoined(payload.data(), payload.size(), joined)) return BadData("Bad player data");
            roster_.insert(joined.slot);
            rosterSize_ = static_cast<int>(roster_.size());
            Post([this, joined] { game_.AddPlayer(joined.slot, joined.name, joined.flag == 1); });
            break;
        }
        case MessageKind::kPlayerLeft: {
            uint8_t slot = 0;
            if (!DecodeByte(payload.data(), payload.size(), slot)) return BadData("Bad player data");
            roster_.erase(slot);
            rosterSize_ = static_cast<int>(roster_.size());
            Post([this, slot] { game_.RemovePlayer(slot); });
            break;
        }
        case MessageKind::kReady: {
            const std::string trip = "Time to reach server " + std::to_string(lag_.OneWayTrip());
            Post([this, trip] {
                game_.StartRace();
                game_.AddRaceLine(trip);
                game_.AddRaceLine("Game started!");
            });
            break;
        }
        case MessageKind::kChat: {
            const std::string text = DecodeChat(payload.data(), payload.size());
            Post([this, text] { game_.AddRaceLine(text); });
            break;
        }
        case MessageKind::kLeaveGame: Post([this] { game_.EndRace(); }); break;
        default: break;  // not handled while racing: skipped
    }
}

void ServerManager::HandlePlayerUpdate(const std::vector<uint8_t>& payload) {
    if (!IsWellSizedPlayerUpdate(payload.data(), payload.size())) return BadData("Bad player update data");
    const int32_t time = UpdateTime(payload);
    const int32_t now = gameClock_.Now();
    if (time > now) {
        // The sender is ahead of us: catch up before the update is applied, and
        // measure the lag again soon.
        gameClock_.Shift(time - now);
        nextPingTime_ = ClientNow();
        pingCount_ = 0;
    }
    Post([this, payload] { game_.ApplyUpdate(payload); });
}

void ServerManager::HandlePingReply(const std::vector<uint8_t>& payload) {
    PingReply reply;
    if (!DecodePingReply(payload.data(), payload.size(), reply)) return BadData("Bad ping data");
    const LagEstimator::Correction correction = lag_.AddReply(reply.client_time, reply.server_time, gameClock_.Now());
    if (correction.set) gameClock_.Set(correction.setTo);
    if (correction.shift) {
        gameClock_.Shift(correction.shiftBy);
        if (correction.shiftBy <= 0) gameClock_.SetLastCorrection(-correction.shiftBy);
    }
}

void ServerManager::RaceTimers() {
    const int64_t now = ClientNow();
    if (now >= nextPingTime_) {
        if (pingCount_ >= kPingsPerBurst) {
            Report(LogModule::kNet, LogLevel::kInfo, "Next update in 1 minute");
            pingCount_ = 0;
            nextPingTime_ = now + kBurstPauseMs;
        } else {
            SendMessage(MessageKind::kPing, EncodeInt(gameClock_.Now()));
            ++pingCount_;
            Report(LogModule::kNet, LogLevel::kInfo, "Sent %d pings", pingCount_);
            nextPingTime_ = now + kPingIntervalMs;
        }
    }
    if (now >= nextClockReportTime_ && !lag_.SamplesPending()) {
        SendMessage(MessageKind::kClockReport, EncodeInt(gameClock_.Now() + lag_.OneWayTrip()));
        nextClockReportTime_ = now + kClockReportMs;
    }
}

bool ServerManager::ConnectAgain() {
    bool listed = false;
    size_t index = 0;
    std::string host;
    uint16_t port = 0;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        listed = listedServer_;
        index = serverIndex_;
        host = host_;
        port = port_;
    }
    return listed ? transport_.ConnectToListed(index) : transport_.ConnectTo(host, port);
}

void ServerManager::Reconnect() {
    error_ = false;
    reconnecting_ = true;
    Post([this] { game_.PauseForReconnect(); });
    PostRaceLine("Disconnected...");
    for (int attempt = 0; attempt < kReconnectTries; ++attempt) {
        PostRaceLine("Try " + std::to_string(attempt) + " to connect...");
        if (!Sleep(kReconnectDelayMs)) return;
        if (ConnectAgain()) {
            connected_ = true;
            PostRaceLine("Connection resumed, updating...");
            JoinRequest rejoin;
            rejoin.game_id = CurrentGame().game_id;
            rejoin.rejoin = true;
            SendMessage(MessageKind::kJoinGame, EncodeJoinRequest(rejoin));
            nextState_ = kClientJoining;
            return;
        }
    }
    PostRaceLine("Game is aborted");
    Post([this] { game_.AbortRace(); });
    reconnecting_ = false;
    connected_ = false;
    Stop();
}
