#include "gui/menu_background.h"

#include <gtest/gtest.h>

#include "game/level_test_support.h"
#include "scene/texture_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

TEST(MenuBackground, UnloadFreesTheSceneAndReloadReadsItAgainLeavingTheTexturePath) {
    QuietServices services;
    MenuBackground background(services.Lend());
    ASSERT_TRUE(background.Load(MenuBackground::kDirectory));
    EXPECT_FALSE(services.textures.KeepMode()) << "keep mode is only on while loading";
    const size_t models = background.Models().Objects().size();
    const size_t textures = services.textures.TextureCount();
    ASSERT_GT(textures, 0u);
    services.textures.SetTexturePath("level/texture");

    background.Unload();
    EXPECT_TRUE(background.Models().Objects().empty());
    EXPECT_TRUE(background.StartTrigger().Empty());
    EXPECT_EQ(services.textures.TextureCount(), 0u);

    background.Reload();
    EXPECT_EQ(background.Models().Objects().size(), models);
    EXPECT_FALSE(background.StartTrigger().Empty());
    EXPECT_EQ(services.textures.TextureCount(), textures);
    EXPECT_EQ(services.textures.TexturePath(), "level/texture") << "a level's textures are still looked for there";
}

TEST(MenuBackground, AMissingSceneFailsWithALogLineAndKeepModeOff) {
    QuietServices services;
    ReportCapture log;
    TempDir empty;
    MenuBackground missing(services.Lend());
    EXPECT_FALSE(missing.Load(empty.Path()));
    EXPECT_FALSE(services.textures.KeepMode());
    EXPECT_TRUE(log.Contains("Could not load the menu background scene " + empty.Path() + "/default.scn"));
}

}  // namespace
