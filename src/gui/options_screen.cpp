#include "gui/options_screen.h"

#include <cmath>
#include <utility>

#include "effects/sound_manager.h"

namespace {

constexpr int kSliderMaximum = 100;
constexpr float kSliderToVolume = 0.01f;
constexpr float kSliderThumb = 0.1f;
constexpr int kLabelCellSize = 10;
constexpr int kLabelWidth = 130;

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
    for (ScrollBar* slider : {&soundVolume_, &musicVolume_}) {
        slider->SetRange(0, kSliderMaximum);
        slider->SetThumbFraction(kSliderThumb);
    }
    AddClientChild(&audioLabel_);
    AddClientChild(&soundLabel_);
    AddClientChild(&soundVolume_);
    AddClientChild(&musicLabel_);
    AddClientChild(&musicVolume_);
    SetSize(kWidth, kHeight);
    Resize();
}

void OptionsScreen::OnShown() {
    SettingsScreen::OnShown();
    soundVolume_.SetValue(SliderValue(sound_.GetSoundVolume()));
    musicVolume_.SetValue(SliderValue(sound_.GetMusicVolume()));
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
    PlaceRow(musicLabel_, musicVolume_, y, kLabelWidth, sliderWidth);
}

bool OptionsScreen::Confirm() {
    sound_.SetSoundVolume(static_cast<float>(soundVolume_.Value()) * kSliderToVolume);
    sound_.SetMusicVolume(static_cast<float>(musicVolume_.Value()) * kSliderToVolume);
    IniFile settings = ReadSettings();
    sound_.WriteSoundVolumes(settings);
    SaveSettings(settings);
    return true;
}
