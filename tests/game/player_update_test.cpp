#include "game/player_update.h"

#include <gtest/gtest.h>

namespace {

// Field by field: flags, ship edge, id, time, ship speed, distance, acceleration, bullet edge,
// speed, distance, got and made hits. The floats 1, 2, -1, 0.5 and 4 are 0x3f800000,
// 0x40000000, 0xbf800000, 0x3f000000 and 0x40800000.
PlayerUpdate Sample(uint8_t flags) { return {flags, -2, 7, 0x01020304, 1, 2, -1, 0x0102, 0.5f, 4, 0x0a0b, 3}; }

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
    EXPECT_FALSE(DecodePlayerUpdate(full.data(), 33, record)) << "a flying bullet needs 34 bytes";
    EXPECT_FALSE(DecodePlayerUpdate(nullptr, 34, record));
    EXPECT_FALSE(DecodePlayerUpdate(loaded.data(), loaded.size(), record))
        << "a loaded bullet's record is 24 bytes; 10 more are damage";
    EXPECT_EQ(record.time, 99) << "a failed decode changes nothing";
}

}  // namespace
