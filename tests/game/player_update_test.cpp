#include "game/player_update.h"

#include <gtest/gtest.h>

#include "game/path_mover.h"

namespace {

PlayerUpdate Sample(uint8_t flags) {
    PlayerUpdate update;
    update.flags = flags;
    update.player_id = 7;
    update.time = 0x01020304;
    update.ship_edge = -2;
    update.ship_speed = 1.0f;      // 00 00 80 3f
    update.ship_distance = 2.0f;   // 00 00 00 40
    update.ship_acceleration = -1.0f;  // 00 00 80 bf
    update.got_hits = 0x0a0b;
    update.made_hits = 3;
    update.bullet_edge = 0x0102;
    update.bullet_speed = 0.5f;    // 00 00 00 3f
    update.bullet_distance = 4.0f;  // 00 00 80 40
    return update;
}

const std::vector<uint8_t> kShipBytes = {0x00, 0x07, 0x04, 0x03, 0x02, 0x01, 0xfe, 0xff, 0x00, 0x00, 0x80, 0x3f,
                                         0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x80, 0xbf, 0x0b, 0x0a, 0x03, 0x00};
const std::vector<uint8_t> kBulletBytes = {0x02, 0x01, 0x00, 0x00, 0x00, 0x3f, 0x00, 0x00, 0x80, 0x40};

std::vector<uint8_t> WithFlags(std::vector<uint8_t> bytes, uint8_t flags) {
    bytes[0] = flags;
    return bytes;
}

TEST(PlayerUpdateEncode, FlyingBulletGives34LittleEndianBytes) {
    std::vector<uint8_t> expected = kShipBytes;
    expected.insert(expected.end(), kBulletBytes.begin(), kBulletBytes.end());
    EXPECT_EQ(EncodePlayerUpdate(Sample(0)), expected)
        << "flags, id, time, ship edge, speed, distance, acceleration, got, made, then the bullet fields";
}

TEST(PlayerUpdateEncode, LoadedBulletGives24Bytes) {
    EXPECT_EQ(EncodePlayerUpdate(Sample(kUpdateBulletLoaded)), WithFlags(kShipBytes, kUpdateBulletLoaded))
        << "bit 4 set and bit 7 clear: no bullet fields";
}

TEST(PlayerUpdateEncode, Bit7KeepsTheBulletFieldsOfALoadedBullet) {
    EXPECT_EQ(EncodePlayerUpdate(Sample(kUpdateBulletLoaded | kUpdateBulletFields)).size(), kPlayerUpdateLongSize)
        << "bit 7 forces the bullet fields";
}

TEST(PlayerUpdateDecode, RoundTripsBothForms) {
    for (uint8_t flags : {uint8_t{0}, uint8_t{kUpdateBulletLoaded}, uint8_t{0xff}}) {
        const PlayerUpdate sent = Sample(flags);
        const std::vector<uint8_t> bytes = EncodePlayerUpdate(sent);
        PlayerUpdate got;
        ASSERT_TRUE(DecodePlayerUpdate(bytes.data(), bytes.size(), got)) << "flags " << int(flags);
        EXPECT_EQ(got.flags, flags);
        EXPECT_EQ(got.player_id, 7);
        EXPECT_EQ(got.time, 0x01020304);
        EXPECT_EQ(got.ship_edge, -2);
        EXPECT_EQ(got.ship_speed, 1.0f);
        EXPECT_EQ(got.ship_distance, 2.0f);
        EXPECT_EQ(got.ship_acceleration, -1.0f);
        EXPECT_EQ(got.got_hits, 0x0a0b);
        EXPECT_EQ(got.made_hits, 3);
        const bool bullet = HasBulletFields(flags);
        EXPECT_EQ(got.bullet_edge, bullet ? 0x0102 : 0) << "absent bullet fields read as 0";
        EXPECT_EQ(got.bullet_speed, bullet ? 0.5f : 0.0f);
        EXPECT_EQ(got.bullet_distance, bullet ? 4.0f : 0.0f);
    }
}

TEST(PlayerUpdateDecode, ShortLongAndMissingBuffersFailAndLeaveTheRecord) {
    const std::vector<uint8_t> full = EncodePlayerUpdate(Sample(0));
    PlayerUpdate untouched;
    untouched.time = 99;
    PlayerUpdate record = untouched;
    EXPECT_FALSE(DecodePlayerUpdate(full.data(), 24, record)) << "a flying bullet needs 34 bytes";
    EXPECT_FALSE(DecodePlayerUpdate(full.data(), 33, record)) << "one byte short";
    EXPECT_FALSE(DecodePlayerUpdate(full.data(), 0, record));
    EXPECT_FALSE(DecodePlayerUpdate(nullptr, 34, record));
    const std::vector<uint8_t> loaded = WithFlags(full, kUpdateBulletLoaded);
    EXPECT_FALSE(DecodePlayerUpdate(loaded.data(), loaded.size(), record))
        << "a loaded bullet's record is 24 bytes; 10 more are damage";
    EXPECT_EQ(record.time, 99) << "a failed decode changes nothing";
}

TEST(PlayerUpdateFlags, TurnBitsGiveTheTurnChoice) {
    EXPECT_EQ(TurnFromFlags(kUpdateShipLeft, kUpdateShipLeft, kUpdateShipRight), kTurnLeft);
    EXPECT_EQ(TurnFromFlags(kUpdateShipRight, kUpdateShipLeft, kUpdateShipRight), kTurnRight);
    EXPECT_EQ(TurnFromFlags(0, kUpdateShipLeft, kUpdateShipRight), kTurnStraight) << "neither bit: straight";
    EXPECT_EQ(TurnFromFlags(3, kUpdateShipLeft, kUpdateShipRight), kTurnStraight) << "both bits: straight";
}

}  // namespace
