#include "platform/window.h"

#include <gtest/gtest.h>

#include "fake_root.h"

namespace {

using Calls = std::vector<std::string>;

TEST(ResizeRule, SizesBelowTheMinimumSnapBack) {
    FakeRoot root;
    EXPECT_EQ(DecideResize(root, 319, 480), ResizeAction::kSnapToMinimum);
    EXPECT_EQ(DecideResize(root, 640, 239), ResizeAction::kSnapToMinimum);
    EXPECT_EQ(DecideResize(root, 320, 240), ResizeAction::kAccept);
    EXPECT_EQ(DecideResize(root, 800, 600), ResizeAction::kAccept);
}

TEST(ResizeRule, MinimisingChangesNothing) {
    FakeRoot root;
    EXPECT_EQ(DecideResize(root, 0, 0), ResizeAction::kIgnore);
    EXPECT_EQ(DecideResize(root, 0, 480), ResizeAction::kIgnore);
    EXPECT_EQ(DecideResize(root, 640, 0), ResizeAction::kIgnore);
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
