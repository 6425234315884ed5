#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "net/network_game.h"

// Which screen of the menus is up, and how the menus move between them when a screen
// finishes. The rules are pure: the main menu feeds them the buttons chosen and the
// finishing screen's accepted and cancelled flags, and shows the screen of the state
// they lead to.
enum MenuState : int {
    kMenuMain = 0,
    kMenuServerList = 1,
    kMenuServerAddress = 2,
    kMenuLobby = 3,
    kMenuCreateNetworkGame = 4,
    kMenuJoinedNetworkGame = 5,
    kMenuLocalGame = 6,
    kMenuRace = 7,
    kMenuExit = 8,
    kMenuOptions = 9,
};

// The main menu's buttons that were clicked since its clicks were last reset.
struct MenuChoices {
    bool startGame = false;
    bool lan = false;
    bool internet = false;
    bool options = false;
    bool exit = false;

    bool Any() const { return startGame || lan || internet || options || exit; }
};

// What the screen of the current state reported when it finished.
struct MenuOutcome {
    MenuChoices choices;    // the main menu's
    bool accepted = false;  // the finishing screen's flags
    bool cancelled = false;
    bool joinedGame = false;  // the lobby joined a game
};

// What the menus ask of the game-server client. The screens pass it integers that the
// client's thread sets: -1 refused or failed, 1 done (or, for a game being entered,
// "load the level now"), and that they set back once they have acted.
class MenuNetwork {
public:
    virtual ~MenuNetwork() = default;
    virtual bool IsConnected() const = 0;
    // Asks the server directory for a fresh list, for the server list screen.
    virtual void RequestServerListRefresh() = 0;

    // Starts the client's thread; false when it cannot run.
    virtual bool Start() { return false; }
    virtual bool ConnectTo(const std::string&, uint16_t) { return false; }
    // Connects without holding the caller: `result` turns 1 when connected, -1 when not.
    // Without a client thread it is the plain connect.
    virtual void ConnectInBackground(const std::string& host, uint16_t port, std::atomic<int>* result) {
        *result = ConnectTo(host, port) ? 1 : -1;
    }
    // The client's last error text ("Could not connect to the server").
    virtual std::string StatusText() const { return std::string(); }
    virtual void Login(const std::string&, std::atomic<int>*) {}
    virtual void CreateGame(int, int, std::atomic<int>*, const std::vector<std::string>&) {}
    virtual void JoinGame(int, std::atomic<int>*, const std::vector<std::string>&) {}
    virtual void SendChat(const std::string&) {}
    virtual void LeaveServer() {}
    // The lists the client fills: the server list, the lobby's chat and its games.
    virtual void SetLists(ServerBrowserView*, LineList*, LineList*) {}
};

// Without a game-server client: never connected, nothing to refresh.
class NoMenuNetwork final : public MenuNetwork {
public:
    bool IsConnected() const override { return false; }
    void RequestServerListRefresh() override {}
};

// How the lobby was reached, so that leaving it goes back the same way.
enum class LobbyEntry { kNone, kInternet, kLan };

class MenuStateMachine {
public:
    explicit MenuStateMachine(MenuNetwork& network) : network_(network) {}

    int State() const { return state_; }
    LobbyEntry Entry() const { return entry_; }

    // Whether the current state's screen has finished: in the main menu when a button
    // was chosen, in a state with a screen when that screen has been hidden. States 5, 7
    // and 8 are never left from here (the step itself or the end of a race leaves them).
    bool IsDue(const MenuChoices& choices, bool screenHidden) const;

    // Moves to the state the outcome leads to and returns it. A joined network game
    // (state 5) is passed through at once on the way to the race.
    int Step(const MenuOutcome& outcome);

    // Back to the main menu without a step, when the chosen state's screen cannot be shown.
    void ReturnToMainMenu() { state_ = kMenuMain; }

private:
    int Next(const MenuOutcome& outcome);
    int FromMainMenu(const MenuChoices& choices);
    int FromLobby(const MenuOutcome& outcome) const;

    MenuNetwork& network_;
    int state_ = kMenuMain;
    LobbyEntry entry_ = LobbyEntry::kNone;
};
