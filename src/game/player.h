#pragma once

#include <cstddef>  // before effects/event_trigger.h, which uses size_t without it
#include <cstdint>
#include <string>

#include "base/vec3.h"
#include "effects/event_trigger.h"
#include "game/path_mover.h"
#include "game/player_update.h"

class Model;

// One ship with its one bullet. While the bullet is loaded it rides on the ship: its
// model sits in the ship model's attached list and its pose is relative to the ship.
// Scripts keep references into the movers, so a player never moves in memory.
struct Player {
    Player(int32_t playerId, Model* shipModel, Model* bulletModel);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Launches the loaded bullet ahead of the ship; false without a loaded bullet or
    // before the ship stands on the path. The caller sends the update.
    bool Fire();
    // Puts the bullet back on the ship.
    void Reload();
    void SetVisible(bool visible);
    void StopTriggers();
    // Hands the step's poses to the models the scene draws, and forgets the step.
    void EndStep();
    // The record other machines need to follow this player.
    PlayerUpdate MakeUpdate() const;

    bool placed = false;
    Ship ship;
    Bullet bullet;
    std::string name;
    int32_t id = -1;
    bool active = false;
    bool bullet_loaded = true;
    bool just_fired = false;
    Vec3 bullet_home_position;
    Vec3 bullet_home_rotation;
    int32_t got_hits = 0;
    int32_t made_hits = 0;
    EventTrigger fire;
    EventTrigger loaded;
    bool local = false;
};
