#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "gui/button.h"
#include "gui/scroll_panel.h"
#include "platform/window.h"
#include "scene/frame.h"
#include "widget_driving.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Rgb = std::array<int, 3>;
constexpr Rgb kBlack{0, 0, 0};

// The real window on the display (Xvfb in the test run) set up for the widgets the way
// the frame's 2D pass does.
class WidgetDrawing : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        Place(root, 0, 0, kWidth, kHeight);
        ASSERT_TRUE(CreateGLWindow("KAV", &root, 16, false));
        BeginOverlayPass(FrameLayout{PixelRect{0, 0, kWidth, kHeight}, kWidth, kHeight});
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override {
        if (std::getenv("DISPLAY") != nullptr) KillGLWindow();
    }

    // Children join the draw order at the end of their parent's draw: one frame per level.
    void DrawFrames(int frames) {
        for (int frame = 0; frame < frames; ++frame) root.Draw();
    }

    // The pixel at (x, y), origin top-left.
    static Rgb Pixel(int x, int y) {
        unsigned char rgba[4] = {0, 0, 0, 0};
        glReadBuffer(GL_BACK);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    Widget root;
};

TEST_F(WidgetDrawing, ClippedContentStaysInsideTheView) {
    ScrollPanel panel;
    Button straddling;
    Panel far;  // reaches far below the panel, so it clips
    root.AddChild(&panel);
    Place(panel, 0, 0, 200, 100);
    panel.AddChild(&straddling);
    Place(straddling, 20, 80, 100, 60);
    panel.AddChild(&far);
    Place(far, 0, 400, 10, 10);
    root.Resize();
    ASSERT_TRUE(panel.Clips());
    DrawFrames(3);
    glClear(GL_COLOR_BUFFER_BIT);
    root.Draw();
    EXPECT_NE(Pixel(30, 90), kBlack) << "the part inside the view is drawn";
    EXPECT_EQ(Pixel(30, 110), kBlack) << "the part below the view is clipped";
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "the scissor test is off again after the panel";
}

}  // namespace
