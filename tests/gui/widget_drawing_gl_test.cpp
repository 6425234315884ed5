#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "gui/button.h"
#include "gui/label.h"
#include "gui/scroll_panel.h"
#include "platform/window.h"
#include "widget_driving.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class CountingPanel : public Panel {
public:
    void DrawSelf() override { ++draws; }
    int draws = 0;
};

// The real window on the display (Xvfb in the test run) with the 2D projection the
// frame sets up before the widgets draw.
class WidgetDrawing : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        Place(root, 0, 0, kWidth, kHeight);
        ASSERT_TRUE(CreateGLWindow("KAV", &root, 16, false));
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, kHeight, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { KillGLWindow(); }

    // Children join the draw order at the end of their parent's draw: one frame per level.
    void DrawFrames(int frames) {
        for (int frame = 0; frame < frames; ++frame) root.Draw();
    }

    // The pixel at (x, y), origin top-left.
    static std::array<int, 3> Pixel(int x, int y) {
        unsigned char rgba[4] = {0, 0, 0, 0};
        glReadBuffer(GL_BACK);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    Widget root;
};

TEST_F(WidgetDrawing, AButtonFillsItsFaceWithTheNormalColour) {
    Button button("OK");
    root.AddChild(&button);
    Place(button, 100, 100, 100, 30);
    DrawFrames(2);
    const std::array<int, 3> face = Pixel(105, 105);
    EXPECT_NEAR(face[0], 77, 2) << "normal colour red 0.3";
    EXPECT_NEAR(face[1], 128, 2) << "normal colour green 0.5";
    EXPECT_NEAR(face[2], 179, 2) << "normal colour blue 0.7";
    EXPECT_EQ(Pixel(99, 99), (std::array<int, 3>{0, 0, 0})) << "nothing outside the button";
}

TEST_F(WidgetDrawing, ALabelPrintsInsideItsRectangleAndRestoresTheState) {
    Label label("MMMM");
    root.AddChild(&label);
    Place(label, 50, 50, 64, 16);
    DrawFrames(2);
    int lit = 0;
    for (int y = 50; y < 66; ++y)
        for (int x = 50; x < 114; ++x) lit += Pixel(x, y)[0] > 128 ? 1 : 0;
    EXPECT_GT(lit, 20) << "the text is drawn in the label";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing is back off after the text";
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending is back off after the text";
}

class ClippedPanels : public WidgetDrawing {
protected:
    // An outer panel 100 high whose content reaches far below it, so it clips, and
    // an inner clipping panel placed at `innerY` within it.
    void Build(int innerY) {
        root.AddChild(&outer);
        Place(outer, 0, 0, 200, 100);
        outer.AddChild(&inner);
        Place(inner, 0, innerY, 150, 80);
        inner.AddChild(&content);
        Place(content, 0, 0, 100, 300);
        outer.AddChild(&far);
        Place(far, 0, 400, 10, 10);
        outer.AddChild(&straddling);
        Place(straddling, 20, 80, 100, 60);
        root.Resize();
        ASSERT_TRUE(outer.Clips());
        ASSERT_TRUE(inner.Clips());
        DrawFrames(3);
        content.draws = 0;
    }

    ScrollPanel outer;
    ScrollPanel inner;
    CountingPanel content;
    CountingPanel far;
    Button straddling;
};

TEST_F(ClippedPanels, APanelInsideItsParentsClipDraws) {
    Build(10);
    root.Draw();
    EXPECT_EQ(content.draws, 1);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "the scissor test is off again after the outer panel";
}

TEST_F(ClippedPanels, APanelWhollyOutsideItsParentsClipDrawsNothing) {
    Build(200);
    root.Draw();
    EXPECT_EQ(content.draws, 0) << "nested clips intersect; an empty intersection draws nothing";
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(ClippedPanels, ClippedContentStaysInsideTheView) {
    Build(10);
    glClear(GL_COLOR_BUFFER_BIT);
    root.Draw();
    EXPECT_NE(Pixel(30, 90), (std::array<int, 3>{0, 0, 0})) << "the part inside the view is drawn";
    EXPECT_EQ(Pixel(30, 110), (std::array<int, 3>{0, 0, 0})) << "the part below the view is clipped";
}

}  // namespace
