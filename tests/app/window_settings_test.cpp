#include "app/window_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "support/temp_dir.h"

namespace {

const WindowMode kFallback{640, 480, false};

TEST(WindowSettings, TheWindowSectionIsReadWithinLimits) {
    struct Case {
        const char* ini;
        WindowMode expected;
    };
    const std::vector<Case> cases{
        {"", kFallback},
        {"[Window]\nWidth=800\nHeight=600\nFullScreen=1\n", {800, 600, true}},
        {"[Window]\nWidth=100\nHeight=50\n", {320, 240, false}},
        {"[Window]\nWidth=wide\nHeight=-3\n", kFallback},
        {"[Window]\nWidth=99999\nHeight=600\nFullScreen=0\n", {640, 600, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        IniFile ini;
        ini.Parse(c.ini);
        EXPECT_EQ(ReadWindowMode(ini, kFallback, 320, 240), c.expected);
    }
}

TEST(WindowSettings, AChangedModeIsWrittenAndTheRestOfTheFileStays) {
    TempDir dir;
    dir.Write("kav.ini", "[General]\nVictories=3\n");
    WindowSettings settings(dir.File("kav.ini"), {});
    settings.Load(kFallback, 320, 240);
    settings.OnWindowModeChanged(WindowMode{800, 600, true});
    const IniFile written(dir.File("kav.ini"));
    EXPECT_EQ(written.GetInt("General", "Victories"), 3);
    EXPECT_EQ(ReadWindowMode(written, kFallback, 320, 240), (WindowMode{800, 600, true}));
}

}  // namespace
