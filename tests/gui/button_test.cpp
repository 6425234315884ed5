#include "gui/button.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class ButtonClicks : public testing::Test {
protected:
    ButtonClicks() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&button);
        root.AddChild(&other);
        Place(button, 10, 10, 100, 30);
        Place(other, 200, 10, 100, 30);
    }

    Widget root;
    Button button;
    Button other{"Other"};
};

TEST_F(ButtonClicks, PressAndReleaseInsideClicksTogglesAndAdvancesTheStateUpToItsCount) {
    button.SetStateCount(3);
    MoveMouseOnto(button, 20, 20);
    EXPECT_EQ(PressOn(button, kMouseLeft), KEY_CONSUMED);
    EXPECT_FALSE(button.Clicked()) << "a click happens on release, not on press";
    EXPECT_EQ(ReleaseOn(button, kMouseLeft), KEY_CONSUMED);
    EXPECT_TRUE(button.Clicked());
    EXPECT_TRUE(button.Toggled());
    EXPECT_EQ(button.State(), 1);
    EXPECT_FALSE(button.IsPressed()) << "the release clears pressed";
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
    EXPECT_FALSE(button.IsPressed());
    MoveMouseOnto(button, 20, 20);
    PressOn(button, kMouseLeft);
    SetMousePosition(400, 300);
    ReleaseOn(button, kKeyEnter);
    EXPECT_TRUE(button.Clicked()) << "Enter and Space click wherever the mouse is";
}

TEST_F(ButtonClicks, EnterAndSpacePressOnlyTheFocusedButton) {
    KeyEvent enter{kKeyEnter};
    other.KeyDown(&enter);
    EXPECT_FALSE(other.IsPressed()) << "a button that is not its parent's focused child ignores keys";
    EXPECT_EQ(enter.code, kKeyEnter);
    root.SetFocusChild(&button);
    EXPECT_EQ(PressOn(button, 'a'), 'a') << "other keys are left alone";
    EXPECT_EQ(PressOn(button, kKeySpace), KEY_CONSUMED);
    ReleaseOn(button, kKeySpace);
    EXPECT_TRUE(button.Clicked());
}

}  // namespace
