#include "game/network_session.h"

#include <utility>

#include "game/game_manager.h"
#include "game/player_manager.h"
#include "base/main_thread_queue.h"
#include "game/player_update.h"
#include "net/server_transport.h"

NetworkSession::NetworkSession(GameManager& game, MainThreadQueue& mainThread,
                               std::unique_ptr<ServerTransport> transport, ServerManagerOptions options)
    : game_(game),
      mainThread_(mainThread),
      transport_(std::move(transport)),
      client_(*transport_, mainThread, *this, *this, *this, std::move(options)) {
    game_.Players().AddUpdateSink(this);
    game_.SetNetworkStop([this] { client_.LeaveGame(); });
}

NetworkSession::~NetworkSession() {
    game_.SetNetworkStop(nullptr);
    game_.Players().RemoveUpdateSink(this);
}

void NetworkSession::SelectLevel(const std::string& levelName, int32_t victories) {
    game_.SetNetworkGame(true);
    game_.SelectLevelByName(levelName);
    game_.SetHitLimit(victories);
}

void NetworkSession::AddPlayer(int slot, const std::string& name, bool local) {
    game_.AddParticipant(slot, name, local);
}

void NetworkSession::RemovePlayer(int slot) { game_.RemoveParticipant(slot); }

void NetworkSession::ApplyUpdate(const std::vector<uint8_t>& record) {
    PlayerUpdate update;
    if (!DecodePlayerUpdate(record.data(), record.size(), update)) return;
    if (recorder_ != nullptr && recorder_->Accepting()) recorder_->TakeUpdate(update);
    game_.Players().ApplyUpdate(update);
}

void NetworkSession::StartRace() {
    if (game_.GetState() == GameState::kLoaded) game_.SetState(GameState::kStarting);
}

void NetworkSession::EndRace() { EndRaceNow(); }

void NetworkSession::AbortRace() {
    // The race runs out like a won one, so "Game is aborted" stays readable for a
    // while; then the menus take over again (Tick).
    const GameState state = game_.GetState();
    if (state == GameState::kNoLevel) return;
    aborted_ = true;
    if (state != GameState::kFinishing && state != GameState::kFinished) game_.SetState(GameState::kFinishing);
}

void NetworkSession::Tick() {
    if (!aborted_) return;
    const GameState state = game_.GetState();
    if (state == GameState::kFinishing) return;
    aborted_ = false;
    if (state == GameState::kFinished) EndRaceNow();
}

void NetworkSession::EndRaceNow() {
    if (game_.GetState() == GameState::kNoLevel) return;
    if (raceOver_)
        raceOver_();
    else
        game_.StopGame();
}

void NetworkSession::PauseForReconnect() {
    if (game_.GetState() == GameState::kPlaying) game_.SetState(GameState::kPaused);
}

void NetworkSession::ResumeAfterReconnect() {
    if (game_.GetState() == GameState::kPaused) game_.SetState(GameState::kPlaying);
}

void NetworkSession::AddRaceLine(const std::string& line) {
    if (lines_ != nullptr) lines_->AddLine(line);
}

int32_t NetworkSession::Now() { return game_.Players().Clock().Now(); }

void NetworkSession::Set(int32_t ms) {
    game_.Players().Clock().Set(ms);
    PostClockMove();
}

void NetworkSession::Shift(int32_t ms) {
    game_.Players().Clock().Shift(ms);
    PostClockMove();
}

void NetworkSession::PostClockMove() {
    // The reading is taken when the note is written, so the dump's time and the
    // clock's value belong to the same moment however late the main thread runs it.
    mainThread_.Post([this] {
        if (recorder_ != nullptr && recorder_->Accepting()) recorder_->ClockMoved(Now());
    });
}

void NetworkSession::SetLastCorrection(int32_t ms) { game_.Players().Clock().SetLastCorrection(ms); }

bool NetworkSession::HasLevel(const std::string& name, uint32_t checksum) const {
    for (const LevelEntry& level : game_.Levels()) {
        if (level.name == name && static_cast<uint32_t>(level.crc) == checksum) return true;
    }
    return false;
}

bool NetworkSession::Accepting() const { return game_.NetworkGame() && client_.IsConnected(); }

void NetworkSession::TakeUpdate(const PlayerUpdate& update) {
    client_.Send(ToByte(MessageKind::kPlayerUpdate), EncodePlayerUpdate(update));
}
