#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/vec3.h"
#include "base/clock.h"
#include "effects/effect_services.h"
#include "effects/event_trigger.h"
#include "game/game_clock.h"
#include "game/key_bindings.h"
#include "game/level_catalogue.h"

class IniFile;
class ModelManager;
class PlayerManager;
class ScriptManager;

// What a recording says about the level it was made on: this, then the level's directory.
constexpr char kLevelLabelPrefix[] = "Level: ";

// The game's states, kept as an integer; values outside this list are reported by GameStep.
enum class GameState : int32_t {
    kPlaying = 0,
    kNoLevel = 1,
    kFinishing = 2,
    kFinished = 3,
    kPaused = 4,
    kLoaded = 5,
    kStarting = 6,
    kLoading = 7,
};

// Where the race overlay shows its text: the help lines of a loaded level and the game
// messages (hits, wins). The overlay implements it; the game only writes to it.
class MessageLines {
public:
    virtual ~MessageLines() = default;
    virtual void AddLine(const std::string& line) = 0;
    virtual void ClearLines() = 0;
};

// The game world of one race: the level catalogue and the chosen level, the scene with
// its models, cameras and lights, the players, the scripts with the level's "start"
// and "finish" triggers, and the game state. The application calls GameStep once per
// frame, hands OnAction the ship and camera key actions, and Draw draws the level.
class GameManager {
public:
    // After a win the ships run on this long before everything stops.
    static constexpr int32_t kRunOutMs = 3000;

    // Plays, draws and loads textures through the borrowed services. Tests drive the
    // clocks by hand and lend quiet services.
    explicit GameManager(const EffectServices& services, GameClock::TimeSource timeSource = NowMs);
    ~GameManager();
    GameManager(const GameManager&) = delete;
    GameManager& operator=(const GameManager&) = delete;

    // Fills the catalogue from the sub-directories of `dataDirectory`; once at start-up.
    void LoadLevelList(const std::string& dataDirectory = "data");
    const std::vector<LevelEntry>& Levels() const { return levels_; }

    // Copies catalogue entry `index` into the current level; an index outside the
    // catalogue changes nothing and gives false. Choosing a level starts a new game:
    // the participants of the last one are forgotten.
    bool SelectLevel(int index);
    // The last catalogue entry with exactly this name; no match changes nothing and gives false.
    bool SelectLevelByName(const std::string& name);
    const LevelEntry& CurrentLevel() const { return currentLevel_; }
    // Makes `entry` the current level without the catalogue (the level inspector's way).
    void SetCurrentLevel(const LevelEntry& entry) { currentLevel_ = entry; }

    void SetHitLimit(int maxHits) { maxHits_ = maxHits; }
    int HitLimit() const { return maxHits_; }

    // Loads the current level (releasing the one before); true when it is ready to start.
    bool LoadLevel();
    void UnloadLevel();

    // Participants stay in the game over a reload of the level until they leave, the
    // game is stopped or another level is chosen.
    void AddParticipant(int id, const std::string& name, bool local);
    void RemoveParticipant(int id);
    // Ends the race, forgets the participants and releases the level.
    void StopGame();

    // Once per frame, before drawing.
    void GameStep();
    // Kinds of the key actions the game takes; the application handles the others.
    static constexpr int kShipControlAction = 1;
    static constexpr int kCameraAction = 3;
    // A key action of kind 1 (ship control) or 3 (camera) with its command code,
    // local player (-1 for none) and whether the key went down. Dropped unless playing.
    void OnAction(int kind, int command, int player, bool pressed);
    // GL: the level's models, then the particles; nothing while a level is loading.
    void Draw();

    GameState GetState() const { return state_; }
    // Entering GameState::kFinishing from outside (the server aborts the race) starts the run-out too.
    void SetState(GameState state);

    // The overlay's message list; nullptr detaches it. It must outlive the game manager
    // or be detached first.
    void SetMessageLines(MessageLines* lines);
    // Shows a line to the players in the message list and keeps it in the log.
    void AddMessage(const std::string& line) const;
    // The keys named in the help lines at the start of every race.
    void SetHelpKeys(const KeyCodes& codes) { helpLines_ = KeyHelpLines(codes); }
    void SetNetworkGame(bool network) { networkGame_ = network; }
    // What StopGame does besides in a network game: the game-server client leaves the
    // server's game. Set by the network session.
    void SetNetworkStop(std::function<void()> leave) { networkStop_ = std::move(leave); }
    bool NetworkGame() const { return networkGame_; }

    // The clear colour the loaded level asks for (black unless it sets bg_color).
    const Colour& BackgroundColour() const { return backgroundColour_; }

    PlayerManager& Players() { return *players_; }
    ModelManager& Models() { return *models_; }
    ScriptManager& Scripts() { return *scripts_; }
    EventTrigger& StartTrigger() { return start_; }
    EventTrigger& FinishTrigger() { return finish_; }
    GameClock& FinishClock() { return finishClock_; }
    GameClock& SecondClock() { return secondClock_; }

private:
    struct Participant {
        int id;
        std::string name;
        bool local;
    };

    bool LoadDescribedLevel(const IniFile& ini);
    void ForgetParticipants();
    void AddHelpLines();
    void ReadBackgroundColour(const IniFile& ini);

    LevelEntry currentLevel_;
    int maxHits_ = 5;
    std::vector<LevelEntry> levels_;
    EffectServices services_;
    std::unique_ptr<ModelManager> models_;
    std::unique_ptr<PlayerManager> players_;
    std::unique_ptr<ScriptManager> scripts_;
    EventTrigger start_;
    EventTrigger finish_;
    GameClock finishClock_;
    GameClock secondClock_;
    GameState state_ = GameState::kNoLevel;
    MessageLines* messageLines_ = nullptr;
    bool networkGame_ = false;
    Colour backgroundColour_{0, 0, 0, 1};
    std::function<void()> networkStop_;
    std::vector<std::string> helpLines_ = KeyHelpLines(DefaultKeyCodes());
    std::vector<Participant> participants_;
};
