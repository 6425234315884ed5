#include "app/config.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "base/report.h"
#include "game/key_bindings.h"

namespace {

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

TEST(DefaultConfig, ItsKeysAreTheShippedKeys) {
    IniFile ini;
    ini.Parse(kDefaultConfigText);
    EXPECT_EQ(ReadKeyCodes(ini), DefaultKeyCodes());
}

}  // namespace
