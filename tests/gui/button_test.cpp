#include "gui/button.h"

#include <gtest/gtest.h>

#include <vector>

#include "gui/interface_sound.h"
#include "gui/sound_button.h"
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

TEST_F(ButtonClicks, PressAndReleaseInsideClicksTogglesAndAdvancesTheState) {
    const auto codes = ClickAt(button, 20, 20);
    EXPECT_EQ(codes.first, KEY_CONSUMED) << "the press is consumed";
    EXPECT_EQ(codes.second, KEY_CONSUMED) << "the release is consumed";
    EXPECT_TRUE(button.Clicked());
    EXPECT_TRUE(button.Toggled());
    EXPECT_EQ(button.State(), 1);
    EXPECT_FALSE(button.IsPressed()) << "the release clears pressed";
}

TEST_F(ButtonClicks, ThePressHoldsUntilTheRelease) {
    MoveMouseOnto(button, 20, 20);
    PressOn(button, kMouseLeft);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_FALSE(button.Clicked()) << "a click happens on release, not on press";
}

TEST_F(ButtonClicks, ReleasingTheMouseOutsideCancelsTheClick) {
    MoveMouseOnto(button, 20, 20);
    PressOn(button, kMouseLeft);
    SetMousePosition(400, 300);
    EXPECT_EQ(ReleaseOn(button, kMouseLeft), KEY_CONSUMED) << "a cancelled release is still consumed";
    EXPECT_FALSE(button.Clicked());
    EXPECT_FALSE(button.Toggled());
    EXPECT_FALSE(button.IsPressed());
}

TEST_F(ButtonClicks, ReleasingEnterAnywhereClicksAPressedButton) {
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
    EXPECT_EQ(PressOn(button, kKeySpace), KEY_CONSUMED);
    ReleaseOn(button, kKeySpace);
    EXPECT_TRUE(button.Clicked());
}

TEST_F(ButtonClicks, OtherKeysAreLeftAlone) {
    root.SetFocusChild(&button);
    EXPECT_EQ(PressOn(button, 'a'), 'a');
    EXPECT_FALSE(button.IsPressed());
}

TEST_F(ButtonClicks, ResetClicksClearsClickedButKeepsToggledAndState) {
    ClickAt(button, 20, 20);
    root.ResetClicks();
    EXPECT_FALSE(button.Clicked()) << "clicked is an edge that lasts until ResetClicks";
    EXPECT_TRUE(button.Toggled());
    EXPECT_EQ(button.State(), 1);
}

TEST_F(ButtonClicks, TheStateWrapsAtTheStateCount) {
    button.SetStateCount(3);
    for (int click = 0; click < 3; ++click) ClickAt(button, 20, 20);
    EXPECT_EQ(button.State(), 0) << "three clicks of a three-state button come back to 0";
    EXPECT_TRUE(button.Toggled()) << "toggled flips on each of the three clicks";
}

TEST(ButtonLayout, TheCaptionCoversTheClientAreaAndTheFaceIsShifted) {
    Button button("Go");
    button.SetBorderWidth(3);
    Place(button, 10, 20, 100, 30);
    EXPECT_EQ(button.Caption().Text(), "Go");
    EXPECT_EQ(button.Caption().Absolute().x1, 13);
    EXPECT_EQ(button.Caption().Width(), 94);
    EXPECT_EQ(button.Caption().Height(), 24);
    EXPECT_EQ(button.FaceRect().x1, 12) << "the face is moved 2 pixels right";
    EXPECT_EQ(button.FaceRect().y2, 52) << "and 2 pixels down";
}

std::vector<InterfaceSound> played;
void Listen(InterfaceSound sound) { played.push_back(sound); }

class SoundButtonSounds : public ButtonClicks {
protected:
    SoundButtonSounds() {
        root.AddChild(&sounding);
        Place(sounding, 10, 100, 100, 30);
        previous = SetInterfaceSoundPlayer(&Listen);
        played.clear();
    }
    ~SoundButtonSounds() override { SetInterfaceSoundPlayer(previous); }

    SoundButton sounding{"Sound"};
    InterfaceSoundPlayer previous = nullptr;
};

TEST_F(SoundButtonSounds, TheMouseComingOntoItPlaysTheMouseOverSound) {
    MoveMouseOnto(sounding, 20, 110);
    EXPECT_EQ(played, std::vector<InterfaceSound>{InterfaceSound::kMouseOver});
}

TEST_F(SoundButtonSounds, EveryKeyThatReachesItPlaysTheClickSound) {
    root.SetFocusChild(&sounding);
    PressOn(sounding, 'x');
    PressOn(sounding, kKeyEnter);
    EXPECT_EQ(played, (std::vector<InterfaceSound>{InterfaceSound::kMouseClick, InterfaceSound::kMouseClick}))
        << "the click sound plays for any key, not only the ones that press it";
}

}  // namespace
