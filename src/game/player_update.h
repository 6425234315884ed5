#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/protocol.h"

// The state of one player as sent to the game server and written to the event dump.
enum PlayerUpdateFlag : uint8_t {
    kUpdateShipLeft = 1 << 0,   // ship turns left (with kUpdateShipRight too: straight)
    kUpdateShipRight = 1 << 1,  // ship turns right
    kUpdateLeftHeld = 1 << 2,
    kUpdateRightHeld = 1 << 3,
    kUpdateBulletLoaded = 1 << 4,
    kUpdateBulletLeft = 1 << 5,
    kUpdateBulletRight = 1 << 6,
    kUpdateBulletFields = 1 << 7,  // bullet fields present although the bullet is loaded
};

struct PlayerUpdate {
    uint8_t flags = 0;
    int16_t ship_edge = 0;
    uint8_t player_id = 0;
    int32_t time = 0;
    float ship_speed = 0;
    float ship_distance = 0;
    float ship_acceleration = 0;
    int16_t bullet_edge = 0;  // the bullet fields are 0 while it is loaded
    float bullet_speed = 0;
    float bullet_distance = 0;
    uint16_t got_hits = 0;
    uint16_t made_hits = 0;
};

// Whether the serialised form carries the bullet fields (34 bytes rather than 24).
bool HasBulletFields(uint8_t flags);

// The 24- or 34-byte little-endian form: flags, player id, time, ship edge, ship
// speed, distance and acceleration, got and made hits, then the bullet edge, speed
// and distance when the bullet flies or kUpdateBulletFields is set.
std::vector<uint8_t> EncodePlayerUpdate(const PlayerUpdate& update);

// Reads the serialised form; false, leaving `update` untouched, unless the buffer
// holds exactly one record of the size its flags call for.
bool DecodePlayerUpdate(const uint8_t* data, size_t size, PlayerUpdate& update);

// The turn choice two flag bits encode: one of them set turns, neither or both go straight.
int32_t TurnFromFlags(uint8_t flags, uint8_t leftBit, uint8_t rightBit);
