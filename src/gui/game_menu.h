#pragma once

#include <string>

#include "gui/options_screen.h"
#include "gui/sound_button.h"

// The menu in the race, shown and hidden by the application's menu key. "Back to game",
// "End game" and "Exit" close it and keep their clicked flags for the race overlay to
// act on (it resets them afterwards); "Options" opens the options screen; Escape closes it.
class GameMenu : public FramedPanel {
public:
    GameMenu(std::string configFileName, SoundManager& sound);

    bool BackToGameChosen() const { return backToGame_.Clicked(); }
    bool EndGameChosen() const { return endGame_.Clicked(); }
    bool ExitChosen() const { return exit_.Clicked(); }

    SoundButton& BackToGameButton() { return backToGame_; }
    SoundButton& EndGameButton() { return endGame_; }
    SoundButton& OptionsButton() { return options_; }
    SoundButton& ExitButton() { return exit_; }
    OptionsScreen& Options() { return optionsScreen_; }

    void OnKeyUp(KeyEvent* event) override;
    void OnShown() override;
    void OnResized() override;

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 125;

private:
    SoundButton backToGame_{"Back to game"};
    SoundButton endGame_{"End game"};
    SoundButton options_{"Options"};
    SoundButton exit_{"Exit"};
    OptionsScreen optionsScreen_;
};
