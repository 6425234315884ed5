// The game manager draws its level into a small window on the display.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/game_manager.h"
#include "game/level_test_support.h"
#include "scene/frame.h"
#include "scene/texture_manager.h"
#include "support/gl_window.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

class GameManagerGlTest : public GlContextTest {
protected:
    void TearDown() override {
        textures.DeleteAllTextures();
        GlContextTest::TearDown();
    }

    SoundManager sound;
    ParticleSystemManager particles;
    TextureManager textures{MakeGlTextureUploader()};

    // One frame of the game's scene on black; how many pixels are not black.
    int LitPixelsOfAFrame(GameManager& game) {
        FrameLayout layout;
        layout.sceneArea = {0, 0, kSize, kSize};
        layout.windowWidth = kSize;
        layout.windowHeight = kSize;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawFrame(
            layout, [&] { game.Draw(); }, nullptr);
        int lit = 0;
        for (int y = 0; y < kSize; y += 4)
            for (int x = 0; x < kSize; x += 4)
                if (!PixelNear(At(x, y), Pixel{0, 0, 0}, 2)) ++lit;
        return lit;
    }
};

TEST_F(GameManagerGlTest, DrawsTheLevelExceptWhileALevelIsLoading) {
    ReportCapture capture;
    TempDir data;
    CopyShippedLevel("crossroads", data.Path());
    GameManager game(EffectServices{sound, particles, textures}, [] { return int64_t{0}; });
    game.LoadLevelList(data.Path());
    ASSERT_TRUE(game.SelectLevelByName("Crossroads"));
    ASSERT_TRUE(game.LoadLevel());
    EXPECT_GT(LitPixelsOfAFrame(game), 20) << "the loaded level is drawn from its first camera";
    game.SetState(GameState::kLoading);
    EXPECT_EQ(LitPixelsOfAFrame(game), 0) << "nothing is drawn while a level is loading";
}

}  // namespace
