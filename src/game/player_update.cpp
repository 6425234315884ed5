#include "game/player_update.h"

#include <cstring>

#include "base/byte_reader.h"
#include "game/path_mover.h"

namespace {

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutLittle(out, bits, 4);
}

}  // namespace

bool HasBulletFields(uint8_t flags) { return PlayerUpdateSizeFromFlags(flags) == kPlayerUpdateLongSize; }

std::vector<uint8_t> EncodePlayerUpdate(const PlayerUpdate& update) {
    std::vector<uint8_t> out;
    out.reserve(kPlayerUpdateLongSize);
    out.push_back(update.flags);
    out.push_back(update.player_id);
    PutLittle(out, static_cast<uint32_t>(update.time), 4);
    PutLittle(out, static_cast<uint16_t>(update.ship_edge), 2);
    PutFloat(out, update.ship_speed);
    PutFloat(out, update.ship_distance);
    PutFloat(out, update.ship_acceleration);
    PutLittle(out, update.got_hits, 2);
    PutLittle(out, update.made_hits, 2);
    if (HasBulletFields(update.flags)) {
        PutLittle(out, static_cast<uint16_t>(update.bullet_edge), 2);
        PutFloat(out, update.bullet_speed);
        PutFloat(out, update.bullet_distance);
    }
    return out;
}

bool DecodePlayerUpdate(const uint8_t* data, size_t size, PlayerUpdate& update) {
    if (data == nullptr) return false;
    ByteReader reader(data, size);
    PlayerUpdate read;
    read.flags = reader.U8();
    read.player_id = reader.U8();
    read.time = reader.I32();
    read.ship_edge = reader.I16();
    read.ship_speed = reader.F32();
    read.ship_distance = reader.F32();
    read.ship_acceleration = reader.F32();
    read.got_hits = reader.U16();
    read.made_hits = reader.U16();
    if (HasBulletFields(read.flags)) {
        read.bullet_edge = reader.I16();
        read.bullet_speed = reader.F32();
        read.bullet_distance = reader.F32();
    }
    if (!reader.Ok() || !reader.AtEnd()) return false;
    update = read;
    return true;
}

int32_t TurnFromFlags(uint8_t flags, uint8_t leftBit, uint8_t rightBit) {
    const bool left = (flags & leftBit) != 0;
    const bool right = (flags & rightBit) != 0;
    if (left == right) return kTurnStraight;
    return left ? kTurnLeft : kTurnRight;
}
