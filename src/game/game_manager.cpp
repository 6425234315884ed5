#include "game/game_manager.h"

#include <cstdio>
#include <utility>

#include "base/clock.h"
#include "base/ini_file.h"
#include "base/report.h"
#include "effects/script_manager.h"
#include "effects/sound_manager.h"
#include "game/debug_manager.h"
#include "game/level_loader.h"
#include "game/level_path.h"
#include "game/player_manager.h"
#include "scene/cob_reader.h"
#include "scene/model_manager.h"
#include "scene/texture_manager.h"

namespace {

const char* const kSavedLevelFile = "saved.ini.all";

std::string Format(const char* format, int value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

GameManager::GameManager(const EffectServices& services, GameClock::TimeSource timeSource)
    : services_(services),
      models_(std::make_unique<ModelManager>(services.textures)),
      players_(std::make_unique<PlayerManager>(timeSource)),
      scripts_(std::make_unique<ScriptManager>(services)),
      finishClock_(timeSource),
      secondClock_(timeSource) {
    models_->SetListenerHook(
        [&sound = services.sound](const float* position, const float* velocity, const float* orientation) {
            sound.SetListener(position, velocity, orientation);
        });
    players_->SetMessageSink([this](const std::string& line) { AddMessage(line); });
    Report(LogModule::kGame, LogLevel::kInfo, "Game manager is initialized");
    state_ = GameState::kNoLevel;
}

GameManager::~GameManager() { Report(LogModule::kGame, LogLevel::kInfo, "Game manager is destroyed"); }

void GameManager::LoadLevelList(const std::string& dataDirectory) { levels_ = ::LoadLevelList(dataDirectory); }

bool GameManager::SelectLevel(int index) {
    if (index < 0 || static_cast<size_t>(index) >= levels_.size()) return false;
    currentLevel_ = levels_[static_cast<size_t>(index)];
    ForgetParticipants();
    return true;
}

bool GameManager::SelectLevelByName(const std::string& name) {
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        if (it->name == name) {
            currentLevel_ = *it;
            ForgetParticipants();
            return true;
        }
    }
    return false;
}

bool GameManager::LoadLevel() {
    state_ = GameState::kLoading;
    UnloadLevel();
    players_->SetMaxHits(maxHits_);
    Report(LogModule::kGame, LogLevel::kInfo, "Loading: %s", currentLevel_.name.c_str());
    RecordLabel(kLevelLabelPrefix + currentLevel_.directory);

    IniFile ini(currentLevel_.iniPath);
    ini.Load();
    services_.textures.SetTexturePath(currentLevel_.directory + "/" + ini.GetString("level", "texture_path"));
    scripts_->SetDataDirectory(currentLevel_.directory);
    if (!LoadDescribedLevel(ini)) {
        Report(LogModule::kGame, LogLevel::kError, "Level was not loaded correctly");
        state_ = GameState::kNoLevel;
        return false;
    }

    const std::string savedPath = currentLevel_.directory + "/" + kSavedLevelFile;
    if (!SaveBuiltLevel(*players_, *models_, savedPath))
        Report(LogModule::kGame, LogLevel::kWarning, "Could not write %s", savedPath.c_str());

    if (players_->PlacePlayers() == 0) {
        Report(LogModule::kGame, LogLevel::kError, "Could not position players.");
        return false;
    }
    for (const Participant& participant : participants_) {
        players_->SetPlayerInfo(participant.id, participant.name, participant.local);
        players_->SetPlayerActive(participant.id, true);
    }
    players_->RefreshScore();
    finishClock_.Reset();
    secondClock_.Reset();
    AddHelpLines();
    ReadBackgroundColour(ini);
    state_ = GameState::kLoaded;
    return true;
}

bool GameManager::LoadDescribedLevel(const IniFile& ini) {
    LevelWorld world{*models_, *players_, *scripts_, start_, finish_};
    if (!ini.HasKey("level", "level_scene")) return LoadLevelFromIni(ini, currentLevel_.directory, world);
    CobReader scene;
    if (!scene.Load(currentLevel_.directory + "/" + ini.GetString("level", "level_scene"))) return false;
    return LoadLevelFromScene(scene, world);
}

void GameManager::AddHelpLines() {
    for (const std::string& line : helpLines_) AddMessage(line);
    AddMessage("Game Level:" + currentLevel_.name);
    AddMessage(Format("Max hits:%d", maxHits_));
}

void GameManager::ReadBackgroundColour(const IniFile& ini) {
    backgroundColour_ = Colour{0, 0, 0, 1};
    if (!ini.HasKey("level", "bg_color")) return;
    Vec3 colour;
    if (ScanVector(ini.GetString("level", "bg_color"), colour) == 3)
        backgroundColour_ = {colour.x, colour.y, colour.z, 1};
}

void GameManager::UnloadLevel() {
    if (messageLines_ != nullptr) messageLines_->ClearLines();
    scripts_->Reset();
    start_.Clear();
    finish_.Clear();
    players_->Clear();
    models_->Clear();
    services_.textures.DeleteAllTextures();
}

void GameManager::AddParticipant(int id, const std::string& name, bool local) {
    bool known = false;
    for (Participant& participant : participants_) {
        if (participant.id != id) continue;
        participant = Participant{id, name, local};
        known = true;
    }
    if (!known) participants_.push_back(Participant{id, name, local});
    players_->SetPlayerInfo(id, name, local);
    players_->SetPlayerActive(id, true);
}

void GameManager::RemoveParticipant(int id) {
    for (auto it = participants_.begin(); it != participants_.end();) {
        if (it->id == id)
            it = participants_.erase(it);
        else
            ++it;
    }
    players_->SetPlayerActive(id, false);
}

void GameManager::StopGame() {
    state_ = GameState::kNoLevel;
    if (networkGame_ && networkStop_) networkStop_();
    ForgetParticipants();
    UnloadLevel();
}

void GameManager::ForgetParticipants() { participants_.clear(); }

void GameManager::GameStep() {
    switch (state_) {
        case GameState::kPlaying:
            players_->Step();
            if (players_->GameOver()) {
                finish_.Start();
                state_ = GameState::kFinishing;
                finishClock_.Reset();
            }
            scripts_->Tick();
            break;
        case GameState::kFinishing:
            if (finishClock_.Now() > kRunOutMs) {
                state_ = GameState::kFinished;
                players_->StopAll();
            } else {
                players_->Step();
            }
            break;
        case GameState::kStarting:
            state_ = GameState::kPlaying;
            start_.Start();
            break;
        case GameState::kNoLevel:
        case GameState::kFinished:
        case GameState::kPaused:
        case GameState::kLoaded:
        case GameState::kLoading: break;
        default: Report(LogModule::kGame, LogLevel::kWarning, "Unkown state"); break;
    }
}

void GameManager::OnAction(int kind, int command, int player, bool pressed) {
    if (state_ != GameState::kPlaying) return;
    if (kind == kShipControlAction)
        players_->OnControl(command, player, pressed);
    else if (kind == kCameraAction)
        models_->OnCameraCommand(command, pressed);
}

void GameManager::Draw() {
    if (state_ == GameState::kLoading) return;
    models_->DrawScene();
    scripts_->Draw();
}

void GameManager::SetState(GameState state) {
    if (state_ != GameState::kFinishing && state == GameState::kFinishing) finishClock_.Reset();
    state_ = state;
}

void GameManager::SetMessageLines(MessageLines* lines) { messageLines_ = lines; }

void GameManager::AddMessage(const std::string& line) const {
    // The log keeps what the players were shown: hits and wins are where a race's
    // story is looked up afterwards.
    Report(LogModule::kGame, LogLevel::kInfo, "%s", line.c_str());
    if (messageLines_ != nullptr) messageLines_->AddLine(line);
}
