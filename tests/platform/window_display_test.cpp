#include <cstdlib>
#include <string>

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "gl_window_fixture.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

using WindowOnDisplay = GlWindowTest<>;

TEST_F(WindowOnDisplay, DraggingBelowTheMinimumSnapsBackAndSetWindowSizeResizesTheRoot) {
    ResizeRoot(&root, 200, 100);
    EXPECT_EQ(root.Width(), 320);
    EXPECT_EQ(root.Height(), 240);
    int width = 0, height = 0;
    SDL_GetWindowSize(SDL_GL_GetCurrentWindow(), &width, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);

    SetWindowSize(800, 600);
    EXPECT_EQ(root.calls.back(), "resize 800x600");
}

float centreBlue = -1;

void ReadCentreAndQuit() {
    float pixel[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(320, 240, 1, 1, GL_RGBA, GL_FLOAT, pixel);
    centreBlue = pixel[2];
    PostQuit();
}

TEST_F(WindowOnDisplay, MainLoopClearsDrawsAndEndsOnQuit) {
    SetClearColour(Colour{0, 0, 1, 1});
    root.onDraw = ReadCentreAndQuit;
    EXPECT_EQ(MainLoop(), 0);
    EXPECT_EQ(root.draws, 1) << "the quit posted during the frame ends the loop before the next frame";
    EXPECT_FLOAT_EQ(centreBlue, 1.0f) << "each frame starts from the clear colour";
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), nullptr) << "the loop destroys the window when it ends";
}

TEST(WindowWithoutDisplay, CreationFailsWithAMessageOnStandardError) {
    // The window system stays up once started, so this needs a process of its own (as ctest runs it).
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "the window system is already up in this process";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    FakeRoot root;
    root.SetSize(640, 480);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateGLWindow("KAV", &root, 16, false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: Failed To Register The Window Class.\n");
    EXPECT_EQ(MainLoop(), 0) << "without a window there is no loop to run";
}

}  // namespace
