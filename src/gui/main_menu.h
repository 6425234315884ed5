#pragma once

#include <array>
#include <string>

#include "effects/script_manager.h"
#include "gui/choose_level_screen.h"
#include "gui/choose_server_screen.h"
#include "gui/hosted_server.h"
#include "gui/in_server_screen.h"
#include "gui/menu_background.h"
#include "gui/menu_game.h"
#include "gui/menu_state.h"
#include "gui/options_screen.h"
#include "gui/screen.h"
#include "gui/server_address_screen.h"
#include "gui/sound_button.h"

// The main menu over its animated background, and the owner of the screens that lead
// from it to a race. Its state machine decides which screen is up: each tick it looks
// whether the current screen has finished and, if so, shows the next one. The owned
// screens are its children and open over it.
//
// The application adds it as a child, registers itself as its owner, loads the
// background once a GL context exists, and calls PrepareForShowing at start-up and
// when a race ends. While the menu is visible the frame draws DrawBackground instead
// of the game. State 8 (ExitRequested) asks the application to end its main loop.
class MainMenu : public Screen {
public:
    MainMenu(MenuGame& game, MenuNetwork& network, std::string configFileName, const EffectServices& services);

    // The background scene from "data/.default"; see MenuBackground::Load.
    bool LoadBackground(const std::string& directory = MenuBackground::kDirectory);
    // GL, in the 3D pass of a frame while the menu is visible.
    void DrawBackground() { background_.Draw(); }

    // Shows the menus again: at start-up the main menu, after a race the screen the
    // race leads back to (the lobby while still connected to a game server, else the
    // main menu). Does nothing while the menu is already visible.
    void PrepareForShowing();
    // Off while a recording is replayed: the replayed updates drive the players, and a
    // server's would fight them (and ours would never be sent). The replayed clicks of a
    // recorded network game would otherwise lead the replay into the network screens.
    void SetNetworkAvailable(bool available);

    int State() const { return machine_.State(); }
    bool ExitRequested() const { return machine_.State() == kMenuExit; }
    bool ExitChosen() const { return choices_.exit; }
    const MenuChoices& Choices() const { return choices_; }

    SoundButton& StartGameButton() { return startGame_; }
    SoundButton& LanButton() { return lan_; }
    SoundButton& InternetButton() { return internet_; }
    SoundButton& OptionsButton() { return options_; }
    SoundButton& ExitButton() { return exit_; }
    ChooseLevelScreen& ChooseLevel() { return chooseLevel_; }
    ChooseServerScreen& ChooseServer() { return chooseServer_; }
    ServerAddressScreen& ServerAddress() { return serverAddress_; }
    InServerScreen& InServer() { return inServer_; }
    // The game server this game may host; it outlives the screens that use it.
    HostedServer& Hosting() { return hosting_; }
    OptionsScreen& Options() { return optionsScreen_; }
    const MenuBackground& Background() const { return background_; }

    void Tick() override;
    void KeyUp(KeyEvent* event) override;
    void OnKeyUp(KeyEvent* event) override;
    void OnResetClicks() override { choices_ = MenuChoices{}; }
    void OnTick() override;
    void OnShown() override;
    void OnHidden() override;
    void OnResized() override;

    static constexpr int kWidth = 300;
    static constexpr int kHeight = 220;
    static constexpr int kMargin = 10;

private:
    // The screen shown in a state, nullptr for states without one.
    Screen* ScreenOf(int state);
    std::array<Screen*, 5> OwnedScreens() {
        return {&chooseLevel_, &optionsScreen_, &chooseServer_, &serverAddress_, &inServer_};
    }
    MenuOutcome Outcome();
    void Enter(int state);

    MenuGame& game_;
    MenuNetwork& network_;
    MenuStateMachine machine_;
    MenuBackground background_;
    SoundButton startGame_{"Start Game"};
    SoundButton lan_{"LAN (test)"};
    SoundButton internet_{"Internet (test)"};
    SoundButton options_{"Options"};
    SoundButton exit_{"Exit"};
    MenuChoices choices_;
    HostedServer hosting_;
    ChooseLevelScreen chooseLevel_;
    OptionsScreen optionsScreen_;
    ChooseServerScreen chooseServer_;
    ServerAddressScreen serverAddress_;
    InServerScreen inServer_;
};
