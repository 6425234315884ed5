#pragma once

#include <string>
#include <vector>

#include "game/level_catalogue.h"

class GameManager;

// What the menus ask of the game: the level catalogue, and choosing, loading and
// peopling a level for a race.
class MenuGame {
public:
    virtual ~MenuGame() = default;
    virtual const std::vector<LevelEntry>& Levels() const = 0;
    // False when the index is outside the catalogue.
    virtual bool SelectLevel(int index) = 0;
    virtual void SetHitLimit(int maxHits) = 0;
    // Loads the selected level; true when it is ready to start.
    virtual bool LoadLevel() = 0;
    // Makes a player of the loaded level take part under that name.
    virtual void AddParticipant(int id, const std::string& name, bool local) = 0;
    virtual void SetNetworkGame(bool network) = 0;
    // A line in the race's message list, under the level's help lines.
    virtual void ShowRaceMessage(const std::string& line) = 0;
};

// The menus' view of the application's game manager.
class GameManagerMenuGame final : public MenuGame {
public:
    explicit GameManagerMenuGame(GameManager& game) : game_(game) {}

    const std::vector<LevelEntry>& Levels() const override;
    bool SelectLevel(int index) override;
    void SetHitLimit(int maxHits) override;
    bool LoadLevel() override;
    void AddParticipant(int id, const std::string& name, bool local) override;
    void SetNetworkGame(bool network) override;
    void ShowRaceMessage(const std::string& line) override;

private:
    GameManager& game_;
};
