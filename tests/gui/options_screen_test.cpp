#include "gui/options_screen.h"

#include <gtest/gtest.h>

#include <string>

#include "base/ini_file.h"
#include "effects/sound_manager.h"
#include "menu_test_support.h"

namespace {

class Options : public testing::Test {
protected:
    Options() {
        MountScreen(root, screen, 170, 130, OptionsScreen::kWidth, OptionsScreen::kHeight);
        sound.SetSoundVolume(0.4f);
        sound.SetMusicVolume(0.25f);
        Reshow(screen);
    }
    ~Options() override {
        sound.SetSoundVolume(1.0f);
        sound.SetMusicVolume(1.0f);
    }

    ConfigCopy config;
    Widget root;
    SoundManager sound;
    OptionsScreen screen{config.Path(), sound};
};

TEST_F(Options, OkAppliesTheVolumesAndStoresThemInSounds) {
    EXPECT_EQ(screen.SoundVolume().Value(), 40) << "the sliders start at the sound manager's volumes";
    screen.SoundVolume().SetValue(70);
    screen.MusicVolume().SetValue(5);
    ClickThenTick(screen.OkButton());
    EXPECT_FLOAT_EQ(sound.GetSoundVolume(), 0.7f);
    EXPECT_FLOAT_EQ(sound.GetMusicVolume(), 0.05f);
    const IniFile settings(config.Path());
    EXPECT_EQ(settings.GetInt("sounds", "sound_volume"), 70);
    EXPECT_EQ(settings.GetInt("sounds", "music_volume"), 5);
    EXPECT_EQ(settings.GetString("sounds", "mouseover"), "data/sounds/over.wav") << "the rest is kept";
}

// The volumes apply for this run, and the box says why they will not come back; the
// screen is done all the same (it waits for the box as every screen does).
TEST_F(Options, ASaveThatFailsIsShownAndTheScreenIsDone) {
    screen.SetVisible(false);
    OptionsScreen nowhere{"/no/such/directory/kav.ini", sound};
    MountScreen(root, nowhere, 170, 130, OptionsScreen::kWidth, OptionsScreen::kHeight);
    nowhere.SetVisible(true);
    nowhere.SoundVolume().SetValue(70);
    ClickThenTick(nowhere.OkButton());
    EXPECT_FLOAT_EQ(sound.GetSoundVolume(), 0.7f);
    EXPECT_TRUE(ShowsMessage(nowhere, "Error",
                             "Settings could not be saved to /no/such/directory/kav.ini: No such file or directory"));
    EXPECT_TRUE(nowhere.IsAccepted());
}

TEST_F(Options, AChosenActionTakesTheNextKeyClashesAreMarkedAndOkStoresTheKeys) {
    constexpr int kPlayer2Fire = 9;
    constexpr int kMenu = 14;
    auto rebind = [this](int action, int code) {
        screen.KeyList().SetSelectedRow(action);
        ClickThenTick(screen.ChangeKeyButton());
        EXPECT_EQ(screen.KeyList().View().Line(action), std::string(KeyActions()[action].caption) + ": ?");
        return Type(screen, code);
    };
    EXPECT_EQ(rebind(kPlayer2Fire, kKeyEnter), KEY_CONSUMED) << "the new key does nothing else";
    EXPECT_EQ(screen.KeyList().View().Line(kPlayer2Fire), "Player 2 fire: Enter  (also bound)");
    EXPECT_EQ(screen.KeyList().View().Line(4), "Player 1 fire: Enter  (also bound)");
    EXPECT_EQ(screen.KeyNote().Text(), "Keys marked (also bound) do two things.");
    rebind(kMenu, 'm');
    rebind(kPlayer2Fire, kKeyEscape);
    root.Tick();
    EXPECT_TRUE(screen.IsVisible()) << "Escape as a new key does not cancel the screen";
    EXPECT_EQ(screen.KeyNote().Text(), "");

    // A pad's A stands for Enter in the menus but is no key to bind: it ends the wait.
    const std::string menuLine = screen.KeyList().View().Line(kMenu);
    screen.KeyList().SetSelectedRow(kMenu);
    ClickThenTick(screen.ChangeKeyButton());
    KeyEvent padA{kKeyEnter, true};
    TopOf(screen)->KeyDown(&padA);
    EXPECT_EQ(screen.KeyList().View().Line(kMenu), menuLine);

    ClickThenTick(screen.OkButton());
    const IniFile settings(config.Path());
    EXPECT_EQ(settings.GetInt("Keys", "PLAYER_1_FIRE"), kKeyEscape);
    EXPECT_EQ(settings.GetInt("Keys", "SHOW_MENU"), 'm');
    EXPECT_EQ(settings.GetInt("Keys", "PLAYER_0_FIRE"), kKeyEnter);
    EXPECT_TRUE(screen.TakeKeysChanged()) << "the game binds the new keys";
    EXPECT_FALSE(screen.TakeKeysChanged());
}

TEST_F(Options, DefaultsBringTheShippedKeysBackAndCancelKeepsTheOldKeysAndVolumes) {
    config.Write("[Keys]\nPLAYER_0_FIRE=32\nCHAT_MSG=32\n");
    Reshow(screen);
    EXPECT_EQ(screen.KeyList().View().Line(17), "Chat: Space  (also bound)");
    ClickThenTick(screen.DefaultKeysButton());
    EXPECT_EQ(screen.Keys(), DefaultKeyCodes());
    screen.SoundVolume().SetValue(90);
    ClickThenTick(screen.CancelButton());
    EXPECT_FLOAT_EQ(sound.GetSoundVolume(), 0.4f);
    EXPECT_EQ(config.Text(), "[Keys]\nPLAYER_0_FIRE=32\nCHAT_MSG=32\n");
    EXPECT_FALSE(screen.TakeKeysChanged());
}

}  // namespace
