#include "platform/window.h"

#include <gtest/gtest.h>

#include "fake_root.h"

namespace {

TEST(ResizeRule, SizesBelowTheMinimumSnapBackAndMinimisingChangesNothing) {
    const struct {
        int width, height;
        ResizeAction action;
    } cases[] = {{319, 480, ResizeAction::kSnapToMinimum},
                 {640, 239, ResizeAction::kSnapToMinimum},
                 {320, 240, ResizeAction::kAccept},
                 {0, 480, ResizeAction::kIgnore},
                 {640, 0, ResizeAction::kIgnore}};
    FakeRoot root;
    for (const auto& c : cases)
        EXPECT_EQ(DecideResize(root, c.width, c.height), c.action) << c.width << "x" << c.height;

    ResizeRoot(&root, 700, 500);
    EXPECT_EQ(root.Width(), 700);
    EXPECT_EQ(root.calls, std::vector<std::string>{"resize 700x500"}) << "an accepted size goes to the root";
    ResizeRoot(&root, 0, 0);
    ResizeRoot(&root, 100, 100);
    EXPECT_EQ(root.Width(), 700) << "minimising or, without a window, a too small size keeps the size";
    EXPECT_EQ(WindowWidth(), 700);
    EXPECT_EQ(root.calls.size(), 1u);
}

}  // namespace
