#pragma once

#include <cstdlib>

#include <gtest/gtest.h>

#include "fake_root.h"
#include "platform/window.h"

// Opens the real window on the display (Xvfb in the test run) around a root placed
// where the game places its root, and closes it after the test.
template <typename Root = FakeRoot>
class GlWindowTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        root.SetSize(640, 480);
        root.SetPosition(20, 50);
        ASSERT_TRUE(CreateGLWindow("KAV", &root, 16, false));
    }
    void TearDown() override { KillGLWindow(); }

    Root root;
};
