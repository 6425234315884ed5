#include "gui/main_menu.h"

#include <utility>

#include "base/clock.h"
#include "gui/button_column.h"
#include "platform/child_process.h"
#include "platform/window.h"

namespace {

constexpr int kButtonGap = 6;

}  // namespace

MainMenu::MainMenu(MenuGame& game, MenuNetwork& network, std::string configFileName, const EffectServices& services)
    : game_(game),
      network_(network),
      machine_(network),
      background_(services),
      hosting_(ExecutableDirectory() + "/kav-server", NowMs),
      chooseLevel_(game, network, configFileName),
      optionsScreen_(configFileName, services.sound),
      chooseServer_(network, configFileName),
      serverAddress_(network, hosting_, configFileName),
      inServer_(game, network, hosting_, configFileName) {
    network.SetLists(&chooseServer_, &inServer_.ChatLines(), &inServer_.GamesLines());
    SetCaption("Main Menu");
    SetMargins(kMargin, kMargin);
    // The five choices replace OK and Cancel; the client area takes the bar's place.
    Buttons().SetVisible(false);
    for (SoundButton* button : {&startGame_, &lan_, &internet_, &options_, &exit_}) AddClientChild(button);
    for (Screen* screen : OwnedScreens()) {
        AddChild(screen);
        screen->SetOwner(this);
        screen->SetVisible(false);
    }
    SetSize(kWidth, kHeight);
    Resize();
    // Shown by PrepareForShowing once the application is ready.
    SetVisible(false);
}

void MainMenu::SetNetworkAvailable(bool available) {
    lan_.SetEnabled(available);
    internet_.SetEnabled(available);
}

bool MainMenu::LoadBackground(const std::string& directory) { return background_.Load(directory); }

void MainMenu::PrepareForShowing() {
    if (IsVisible()) return;
    const int state = machine_.State();
    Enter(state == kMenuRace ? machine_.Step(MenuOutcome{}) : state);
}

Screen* MainMenu::ScreenOf(int state) {
    switch (state) {
        case kMenuMain: return this;
        case kMenuServerList: return &chooseServer_;
        case kMenuServerAddress: return &serverAddress_;
        case kMenuLobby: return &inServer_;
        case kMenuCreateNetworkGame:
        case kMenuLocalGame: return &chooseLevel_;
        case kMenuOptions: return &optionsScreen_;
        default: return nullptr;
    }
}

MenuOutcome MainMenu::Outcome() {
    MenuOutcome outcome;
    outcome.choices = choices_;
    const Screen* screen = ScreenOf(machine_.State());
    if (screen != nullptr && screen != this) {
        outcome.accepted = screen->IsAccepted();
        outcome.cancelled = screen->IsCancelled();
    }
    outcome.joinedGame = machine_.State() == kMenuLobby && inServer_.JoinedGame();
    return outcome;
}

void MainMenu::Enter(int state) {
    switch (state) {
        case kMenuMain:
            // A server hosted for a network game that is over (its connection was lost
            // mid-race, say) has no one left to serve.
            if (!network_.IsConnected()) hosting_.Stop();
            ResetClicks();
            SetVisible(true);
            return;
        case kMenuRace: SetVisible(false); return;
        case kMenuExit: return;
        default: break;
    }
    Screen* screen = ScreenOf(state);
    if (screen == nullptr) {
        machine_.ReturnToMainMenu();
        Enter(kMenuMain);
        return;
    }
    if (screen == &chooseLevel_) {
        const bool network = state == kMenuCreateNetworkGame;
        chooseLevel_.SetNetworkMode(network);
        game_.SetNetworkGame(network);
    }
    SetVisible(true);
    screen->SetVisible(true);
}

void MainMenu::Tick() {
    if (IsVisible()) background_.Tick();
    Screen::Tick();
}

// The choices are read whatever became of the event: a button consumes the key that clicks it.
void MainMenu::KeyUp(KeyEvent* event) {
    if (event->code == KEY_CONSUMED) return;
    // The owned screens see the key first; what is left of Escape is ignored here
    // rather than cancelling the main menu as it would a dialog.
    Panel::KeyUp(event);
    if (event->code == kKeyEscape) event->code = KEY_CONSUMED;
}

void MainMenu::OnKeyUp(KeyEvent*) {
    choices_.startGame = startGame_.Clicked();
    choices_.lan = lan_.Clicked();
    choices_.internet = internet_.Clicked();
    choices_.options = options_.Clicked();
    choices_.exit = exit_.Clicked();
}

void MainMenu::OnTick() {
    const Screen* screen = ScreenOf(machine_.State());
    const bool screenHidden = screen != nullptr && screen != this && !screen->IsVisible();
    if (!machine_.IsDue(choices_, screenHidden)) return;
    Enter(machine_.Step(Outcome()));
}

void MainMenu::OnShown() {
    Screen::OnShown();
    SetClearColour(Colour{0, 0, 0, 1});
    background_.Reload();
    background_.Start();
}

void MainMenu::OnHidden() { background_.Unload(); }

void MainMenu::OnResized() {
    ScrollPanel& client = ClientPanel();
    client.SetSize(client.Width(), Height() - BorderWidth() - client.Y());
    StackButtons({&startGame_, &lan_, &internet_, &options_, &exit_}, MarginX(), MarginY(),
                 client.Width() - 2 * MarginX(), client.Height() - 2 * MarginY(), kButtonGap);
    for (Screen* screen : OwnedScreens())
        screen->SetPosition((Width() - screen->Width()) / 2, (Height() - screen->Height()) / 2);
}
