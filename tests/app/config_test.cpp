#include "app/config.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "base/report.h"
#include "game/key_bindings.h"

namespace {

IniFile DefaultConfig() {
    IniFile ini;
    ini.Parse(kDefaultConfigText);
    return ini;
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

TEST(LogSwitches, PresentKeysSetTheSwitchesMissingOnesLeaveThem) {
    IniFile ini;
    ini.Parse("[log]\nPrintGameManagerInfo=0\n");
    ReadLogSwitches(ini);
    ReportInit(nullptr);  // console only: the switches decide what is echoed
    testing::internal::CaptureStdout();
    Report(LogModule::kGame, LogLevel::kInfo, "game info");
    Report(LogModule::kPlayer, LogLevel::kInfo, "player info");
    std::string console = testing::internal::GetCapturedStdout();
    SetModuleInfoEnabled(LogModule::kGame, true);
    EXPECT_EQ(console.find("game info"), std::string::npos);
    EXPECT_NE(console.find("plr   player info"), std::string::npos);
}

TEST(DefaultConfig, ItsKeysAreTheShippedKeys) { EXPECT_EQ(ReadKeyCodes(DefaultConfig()), DefaultKeyCodes()); }

}  // namespace
