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
class FontOnScreen : public GlWindowTest<> {
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
};

TEST_F(FontOnScreen, EachCharacterAdvances15PixelsControlCharactersWithoutInk) {
    Draw("AB", 100, 200);
    const std::vector<unsigned char> together = Pixels();
    ASSERT_GT(std::count_if(together.begin(), together.end(), [](unsigned char red) { return red > 128; }), 20)
        << "the letters must be drawn";
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
