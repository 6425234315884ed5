#include "game/player_update.h"

#include <gtest/gtest.h>

namespace {

PlayerUpdate Sample(uint8_t flags) {
    PlayerUpdate update;
    update.flags = flags;
    update.player_id = 7;
    update.time = 0x01020304;
    update.ship_edge = -2;
    update.ship_speed = 1.0f;          // 00 00 80 3f
    update.ship_distance = 2.0f;       // 00 00 00 40
    update.ship_acceleration = -1.0f;  // 00 00 80 bf
    update.got_hits = 0x0a0b;
    update.made_hits = 3;
    update.bullet_edge = 0x0102;
    update.bullet_speed = 0.5f;     // 00 00 00 3f
    update.bullet_distance = 4.0f;  // 00 00 80 40
    return update;
}

// flags, id, time, ship edge, speed, distance, acceleration, got, made, then the bullet fields.
std::vector<uint8_t> Bytes(uint8_t flags, bool bulletFields) {
    std::vector<uint8_t> bytes = {flags, 0x07, 0x04, 0x03, 0x02, 0x01, 0xfe, 0xff, 0x00, 0x00, 0x80, 0x3f,
                                  0x00,  0x00, 0x00, 0x40, 0x00, 0x00, 0x80, 0xbf, 0x0b, 0x0a, 0x03, 0x00};
    const std::vector<uint8_t> bullet = {0x02, 0x01, 0x00, 0x00, 0x00, 0x3f, 0x00, 0x00, 0x80, 0x40};
    if (bulletFields) bytes.insert(bytes.end(), bullet.begin(), bullet.end());
    return bytes;
}

TEST(PlayerUpdate, EncodesLittleEndianWithBulletFieldsOnlyWhenTheyAreNeededAndDecodesBack) {
    struct Case {
        uint8_t flags;
        bool bulletFields;
        const char* rule;
    } cases[] = {
        {0, true, "a flying bullet gives 34 bytes"},
        {kUpdateBulletLoaded, false, "a loaded bullet gives 24 bytes"},
        {kUpdateBulletLoaded | kUpdateBulletFields, true, "bit 7 forces the bullet fields of a loaded bullet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const std::vector<uint8_t> bytes = EncodePlayerUpdate(Sample(c.flags));
        EXPECT_EQ(bytes, Bytes(c.flags, c.bulletFields));
        PlayerUpdate got;
        ASSERT_TRUE(DecodePlayerUpdate(bytes.data(), bytes.size(), got));
        EXPECT_EQ(got.ship_edge, -2);
        EXPECT_EQ(got.bullet_edge, c.bulletFields ? 0x0102 : 0) << "absent bullet fields read as 0";
        EXPECT_EQ(got.bullet_distance, c.bulletFields ? 4.0f : 0.0f);
    }
}

TEST(PlayerUpdate, ShortLongAndMissingBuffersFailAndLeaveTheRecord) {
    const std::vector<uint8_t> full = Bytes(0, true);
    const std::vector<uint8_t> loaded = Bytes(kUpdateBulletLoaded, true);
    PlayerUpdate record;
    record.time = 99;
    EXPECT_FALSE(DecodePlayerUpdate(full.data(), 24, record)) << "a flying bullet needs 34 bytes";
    EXPECT_FALSE(DecodePlayerUpdate(full.data(), 33, record)) << "one byte short";
    EXPECT_FALSE(DecodePlayerUpdate(nullptr, 34, record));
    EXPECT_FALSE(DecodePlayerUpdate(loaded.data(), loaded.size(), record))
        << "a loaded bullet's record is 24 bytes; 10 more are damage";
    EXPECT_EQ(record.time, 99) << "a failed decode changes nothing";
}

}  // namespace
