#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

#include "gui/button.h"
#include "gui/scroll_panel.h"
#include "platform/gl_window_fixture.h"
#include "scene/frame.h"
#include "widget_driving.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Rgb = std::array<int, 3>;
constexpr Rgb kBlack{0, 0, 0};

// The real window on the display (Xvfb in the test run) set up for the widgets the way
// the frame's 2D pass does.
class WidgetDrawing : public GlWindowTest<Widget> {
protected:
    void SetUp() override {
        GlWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        BeginOverlayPass(FrameLayout{PixelRect{0, 0, kWidth, kHeight}, kWidth, kHeight});
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
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
