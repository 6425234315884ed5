#include "gui/options_screen.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "effects/sound_manager.h"
#include "menu_test_support.h"

namespace {

class Options : public testing::Test {
protected:
    Options() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&screen);
        screen.SetOwner(&root);
        Place(screen, 170, 130, OptionsScreen::kWidth, OptionsScreen::kHeight);
        screen.Resize();
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

}  // namespace
