#include "gui/options_screen.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "effects/sound_manager.h"

namespace {

constexpr int kSliderMaximum = 100;
constexpr float kSliderToVolume = 0.01f;
constexpr float kSliderThumb = 0.1f;
constexpr int kSliderArrowStep = 5;
constexpr int kLabelCellSize = 10;
constexpr int kLabelWidth = 130;
constexpr int kKeyButtonWidth = 140;
constexpr int kKeyButtonHeight = 24;
constexpr int kNoteCellSize = 8;

bool IsMouseButton(int code) { return code == kMouseLeft || code == kMouseRight || code == kMouseMiddle; }

int SliderValue(float volume) { return static_cast<int>(std::lround(volume * kSliderMaximum)); }

}  // namespace

OptionsScreen::OptionsScreen(std::string configFileName, SoundManager& sound)
    : SettingsScreen(std::move(configFileName)), sound_(sound) {
    SetCaption("Options");
    for (Label* label : {&soundLabel_, &musicLabel_}) {
        label->SetCellSize(kLabelCellSize);
        label->SetHeight(kLabelCellSize + 4);
        label->SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    }
    audioLabel_.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    keysLabel_.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    keyNote_.SetCellSize(kNoteCellSize);
    keyNote_.SetHeight(kNoteCellSize + 4);
    keyNote_.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    keyList_.SetRowsSelectable(true);
    keyList_.SetHorizontalScrolling(false);
    for (SoundButton* button : {&changeKey_, &defaultKeys_}) button->SetSize(kKeyButtonWidth, kKeyButtonHeight);
    for (ScrollBar* slider : {&soundVolume_, &musicVolume_}) {
        slider->SetRange(0, kSliderMaximum);
        slider->SetThumbFraction(kSliderThumb);
        slider->SetArrowStep(kSliderArrowStep);
    }
    AddClientChild(&audioLabel_);
    AddClientChild(&soundLabel_);
    AddClientChild(&soundVolume_);
    AddClientChild(&musicLabel_);
    AddClientChild(&musicVolume_);
    AddClientChild(&keysLabel_);
    AddClientChild(&keyList_);
    AddClientChild(&changeKey_);
    AddClientChild(&defaultKeys_);
    AddClientChild(&keyNote_);
    SetSize(kWidth, kHeight);
    Resize();
}

void OptionsScreen::OnShown() {
    SettingsScreen::OnShown();
    soundVolume_.SetValue(SliderValue(sound_.GetSoundVolume()));
    musicVolume_.SetValue(SliderValue(sound_.GetMusicVolume()));
    storedKeys_ = ReadKeyCodes(ReadSettings());
    keys_ = storedKeys_;
    capturingAction_ = -1;
    swallowKeyUp_ = 0;
    keyList_.SetSelectedRow(0);
    ShowKeys();
}

void OptionsScreen::ShowKeys() {
    const int selected = keyList_.SelectedRow();
    const std::vector<int> conflicts = ConflictingActions(keys_);
    keyList_.Clear();
    for (int i = 0; i < kKeyActionCount; ++i) {
        const bool clash = i != capturingAction_ && std::find(conflicts.begin(), conflicts.end(), i) != conflicts.end();
        const std::string key = i == capturingAction_ ? "?" : KeyName(keys_[i]);
        keyList_.AddText(std::string(KeyActions()[i].caption) + ": " + key + (clash ? "  (also bound)" : ""));
    }
    keyList_.SetSelectedRow(std::clamp(selected, 0, kKeyActionCount - 1));
    keyList_.SetFocusChild(&keyList_.View());
    keyList_.Resize();
    if (capturingAction_ >= 0)
        keyNote_.SetText(std::string("Press the new key for ") + KeyActions()[capturingAction_].caption);
    else
        keyNote_.SetText(conflicts.empty() ? "" : "Keys marked (also bound) do two things.");
}

void OptionsScreen::OnTick() {
    if (changeKey_.Clicked()) {
        changeKey_.SetClicked(false);
        const int row = keyList_.SelectedRow();
        if (row >= 0 && row < kKeyActionCount) capturingAction_ = row;
        ShowKeys();
    }
    if (defaultKeys_.Clicked()) {
        defaultKeys_.SetClicked(false);
        keys_ = DefaultKeyCodes();
        capturingAction_ = -1;
        ShowKeys();
    }
}

void OptionsScreen::KeyDown(KeyEvent* event) {
    // While an action waits for its key, the next key is that key, whatever it is
    // (Escape and Enter included); a click or a pad's button ends the wait instead.
    if (capturingAction_ >= 0 && event->code != KEY_CONSUMED && IsAvailable()) {
        if (!IsMouseButton(event->code) && !event->fromPad && event->code > 0 && event->code < kKeyBindingCount) {
            keys_[capturingAction_] = event->code;
            swallowKeyUp_ = event->code;
            capturingAction_ = -1;
            ShowKeys();
            event->code = KEY_CONSUMED;
            return;
        }
        capturingAction_ = -1;
        ShowKeys();
    }
    SettingsScreen::KeyDown(event);
}

void OptionsScreen::KeyUp(KeyEvent* event) {
    if (swallowKeyUp_ != 0 && event->code == swallowKeyUp_) {
        swallowKeyUp_ = 0;
        event->code = KEY_CONSUMED;
        return;
    }
    SettingsScreen::KeyUp(event);
}

bool OptionsScreen::TakeKeysChanged() {
    const bool changed = keysChanged_;
    keysChanged_ = false;
    return changed;
}

void OptionsScreen::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    int y = ClientPanel().Client().y + MarginY();
    audioLabel_.SetSize(width, audioLabel_.Height());
    audioLabel_.SetPosition(x, y);
    y += audioLabel_.Height() + Spacing() * 3;
    const int sliderWidth = width - kLabelWidth - Spacing();
    y = PlaceRow(soundLabel_, soundVolume_, y, kLabelWidth, sliderWidth);
    y = PlaceRow(musicLabel_, musicVolume_, y, kLabelWidth, sliderWidth);
    keysLabel_.SetSize(width, keysLabel_.Height());
    keysLabel_.SetPosition(x, y);
    y += keysLabel_.Height() + Spacing();
    const int bottom = ClientPanel().Client().bottom - MarginY();
    const int buttonsY = bottom - kKeyButtonHeight;
    const int noteY = buttonsY - Spacing() - keyNote_.Height();
    keyList_.SetSize(width, std::max(0, noteY - Spacing() - y));
    keyList_.SetPosition(x, y);
    keyNote_.SetSize(width, keyNote_.Height());
    keyNote_.SetPosition(x, noteY);
    changeKey_.SetPosition(x, buttonsY);
    defaultKeys_.SetPosition(x + kKeyButtonWidth + Spacing() * 2, buttonsY);
}

bool OptionsScreen::Confirm() {
    sound_.SetSoundVolume(static_cast<float>(soundVolume_.Value()) * kSliderToVolume);
    sound_.SetMusicVolume(static_cast<float>(musicVolume_.Value()) * kSliderToVolume);
    IniFile settings = ReadSettings();
    sound_.WriteSoundVolumes(settings);
    // Untouched keys stay as they are in the file, even when it lacks some.
    if (keys_ != storedKeys_) {
        WriteKeyCodes(settings, keys_);
        storedKeys_ = keys_;
        keysChanged_ = true;
    }
    // The volumes apply all the same; the screen closes once the player has read why
    // they will be lost.
    const std::string notice = SaveSettings(settings);
    if (!notice.empty()) ShowMessage("Error", notice, kShowOk);
    return true;
}
