#include "gui/scroll_bar.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class ScrollBarGeometry : public testing::Test {
protected:
    ScrollBarGeometry() { Place(bar, 0, 0, 100, 16); }

    ScrollBar bar;  // horizontal, range 0..10, thumb fraction 0.2
};

TEST_F(ScrollBarGeometry, TheThumbTakesItsFractionAndMovesByPixelsPerUnit) {
    bar.SetValue(5);
    EXPECT_EQ(bar.ThumbLength(), 20) << "thumb length = width x fraction";
    EXPECT_FLOAT_EQ(bar.PixelsPerUnit(), 8.0f) << "(width - thumb) / range";
    EXPECT_EQ(bar.PageStep(), 19) << "a page is the thumb length less one";
    EXPECT_EQ(bar.Thumb().x, 40);
    EXPECT_EQ(bar.Thumb().y, 1) << "the thumb sits one pixel inside the bar";
    EXPECT_EQ(bar.Thumb().height, 14);
}

TEST_F(ScrollBarGeometry, ValuesAndFractionsAreClamped) {
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

TEST_F(ScrollBarGeometry, AnEmptyRangeCountsAsOneUnit) {
    bar.SetRange(4, 4);
    EXPECT_FLOAT_EQ(bar.PixelsPerUnit(), 80.0f);
    EXPECT_EQ(bar.Thumb().x, 0);
}

TEST(ScrollBarVertical, TheAxesAreExchanged) {
    ScrollBar bar(ScrollBar::kVertical);
    Place(bar, 0, 0, 16, 200);
    bar.SetThumbFraction(0.5f);
    bar.SetValue(10);
    EXPECT_EQ(bar.ThumbLength(), 100);
    EXPECT_EQ(bar.Thumb().x, 1);
    EXPECT_EQ(bar.Thumb().width, 14);
    EXPECT_EQ(bar.Thumb().y, 100) << "at the maximum the thumb reaches the far end";
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

TEST_F(ScrollBarInput, AClickBesideTheThumbMovesOnePageTowardsTheMouse) {
    const auto codes = ClickAt(bar, 110, 58);
    EXPECT_EQ(codes.first, KEY_CONSUMED);
    EXPECT_EQ(bar.Value(), 31) << "left of the thumb: one page down";
    EXPECT_EQ(root.FocusedChild(), nullptr) << "the bar never keeps focus";
    ClickAt(bar, 290, 58);
    EXPECT_EQ(bar.Value(), 50) << "right of the thumb: one page up";
    bar.SetValue(95);
    ClickAt(bar, 110, 58);
    ClickAt(bar, 290, 58);
    EXPECT_EQ(bar.Value(), 95 - 19 + 19);
    ClickAt(bar, 299, 58);
    EXPECT_EQ(bar.Value(), 100) << "paging stops at the maximum";
}

TEST_F(ScrollBarInput, DraggingTheThumbSetsTheValueOnRelease) {
    MoveMouseOnto(bar, 200, 58);  // on the thumb
    PressOn(bar, kMouseLeft);
    EXPECT_TRUE(bar.IsDragging());
    MoveMouseOnto(bar, 236, 58);
    EXPECT_EQ(bar.Thumb().x, 126) << "the thumb follows the mouse along the bar";
    EXPECT_EQ(bar.Value(), 50) << "the value changes only at release";
    EXPECT_EQ(ReleaseOn(bar, kMouseLeft), KEY_CONSUMED);
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.Value(), 70) << "126 / 1.8 units";
    EXPECT_EQ(root.FocusedChild(), nullptr) << "the release drops the focus";
}

TEST_F(ScrollBarInput, ADragPastTheEndClampsToTheMaximum) {
    MoveMouseOnto(bar, 200, 58);
    PressOn(bar, kMouseLeft);
    MoveMouseOnto(bar, 600, 58);
    EXPECT_EQ(bar.Thumb().x, 180) << "the thumb stays within the bar";
    ReleaseOn(bar, kMouseLeft);
    EXPECT_EQ(bar.Value(), 100);
}

TEST_F(ScrollBarInput, TheThumbOfABarWithoutFocusIsNotDragged) {
    SetMousePosition(200, 58);
    KeyEvent press{kMouseLeft};
    bar.KeyDown(&press);
    EXPECT_EQ(press.code, KEY_CONSUMED) << "the event is consumed all the same";
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.Value(), 50);
}

}  // namespace
