#pragma once

#include <string>

#include "effects/sound_manager.h"
#include "game/key_bindings.h"
#include "gui/label.h"
#include "gui/scroll_bar.h"
#include "gui/settings_screen.h"
#include "gui/sound_button.h"
#include "gui/text_list.h"

// The sound and music volumes as two sliders from 0 to 100, and the keys of [Keys]:
// pick an action in the list, press "Change", then the new key; keys bound to two
// actions are marked, "Defaults" brings the shipped keys back. OK hands the volumes to
// the sound manager and stores them in [sounds], and the keys in [Keys], of the
// settings file; Cancel changes nothing.
class OptionsScreen : public SettingsScreen {
public:
    // The volumes are the borrowed sound manager's.
    OptionsScreen(std::string configFileName, SoundManager& sound);

    ScrollBar& SoundVolume() { return soundVolume_; }
    ScrollBar& MusicVolume() { return musicVolume_; }
    TextList& KeyList() { return keyList_; }
    SoundButton& ChangeKeyButton() { return changeKey_; }
    SoundButton& DefaultKeysButton() { return defaultKeys_; }
    Label& KeyNote() { return keyNote_; }
    const KeyCodes& Keys() const { return keys_; }

    // True once after OK stored new keys: the game binds them again.
    bool TakeKeysChanged();

    void KeyDown(KeyEvent* event) override;
    void KeyUp(KeyEvent* event) override;
    void OnShown() override;
    void OnResized() override;
    void OnTick() override;

    static constexpr int kWidth = 400;
    static constexpr int kHeight = 430;

protected:
    bool Confirm() override;

private:
    void ShowKeys();

    SoundManager& sound_;
    Label audioLabel_{"Audio"};
    Label soundLabel_{"Sound volume"};
    Label musicLabel_{"Music volume"};
    ScrollBar soundVolume_{ScrollBar::kHorizontal};
    ScrollBar musicVolume_{ScrollBar::kHorizontal};
    Label keysLabel_{"Keys"};
    TextList keyList_;
    SoundButton changeKey_{"Change"};
    SoundButton defaultKeys_{"Defaults"};
    Label keyNote_{""};
    KeyCodes storedKeys_{};
    KeyCodes keys_{};
    // The action waiting for its new key, or -1.
    int capturingAction_ = -1;
    // The new key's own key-up, which must not act on the screen (Escape would cancel it).
    int swallowKeyUp_ = 0;
    bool keysChanged_ = false;
};
