#include "net/server_manager.h"

#include <chrono>
#include <utility>

#include "base/clock.h"
#include "base/main_thread_queue.h"
#include "base/report.h"
#include "net/server_transport.h"

namespace {

const char* const kConnectFailedText = "Could not connect to the server";

}  // namespace

ServerManager::ServerManager(ServerTransport& transport, MainThreadQueue& mainThread, NetworkGame& game,
                             NetworkClock& clock, const LevelDirectory& levels, ServerManagerOptions options)
    : transport_(transport),
      mainThread_(mainThread),
      game_(game),
      gameClock_(clock),
      levels_(levels),
      options_(std::move(options)) {}

ServerManager::~ServerManager() { Shutdown(); }

void ServerManager::Shutdown() {
    Stop();
    transport_.CancelConnects();
    pinger_.Stop();
    if (thread_.joinable()) thread_.join();
}

// ---- main thread operations ----

bool ServerManager::Start() {
    stopRequested_ = false;
    if (running_) {
        Report(LogModule::kNet, LogLevel::kError, "Already started");
        return true;
    }
    // A thread that ended on its own (a race aborted after the reconnects) is joined
    // before the next one starts.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    thread_ = std::thread([this] { ThreadBody(); });
    return true;
}

void ServerManager::Stop() {
    stopRequested_ = true;
    state_ = kClientIdle;
    nextState_ = kClientIdle;
    std::lock_guard<std::mutex> guard(wakeMutex_);
    wake_.notify_all();
}

void ServerManager::RefreshServerList(ServerBrowserView* view) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        serverView_ = view;
    }
    SetNext(kClientServerList);
}

void ServerManager::ClearGames() {
    std::lock_guard<std::mutex> guard(mutex_);
    games_.clear();
    gameOrder_.clear();
    listing_ = false;
    listedGames_.clear();
    listedOrder_.clear();
    PostListClear(gamesList_);
}

void ServerManager::StartListing(int64_t now) {
    std::lock_guard<std::mutex> guard(mutex_);
    listing_ = true;
    listingWholeTime_ = now + kListAnswerMs;
    listedGames_.clear();
    listedOrder_.clear();
}

void ServerManager::FinishListing() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!listing_ || ClientNow() < listingWholeTime_) return;
    listing_ = false;
    games_.swap(listedGames_);
    gameOrder_.swap(listedOrder_);
    // Posted together, so one frame replaces the rows: the lobby never shows them empty.
    PostListClear(gamesList_);
    for (const int32_t id : gameOrder_) PostListLine(gamesList_, GameLine(games_[id]));
}

void ServerManager::ClearLobby() {
    ClearGames();
    std::lock_guard<std::mutex> guard(mutex_);
    PostListClear(chatList_);
}

bool ServerManager::ConnectToListedServer(size_t index) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        listedServer_ = true;
        serverIndex_ = index;
        host_.clear();
        port_ = 0;
    }
    ClearLobby();
    error_ = false;
    connected_ = transport_.ConnectToListed(index);
    if (!connected_) ConnectFailed();
    return connected_;
}

bool ServerManager::ConnectTo(const std::string& host, uint16_t port) { return OpenConnection(host, port); }

void ServerManager::ConnectInBackground(const std::string& host, uint16_t port, std::atomic<int>* result) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        host_ = host;
        port_ = port;
    }
    result_ = result;
    SetNext(kClientConnecting);
}

void ServerManager::StepConnecting() {
    nextState_ = kClientIdle;
    std::string host;
    uint16_t port = 0;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        host = host_;
        port = port_;
    }
    SetResult(OpenConnection(host, port) ? kResultOk : kResultFailed);
}

bool ServerManager::OpenConnection(const std::string& host, uint16_t port) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        listedServer_ = false;
        host_ = host;
        port_ = port;
    }
    ClearLobby();
    error_ = false;
    connected_ = transport_.ConnectTo(host, port);
    if (!connected_) ConnectFailed();
    return connected_;
}

void ServerManager::ConnectFailed() {
    // The second line says which of the ways to fail it was.
    const std::string why = transport_.ConnectFailure();
    SetStatus(why.empty() ? kConnectFailedText : std::string(kConnectFailedText) + "\n" + why);
}

void ServerManager::Login(const std::string& name, std::atomic<int>* result) {
    if (!connected_ || error_) return;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        userName_ = name;
    }
    result_ = result;
    SetNext(kClientLoggingIn);
    SendMessage(MessageKind::kLogin, EncodeText(name));
}

void ServerManager::CreateGame(const GameRecord& level, int32_t victories, std::atomic<int>* result,
                               const std::vector<std::string>& localNames) {
    CreateRequest request;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        currentGame_.max_players = level.max_players;
        currentGame_.checksum = level.checksum;
        currentGame_.level_name = level.level_name;
        currentGame_.victories = victories;
        currentGame_.reserved = 0;
        request.game = currentGame_;
    }
    request.names = localNames;
    result_ = result;
    SetNext(kClientCreating);
    SendMessage(MessageKind::kCreateGame, EncodeCreateRequest(request));
}

void ServerManager::JoinGame(size_t index, std::atomic<int>* result, const std::vector<std::string>& localNames) {
    result_ = result;
    JoinRequest request;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (index >= gameOrder_.size()) {
            if (result != nullptr) *result = kResultFailed;
            return;
        }
        currentGame_ = games_[gameOrder_[index]];
        request.game_id = currentGame_.game_id;
    }
    request.names = localNames;
    // The state goes first so that the reply cannot reach a lobby turn, which would skip it.
    SetNext(kClientJoining);
    SendMessage(MessageKind::kJoinGame, EncodeJoinRequest(request));
}

void ServerManager::SendChat(const std::string& text) {
    SendMessage(MessageKind::kChat, EncodeChat(UserName() + ">" + text));
}

void ServerManager::SendReady() { SendMessage(MessageKind::kReady, {}); }

void ServerManager::LeaveGame() {
    if (connected_ && !error_) {
        SendMessage(MessageKind::kLeaveGame, {});
        SetNext(kClientLobby);
    } else {
        SetNext(kClientIdle);
    }
}

void ServerManager::LeaveServer() {
    if (!connected_) return;
    connected_ = false;
    transport_.DropOutgoing();
    // The connection is closed too: a lobby nobody reads would keep the server's
    // messages piling up, and the next visit connects afresh.
    transport_.Disconnect();
    state_ = kClientIdle;
    SetNext(kClientIdle);
}

void ServerManager::Send(uint8_t kind, const std::vector<uint8_t>& payload) {
    if (connected_) transport_.Send(kind, payload);
}

void ServerManager::SetLobbyLists(LineList* chat, LineList* games) {
    std::lock_guard<std::mutex> guard(mutex_);
    chatList_ = chat;
    gamesList_ = games;
}

std::string ServerManager::StatusText() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return statusText_;
}

std::string ServerManager::UserName() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return userName_;
}

GameRecord ServerManager::CurrentGame() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return currentGame_;
}

size_t ServerManager::GameCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return gameOrder_.size();
}

// ---- helpers ----

std::string ServerManager::GameLine(const GameRecord& game) { return game.title + ": " + game.level_name; }

void ServerManager::SetNext(int state) {
    nextState_ = state;
    std::lock_guard<std::mutex> guard(wakeMutex_);
    wake_.notify_all();
}

int64_t ServerManager::ClientNow() const { return options_.clock ? options_.clock() : NowMs(); }

bool ServerManager::Sleep(int64_t ms) {
    if (stopRequested_) return false;
    if (options_.wait) {
        options_.wait(ms);
    } else {
        std::unique_lock<std::mutex> lock(wakeMutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopRequested_.load(); });
    }
    return !stopRequested_;
}

bool ServerManager::Pump() {
    if (!transport_.Pump() || !transport_.Connected()) {
        error_ = true;
        return false;
    }
    return true;
}

void ServerManager::SendMessage(MessageKind kind, const std::vector<uint8_t>& payload) {
    transport_.Send(ToByte(kind), payload);
}

void ServerManager::SetResult(int value) {
    std::atomic<int>* result = result_;
    if (result != nullptr) *result = value;
}

void ServerManager::SetStatus(const std::string& text) {
    std::lock_guard<std::mutex> guard(mutex_);
    statusText_ = text;
}

void ServerManager::Post(std::function<void()> action) { mainThread_.Post(std::move(action)); }

void ServerManager::PostListLine(LineList* list, const std::string& line) {
    if (list != nullptr) Post([list, line] { list->AddLine(line); });
}

void ServerManager::PostListClear(LineList* list) {
    if (list != nullptr) Post([list] { list->ClearLines(); });
}

void ServerManager::PostRaceLine(const std::string& line) {
    // The log keeps what the players were told about the connection.
    Report(LogModule::kNet, LogLevel::kInfo, "%s", line.c_str());
    Post([this, line] { game_.AddRaceLine(line); });
}

void ServerManager::BadData(const char* what) {
    Report(LogModule::kNet, LogLevel::kError, "%s", what);
    SetStatus(what);
    error_ = true;
}
