#include "gui/button.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class ButtonClicks : public testing::Test {
protected:
    ButtonClicks() { Mount(root, button, 10, 10, 100, 30); }

    Widget root;
    Button button;
};

TEST_F(ButtonClicks, PressAndReleaseInsideClicksTogglesAndAdvancesTheStateUpToItsCount) {
    button.SetStateCount(3);
    MoveMouseOnto(button, 20, 20);
    EXPECT_EQ(PressOn(button, kMouseLeft), KEY_CONSUMED);
    EXPECT_FALSE(button.Clicked()) << "a click happens on release, not on press";
    EXPECT_EQ(ReleaseOn(button, kMouseLeft), KEY_CONSUMED);
    EXPECT_TRUE(button.Clicked());
    ClickAt(button, 20, 20);
    ClickAt(button, 20, 20);
    EXPECT_EQ(button.State(), 0) << "three clicks of a three-state button come back to 0";
}

TEST_F(ButtonClicks, ReleasingTheMouseOutsideCancelsButEnterAnywhereClicks) {
    MoveMouseOnto(button, 20, 20);
    PressOn(button, kMouseLeft);
    SetMousePosition(400, 300);
    EXPECT_EQ(ReleaseOn(button, kMouseLeft), KEY_CONSUMED) << "a cancelled release is still consumed";
    EXPECT_FALSE(button.Clicked());
    MoveMouseOnto(button, 20, 20);
    PressOn(button, kMouseLeft);
    SetMousePosition(400, 300);
    ReleaseOn(button, kKeyEnter);
    EXPECT_TRUE(button.Clicked()) << "Enter and Space click wherever the mouse is";
}

}  // namespace
