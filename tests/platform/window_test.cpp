#include "platform/window.h"

#include <gtest/gtest.h>

#include "fake_root.h"

namespace {

using Calls = std::vector<std::string>;

TEST(ResizeRule, SizesBelowTheMinimumSnapBackAndMinimisingChangesNothing) {
    struct Case {
        int width, height;
        ResizeAction action;
    };
    const Case cases[] = {{319, 480, ResizeAction::kSnapToMinimum}, {640, 239, ResizeAction::kSnapToMinimum},
                          {320, 240, ResizeAction::kAccept},        {800, 600, ResizeAction::kAccept},
                          {0, 0, ResizeAction::kIgnore},            {0, 480, ResizeAction::kIgnore},
                          {640, 0, ResizeAction::kIgnore}};
    FakeRoot root;
    for (const Case& c : cases)
        EXPECT_EQ(DecideResize(root, c.width, c.height), c.action) << c.width << "x" << c.height;
}

TEST(ResizeRoot, AnAcceptedSizeGoesToTheRootAndTheWindowSize) {
    FakeRoot root;
    ResizeRoot(&root, 700, 500);
    EXPECT_EQ(root.Width(), 700);
    EXPECT_EQ(root.Height(), 500);
    EXPECT_EQ(WindowWidth(), 700);
    EXPECT_EQ(WindowHeight(), 500);
    EXPECT_EQ(root.calls, (Calls{"resize 700x500"}));

    ResizeRoot(&root, 0, 0);
    EXPECT_EQ(root.Width(), 700) << "minimising keeps the size";
    EXPECT_EQ(WindowWidth(), 700);
    EXPECT_EQ(root.calls.size(), 1u) << "minimising does not resize the root";
}

TEST(ResizeRoot, WithoutAWindowATooSmallSizeIsNotTaken) {
    FakeRoot root;
    ResizeRoot(&root, 640, 480);
    ResizeRoot(&root, 100, 100);
    EXPECT_EQ(root.Width(), 640);
    EXPECT_EQ(WindowHeight(), 480);
    ResizeRoot(nullptr, 800, 600);
    EXPECT_EQ(WindowWidth(), 640);
}

}  // namespace
