#include "gui/menu_background.h"

#include <gtest/gtest.h>

#include "game/level_test_support.h"
#include "scene/cob_reader.h"
#include "scene/texture_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

TEST(MenuBackground, LoadsTheShippedSceneWithKeptTexturesAndBindsStart) {
    HeadlessTextures textures;
    MenuBackground background(QuietEffects());
    ASSERT_TRUE(background.Load(MenuBackground::kDirectory));

    CobReader scene;
    ASSERT_TRUE(scene.Load("data/.default/default.scn"));
    EXPECT_EQ(background.Models().Objects().size(), scene.Polyhedra().size()) << "one model per polyhedron";
    EXPECT_EQ(background.Models().Lights().size(), scene.Lights().size());
    EXPECT_EQ(background.Models().Cameras().size(), scene.Cameras().size());
    EXPECT_FALSE(background.StartTrigger().Empty()) << "the script's start actions are bound";

    TextureManager& manager = TextureManager::Instance();
    EXPECT_FALSE(manager.KeepMode()) << "keep mode is only on while loading";
    EXPECT_EQ(manager.TexturePath(), "data/.default/texture");
}

TEST(MenuBackground, AMissingDirectoryFailsWithALogLine) {
    ReportCapture log;
    HeadlessTextures textures;
    TempDir empty;
    MenuBackground background(QuietEffects());
    EXPECT_FALSE(background.Load(empty.Path()));
    EXPECT_TRUE(background.StartTrigger().Empty());
    EXPECT_TRUE(background.Models().Objects().empty());
    EXPECT_FALSE(TextureManager::Instance().KeepMode());
    EXPECT_TRUE(log.Contains("Could not load the menu background scene " + empty.Path() + "/default.scn"));
}

}  // namespace
