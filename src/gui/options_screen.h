#pragma once

#include <string>

#include "effects/sound_manager.h"
#include "gui/label.h"
#include "gui/scroll_bar.h"
#include "gui/settings_screen.h"

// The sound and music volumes as two sliders from 0 to 100. OK hands them to the sound
// manager and stores them in [sounds] of the settings file; Cancel changes nothing.
class OptionsScreen : public SettingsScreen {
public:
    // The volumes are the borrowed sound manager's.
    OptionsScreen(std::string configFileName, SoundManager& sound);

    ScrollBar& SoundVolume() { return soundVolume_; }
    ScrollBar& MusicVolume() { return musicVolume_; }

    void OnShown() override;
    void OnResized() override;

    static constexpr int kWidth = 300;
    static constexpr int kHeight = 220;

protected:
    bool Confirm() override;

private:
    SoundManager& sound_;
    Label audioLabel_{"Audio"};
    Label soundLabel_{"Sound volume"};
    Label musicLabel_{"Music volume"};
    ScrollBar soundVolume_{ScrollBar::kHorizontal};
    ScrollBar musicVolume_{ScrollBar::kHorizontal};
};
