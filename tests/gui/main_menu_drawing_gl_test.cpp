#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "game/level_test_support.h"
#include "gui/main_menu.h"
#include "menu_test_support.h"
#include "platform/window.h"
#include "scene/frame.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The main menu in a real window on the display (Xvfb in the test run), drawn the way
// the application's frame draws it: the background scene in 3D, the menu on top.
class MainMenuDrawing : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        Place(root, 0, 0, kWidth, kHeight);
        ASSERT_TRUE(CreateGLWindow("KAV", &root, 16, false));
        root.AddChild(&menu);
        menu.SetOwner(&root);
        menu.SetPosition((kWidth - MainMenu::kWidth) / 2, (kHeight - MainMenu::kHeight) / 2);
        root.Resize();
    }
    void TearDown() override {
        if (std::getenv("DISPLAY") != nullptr) KillGLWindow();
    }

    void DrawFrames(int frames, bool withMenu) {
        const FrameLayout layout{PixelRect{0, 0, kWidth, kHeight}, kWidth, kHeight};
        for (int frame = 0; frame < frames; ++frame) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            root.Tick();
            DrawFrame(layout, [this] { menu.DrawBackground(); }, [this, withMenu] {
                if (withMenu) root.Draw();
            });
        }
    }

    static std::array<int, 3> Pixel(int x, int y) {
        unsigned char rgba[4] = {0, 0, 0, 0};
        glReadBuffer(GL_BACK);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    // Pixels in the rectangle (stepping by `step`) for which `test` holds.
    template <typename Test>
    static int CountPixels(int x1, int y1, int x2, int y2, int step, Test test) {
        int count = 0;
        for (int y = y1; y < y2; y += step)
            for (int x = x1; x < x2; x += step)
                if (test(Pixel(x, y))) ++count;
        return count;
    }

    // Pixels that are not black in a band along the window's left edge, beside the menu.
    static int LitBesideTheMenu() {
        return CountPixels(0, 0, 160, kHeight, 4, [](const std::array<int, 3>& p) { return p[0] + p[1] + p[2] > 30; });
    }

    // White text pixels on the widget.
    static int TextPixelsOn(const Widget& widget) {
        const Widget::AbsoluteRect& box = widget.Absolute();
        return CountPixels(box.x1, box.y1, box.x2, box.y2, 1,
                           [](const std::array<int, 3>& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; });
    }

    // Children join the drawing one level per frame; the menu's captions are four down.
    static constexpr int kFramesToDrawEverything = 6;

    ConfigCopy config;
    FakeMenuGame game;
    NoMenuNetwork network;
    Widget root;
    MainMenu menu{game, network, config.Path(), QuietEffects()};
};

TEST_F(MainMenuDrawing, TheBackgroundSceneIsDrawnBehindTheMenu) {
    ASSERT_TRUE(menu.LoadBackground());
    menu.PrepareForShowing();
    DrawFrames(kFramesToDrawEverything, true);
    EXPECT_GT(LitBesideTheMenu(), 50) << "the background scene shows around the menu";
    EXPECT_GT(TextPixelsOn(menu.StartGameButton()), 20) << "the menu is drawn over it with its captions";
}

TEST_F(MainMenuDrawing, WithoutTheBackgroundOnlyTheMenuShows) {
    menu.PrepareForShowing();
    DrawFrames(kFramesToDrawEverything, true);
    EXPECT_EQ(LitBesideTheMenu(), 0);
    EXPECT_GT(TextPixelsOn(menu.ExitButton()), 20);
}

}  // namespace
