#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/key_bindings.h"
#include "game/game_clock.h"
#include "game/path_graph.h"
#include "game/player.h"
#include "game/player_update.h"
#include "game/player_update_sink.h"

class IniFile;
class Model;

// The players of the loaded level on its path: moves ships and bullets by the game
// clock, turns them at path points, finds hits and collisions, keeps the score and
// declares the winner. Main thread only: updates from elsewhere (the network) are
// handed over through the application's main-thread queue.
class PlayerManager {
public:
    using MessageSink = std::function<void(const std::string&)>;

    explicit PlayerManager(GameClock::TimeSource timeSource);
    ~PlayerManager();
    PlayerManager(const PlayerManager&) = delete;
    PlayerManager& operator=(const PlayerManager&) = delete;

    bool BuildPath(const std::vector<PathPoint>& points);
    void SavePath(IniFile& ini) const;
    const PathGraph& Path() const { return path_; }

    // A new, inactive and hidden player for these models (which the model manager
    // owns); nullptr when there is no room for one.
    Player* AddPlayer(Model* shipModel, Model* bulletModel);
    // Puts each ship on the path point under its model; returns how many stand.
    int PlacePlayers();
    int CountPlaced() const;
    size_t PlayerCount() const { return players_.size(); }
    Player* FindPlayer(int id);
    void SetPlayerInfo(int id, const std::string& name, bool local);
    void SetPlayerActive(int id, bool active);

    void Step();
    // `localPlayer` 0 is the first local player, 1 the second.
    void OnControl(int action, int localPlayer, bool pressed);
    void ApplyUpdate(const PlayerUpdate& update);
    // Hands the player's update to the sinks; true when someone took it.
    bool SendUpdate(int id, bool force);
    void StopAll();
    // Rebuilds the score text and declares the first player to reach the hit limit the winner.
    void RefreshScore();
    void Clear();

    std::string ScoreText() const;
    void SetMaxHits(int maxHits) { max_hits_ = maxHits; }
    int MaxHits() const { return max_hits_; }
    bool GameOver() const { return game_over_; }
    // Game messages ("... hit ...", "... wins the game") go to the race overlay's list.
    void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    // Whether join and leave lines are shown.
    void SetAnnounce(bool announce) { announce_ = announce; }
    // While a recorded dump is replayed the recorded updates drive the players:
    // local controls and outgoing updates are off.
    void SetReplaying(bool replaying) { replaying_ = replaying; }
    void AddUpdateSink(PlayerUpdateSink* sink);
    void RemoveUpdateSink(PlayerUpdateSink* sink);
    GameClock& Clock() { return clock_; }

private:
    bool SendPlayerUpdate(Player& player, bool force);
    void Hit(Player& victim, Player& shooter);
    void FireShot(Player& player);
    void SetTurn(Player& player, int32_t turn);
    void ApplyShipState(Player& player, const PlayerUpdate& update);
    void ApplyBulletState(Player& player, const PlayerUpdate& update);
    const PathEdge* CheckedPlace(const Player& player, const char* mover, int edgeIndex, float distance, float speed,
                                 float acceleration) const;
    void Collisions(const std::vector<Player*>& active);
    void AddMessage(const std::string& message) const;
    Player* LocalPlayer(int localPlayer) const;

    std::vector<std::unique_ptr<Player>> players_;
    PathGraph path_;
    GameClock clock_;
    int max_hits_ = 5;
    bool game_over_ = false;
    MessageSink messageSink_;
    Player* firstLocal_ = nullptr;
    Player* secondLocal_ = nullptr;
    bool announce_ = false;
    bool replaying_ = false;
    std::vector<PlayerUpdateSink*> updateSinks_;
    std::string scoreText_;
};
