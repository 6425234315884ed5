#include "game/key_bindings.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "support/report_capture.h"

namespace {

TEST(KeyBindings, LaterActionWinsMissingKeysBindCodeZeroAndCodesOutsideTheTableAreRefused) {
    ReportCapture capture;
    IniFile ini;
    ini.Parse("[Keys]\nPLAYER_0_FIRE=65\nCHAT_MSG=65\nPLAYER_1_FIRE=400\nPLAYER_1_TURN_LEFT=-3\n");
    KeyBindingTable table;
    ReadKeyBindings(ini, table);
    EXPECT_EQ(table[65].command, kCommandChat);
    EXPECT_EQ(table[0].command, kCommandShowScore) << "the last action without a key lands on code 0";
    EXPECT_TRUE(capture.Contains("Key code 400 of PLAYER_1_FIRE is out of range"));
    EXPECT_TRUE(capture.Contains("Key code -3 of PLAYER_1_TURN_LEFT is out of range"));
}

}  // namespace
