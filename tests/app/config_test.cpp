#include "app/config.h"

#include <gtest/gtest.h>

#include "app/ini_file.h"
#include "app/report.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

IniFile DefaultConfig() {
    IniFile ini;
    ini.Parse(kDefaultConfigText);
    return ini;
}

TEST(DefaultConfig, IsWrittenOnlyWhenMissing) {
    TempDir dir;
    testing::internal::CaptureStdout();
    EnsureDefaultConfig(dir.File("kav.ini").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating default ini file\n");
    EXPECT_EQ(dir.Read("kav.ini"), kDefaultConfigText);

    dir.Write("kav.ini", "[General]\nVictories=3\n");
    testing::internal::CaptureStdout();
    EnsureDefaultConfig(dir.File("kav.ini").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(dir.Read("kav.ini"), "[General]\nVictories=3\n");
}

TEST(KeyBindings, DefaultsBindBothPlayersAndTheCommands) {
    KeyBindingTable table;
    ReadKeyBindings(DefaultConfig(), table);
    const struct {
        int code, command, player, kind;
    } cases[] = {
        {351, kControlSpeedUp, 0, kBindingShipControl}, {'q', kControlFire, 1, kBindingShipControl},
        {301, kCommandNextCamera, -1, kBindingCamera},  {27, kCommandShowMenu, -1, kBindingCommand},
        {'a', table['a'].command, -1, kBindingNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("key code " + std::to_string(c.code));
        EXPECT_EQ(table[c.code].command, c.command);
        EXPECT_EQ(table[c.code].player, c.player);
        EXPECT_EQ(table[c.code].kind, c.kind);
    }
}

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

TEST(LogSwitches, PresentKeysSetTheSwitchesMissingOnesLeaveThem) {
    IniFile ini;
    ini.Parse("[log]\nPrintGameManagerInfo=0\n");
    ReadLogSwitches(ini);
    ReportInit(nullptr);  // console only: the switches decide what is echoed
    testing::internal::CaptureStdout();
    Report(kGame, kInfo, "game info");
    Report(kPlayer, kInfo, "player info");
    std::string console = testing::internal::GetCapturedStdout();
    SetModuleInfoEnabled(kGame, true);
    EXPECT_EQ(console.find("game info"), std::string::npos);
    EXPECT_NE(console.find("plr   player info"), std::string::npos);
}

}  // namespace
