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
        screen.SetVisible(false);
        screen.SetVisible(true);
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
    Click(screen.OkButton());
    root.Tick();
    EXPECT_FLOAT_EQ(sound.GetSoundVolume(), 0.7f);
    EXPECT_FLOAT_EQ(sound.GetMusicVolume(), 0.05f);
    const IniFile settings(config.Path());
    EXPECT_EQ(settings.GetInt("sounds", "sound_volume"), 70);
    EXPECT_EQ(settings.GetInt("sounds", "music_volume"), 5);
    EXPECT_EQ(settings.GetString("sounds", "mouseover"), "data/sounds/over.wav") << "the rest is kept";
}

TEST_F(Options, CancelLeavesEverythingUnchanged) {
    const std::string before = config.Text();
    screen.SoundVolume().SetValue(90);
    Click(screen.CancelButton());
    root.Tick();
    EXPECT_FLOAT_EQ(sound.GetSoundVolume(), 0.4f);
    EXPECT_EQ(config.Text(), before);
}

// The volumes apply for this run; the box says why they will not come back, and the
// screen closes once it has been read.
TEST_F(Options, ASaveThatFailsIsShownBeforeTheScreenCloses) {
    screen.SetVisible(false);
    OptionsScreen nowhere{"/no/such/directory/kav.ini", sound};
    MountScreen(root, nowhere, 170, 130, OptionsScreen::kWidth, OptionsScreen::kHeight);
    nowhere.SetVisible(true);
    nowhere.SoundVolume().SetValue(70);
    Click(nowhere.OkButton());
    root.Tick();
    EXPECT_FLOAT_EQ(sound.GetSoundVolume(), 0.7f);
    EXPECT_TRUE(ShowsMessage(nowhere, "Error",
                             "Settings could not be saved to /no/such/directory/kav.ini: No such file or directory"));
    EXPECT_TRUE(nowhere.IsVisible()) << "the screen waits for the box";
    Click(nowhere.Message().OkButton());
    root.Tick();  // the box closes
    root.Tick();  // then the screen
    EXPECT_FALSE(nowhere.IsVisible());
    EXPECT_TRUE(nowhere.IsAccepted());
}

TEST_F(Options, AChosenActionTakesTheNextKeyClashesAreMarkedAndOkStoresTheKeys) {
    constexpr int kPlayer2Fire = 9;
    constexpr int kMenu = 14;
    auto rebind = [this](int action, int code) {
        screen.KeyList().SetSelectedRow(action);
        Click(screen.ChangeKeyButton());
        root.Tick();
        EXPECT_EQ(screen.KeyList().View().Line(action), std::string(KeyActions()[action].caption) + ": ?");
        PressOn(screen, code);
        return ReleaseOn(screen, code);
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
    Click(screen.ChangeKeyButton());
    root.Tick();
    KeyEvent padA{kKeyEnter, true};
    TopOf(screen)->KeyDown(&padA);
    EXPECT_EQ(screen.KeyList().View().Line(kMenu), menuLine);

    Click(screen.OkButton());
    root.Tick();
    const IniFile settings(config.Path());
    EXPECT_EQ(settings.GetInt("Keys", "PLAYER_1_FIRE"), kKeyEscape);
    EXPECT_EQ(settings.GetInt("Keys", "SHOW_MENU"), 'm');
    EXPECT_EQ(settings.GetInt("Keys", "PLAYER_0_FIRE"), kKeyEnter);
    EXPECT_TRUE(screen.TakeKeysChanged()) << "the game binds the new keys";
    EXPECT_FALSE(screen.TakeKeysChanged());
}

TEST_F(Options, DefaultsBringTheShippedKeysBackAndCancelKeepsTheOldOnes) {
    config.Write("[Keys]\nPLAYER_0_FIRE=32\nCHAT_MSG=32\n");
    screen.SetVisible(false);
    screen.SetVisible(true);
    EXPECT_EQ(screen.KeyList().View().Line(17), "Chat: Space  (also bound)");
    Click(screen.DefaultKeysButton());
    root.Tick();
    EXPECT_EQ(screen.Keys(), DefaultKeyCodes());
    Click(screen.CancelButton());
    root.Tick();
    EXPECT_EQ(config.Text(), "[Keys]\nPLAYER_0_FIRE=32\nCHAT_MSG=32\n");
    EXPECT_FALSE(screen.TakeKeysChanged());
}

}  // namespace
