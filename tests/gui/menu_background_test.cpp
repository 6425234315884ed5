#include "gui/menu_background.h"

#include <gtest/gtest.h>

#include "game/level_test_support.h"
#include "scene/texture_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

TEST(MenuBackground, LoadsTheShippedSceneOrFailsWithALogLineAndKeepModeOff) {
    QuietServices services;
    MenuBackground background(services.Lend());
    ASSERT_TRUE(background.Load(MenuBackground::kDirectory));
    EXPECT_FALSE(background.Models().Objects().empty());
    EXPECT_FALSE(services.textures.KeepMode()) << "keep mode is only on while loading";

    ReportCapture log;
    TempDir empty;
    MenuBackground missing(services.Lend());
    EXPECT_FALSE(missing.Load(empty.Path()));
    EXPECT_FALSE(services.textures.KeepMode());
    EXPECT_TRUE(log.Contains("Could not load the menu background scene " + empty.Path() + "/default.scn"));
}

}  // namespace
