#include "game/key_bindings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(KeyBindings, KeysAreNamedAsThePlayerKnowsThem) {
    const std::vector<std::pair<int, std::string>> cases{
        {0, "none"}, {13, "Enter"}, {101, "E"}, {301, "F1"}, {324, "F24"}, {363, "Pad 3"}, {399, "Key 399"},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(KeyName(code), name) << code;
}

TEST(KeyBindings, KeysSharedByTwoActionsAreConflicts) {
    KeyCodes codes = DefaultKeyCodes();
    EXPECT_TRUE(ConflictingActions(codes).empty()) << "the shipped keys do not clash";
    codes[9] = 13;  // player 2 fires with player 1's Enter
    EXPECT_EQ(ConflictingActions(codes), (std::vector<int>{4, 9}));
    codes[9] = 0;
    codes[4] = 0;
    EXPECT_TRUE(ConflictingActions(codes).empty()) << "two actions without a key do not clash";
}

TEST(KeyBindings, WrittenKeysReadBackAndBindTheTable) {
    IniFile ini;
    ini.Parse("[Keys]\nPLAYER_0_FIRE=32\n");
    KeyCodes codes = ReadKeyCodes(ini);
    EXPECT_EQ(codes[4], 32);
    EXPECT_EQ(codes[0], 0) << "a missing key is no key";
    codes = DefaultKeyCodes();
    codes[4] = 'm';
    WriteKeyCodes(ini, codes);
    EXPECT_EQ(ReadKeyCodes(ini), codes);
    KeyBindingTable table;
    ReadKeyBindings(ini, table);
    EXPECT_EQ(table['m'].command, kControlFire);
    EXPECT_EQ(table['m'].player, 0);
}

TEST(KeyBindings, HelpLinesNameTheBoundKeysOnlyWhereTheyDifferFromTheShippedOnes) {
    const std::vector<std::string> shipped{"ESC - menu; TAB - score.", "F1,F2 change camera view; ~ - chat;",
                                           "Player 1 keys: Arrows - move; ENTER - fire.",
                                           "Player 2 keys: S,E,F,D - move; Q - fire."};
    EXPECT_EQ(KeyHelpLines(DefaultKeyCodes()), shipped);
    KeyCodes codes = DefaultKeyCodes();
    codes[9] = 'w';
    codes[17] = 't';
    codes[14] = 'p';
    EXPECT_EQ(KeyHelpLines(codes),
              (std::vector<std::string>{"P - menu; Tab - score.", "F1,F2 change camera view; T - chat;", shipped[2],
                                        "Player 2 keys: E,D,S,F - move; W - fire."}));
}

}  // namespace
