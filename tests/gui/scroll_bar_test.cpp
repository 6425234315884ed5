#include "gui/scroll_bar.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class ScrollBarInput : public testing::Test {
protected:
    ScrollBarInput() {
        Mount(root, bar, 100, 50, 200, 16);
        bar.SetRange(0, 100);
        bar.SetThumbFraction(0.1f);  // a 20-pixel thumb, 1.8 pixels per unit, pages of 19
        bar.SetValue(50);            // the thumb at 90..110 within the bar
    }

    Widget root;
    ScrollBar bar;
};

TEST_F(ScrollBarInput, AClickBesideTheThumbMovesOnePageTowardsTheMouse) {
    ClickAt(bar, 110, 58);
    EXPECT_EQ(bar.Value(), 31) << "left of the thumb: one page down";
    ClickAt(bar, 290, 58);
    EXPECT_EQ(bar.Value(), 50) << "right of the thumb: one page up";
}

TEST_F(ScrollBarInput, DraggingTheThumbSetsTheValueOnRelease) {
    MoveMouseOnto(bar, 200, 58);  // on the thumb
    PressOn(bar, kMouseLeft);
    MoveMouseOnto(bar, 236, 58);
    EXPECT_EQ(bar.Value(), 50) << "the value changes only at release";
    EXPECT_EQ(ReleaseOn(bar, kMouseLeft), KEY_CONSUMED);
    EXPECT_EQ(bar.Value(), 70) << "126 / 1.8 units";
}

}  // namespace
