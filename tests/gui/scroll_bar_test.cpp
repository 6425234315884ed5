#include "gui/scroll_bar.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

TEST(ScrollBarValue, ValuesAndFractionsAreClampedAndTheThumbMovesByPixelsPerUnit) {
    ScrollBar bar;  // horizontal, range 0..10, thumb fraction 0.2
    Place(bar, 0, 0, 100, 16);
    bar.SetValue(5);
    EXPECT_EQ(bar.Thumb().x, 40) << "(width - thumb) / range pixels per unit";
    bar.SetValue(99);
    EXPECT_EQ(bar.Value(), 10);
    bar.SetRange(3, 7);
    EXPECT_EQ(bar.Value(), 7) << "a new range clamps the value";
    bar.SetValue(-4);
    EXPECT_EQ(bar.Value(), 3);
    bar.SetThumbFraction(1.5f);
    EXPECT_FLOAT_EQ(bar.ThumbFraction(), 1.0f);
    bar.SetThumbFraction(-1.0f);
    EXPECT_FLOAT_EQ(bar.ThumbFraction(), 0.0f);
}

class ScrollBarInput : public testing::Test {
protected:
    ScrollBarInput() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&bar);
        Place(bar, 100, 50, 200, 16);
        bar.SetRange(0, 100);
        bar.SetThumbFraction(0.1f);  // a 20-pixel thumb, 1.8 pixels per unit, pages of 19
        bar.SetValue(50);            // the thumb at 90..110 within the bar
    }

    Widget root;
    ScrollBar bar;
};

TEST_F(ScrollBarInput, AClickBesideTheThumbMovesOnePageTowardsTheMouseUpToTheEnd) {
    EXPECT_EQ(ClickAt(bar, 110, 58).first, KEY_CONSUMED);
    EXPECT_EQ(bar.Value(), 31) << "left of the thumb: one page down";
    EXPECT_EQ(root.FocusedChild(), nullptr) << "the bar never keeps focus";
    ClickAt(bar, 290, 58);
    EXPECT_EQ(bar.Value(), 50) << "right of the thumb: one page up";
    bar.SetValue(95);
    ClickAt(bar, 299, 58);
    EXPECT_EQ(bar.Value(), 100) << "paging stops at the maximum";
}

TEST_F(ScrollBarInput, DraggingTheThumbSetsTheValueOnReleaseClampedToTheBar) {
    MoveMouseOnto(bar, 200, 58);  // on the thumb
    PressOn(bar, kMouseLeft);
    EXPECT_TRUE(bar.IsDragging());
    MoveMouseOnto(bar, 236, 58);
    EXPECT_EQ(bar.Thumb().x, 126) << "the thumb follows the mouse along the bar";
    EXPECT_EQ(bar.Value(), 50) << "the value changes only at release";
    EXPECT_EQ(ReleaseOn(bar, kMouseLeft), KEY_CONSUMED);
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.Value(), 70) << "126 / 1.8 units";

    MoveMouseOnto(bar, 226, 58);
    PressOn(bar, kMouseLeft);
    MoveMouseOnto(bar, 600, 58);
    EXPECT_EQ(bar.Thumb().x, 180) << "the thumb stays within the bar";
    ReleaseOn(bar, kMouseLeft);
    EXPECT_EQ(bar.Value(), 100);
}

}  // namespace
