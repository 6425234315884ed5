#include "platform/font.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gl_window_fixture.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The window in window pixels, origin top-left, as the widgets draw.
class FontOnScreen : public GlWindowTest {
protected:
    void SetUp() override {
        GlWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, kHeight, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        Clear();
    }

    static void Clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    static void Draw(const char* text, int x, int y, FontStyle style = FontStyle{}) {
        const float white[4] = {1, 1, 1, 1};
        Print(style, x, y, text, static_cast<int>(std::char_traits<char>::length(text)), white);
    }

    // Red channel of the back buffer, row 0 at the top.
    static std::vector<unsigned char> Pixels() {
        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> red(kWidth * kHeight);
        for (int row = 0; row < kHeight; ++row)
            for (int x = 0; x < kWidth; ++x) red[(kHeight - 1 - row) * kWidth + x] = rgba[(row * kWidth + x) * 4];
        return red;
    }

    struct Box {
        int left = kWidth, top = kHeight, right = -1, bottom = -1;
        int lit = 0;
    };
    static Box LitBox(const std::vector<unsigned char>& red) {
        Box box;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (red[y * kWidth + x] > 128) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                    ++box.lit;
                }
        return box;
    }
};

TEST_F(FontOnScreen, AGlyphLightsPixelsInsideItsCellScaledByTheStyle) {
    struct Case {
        const char* text;
        float scale;
        int minLit, cellWidth, cellHeight;
    };
    for (const Case& c : {Case{"A", 1, 20, 15, 16}, Case{"W", 0.625f, 5, 10, 10}}) {
        SCOPED_TRACE(std::string(c.text) + " at scale " + std::to_string(c.scale));
        Clear();
        Draw(c.text, 100, 200, FontStyle{0, c.scale});
        const Box box = LitBox(Pixels());
        EXPECT_GT(box.lit, c.minLit);
        EXPECT_GE(box.left, 100);
        EXPECT_LT(box.right, 100 + c.cellWidth);
        EXPECT_GE(box.top, 200);
        EXPECT_LT(box.bottom, 200 + c.cellHeight);
    }
}

TEST_F(FontOnScreen, EachCharacterAdvances15PixelsControlCharactersWithoutInk) {
    Draw("AB", 100, 200);
    const std::vector<unsigned char> together = Pixels();
    Clear();
    Draw("A", 100, 200);
    Draw("B", 115, 200);
    EXPECT_EQ(Pixels(), together) << "\"AB\" must look like A at x and B at x + 15";

    Clear();
    Draw("A\nB", 100, 200);
    const std::vector<unsigned char> withControl = Pixels();
    Clear();
    Draw("A", 100, 200);
    Draw("B", 130, 200);
    EXPECT_EQ(Pixels(), withControl) << "a control character only advances";
}

}  // namespace
