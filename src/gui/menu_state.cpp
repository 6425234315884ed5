#include "gui/menu_state.h"

bool MenuStateMachine::IsDue(const MenuChoices& choices, bool screenHidden) const {
    switch (state_) {
        case kMenuMain: return choices.Any();
        case kMenuServerList:
        case kMenuServerAddress:
        case kMenuLobby:
        case kMenuCreateNetworkGame:
        case kMenuLocalGame:
        case kMenuOptions: return screenHidden;
        default: return false;
    }
}

int MenuStateMachine::Step(const MenuOutcome& outcome) {
    state_ = Next(outcome);
    if (state_ == kMenuJoinedNetworkGame) state_ = Next(outcome);
    return state_;
}

int MenuStateMachine::Next(const MenuOutcome& outcome) {
    switch (state_) {
        case kMenuMain: return FromMainMenu(outcome.choices);
        case kMenuServerList:
        case kMenuServerAddress:
            if (outcome.accepted) return kMenuLobby;
            return outcome.cancelled ? kMenuMain : state_;
        case kMenuLobby: return FromLobby(outcome);
        case kMenuCreateNetworkGame:
            if (outcome.accepted) return kMenuRace;
            return outcome.cancelled ? kMenuLobby : state_;
        case kMenuJoinedNetworkGame: return kMenuRace;
        case kMenuLocalGame:
            if (outcome.accepted) return kMenuRace;
            return outcome.cancelled ? kMenuMain : state_;
        case kMenuRace: return network_.IsConnected() ? kMenuLobby : kMenuMain;
        case kMenuOptions: return kMenuMain;
        default: return state_;
    }
}

int MenuStateMachine::FromMainMenu(const MenuChoices& choices) {
    if (choices.exit) return kMenuExit;
    if (choices.startGame) return kMenuLocalGame;
    if (choices.internet || choices.lan) entry_ = choices.internet ? LobbyEntry::kInternet : LobbyEntry::kLan;
    if ((choices.internet || choices.lan) && network_.IsConnected()) return kMenuLobby;
    if (choices.internet) {
        network_.RequestServerListRefresh();
        return kMenuServerList;
    }
    if (choices.lan) return kMenuServerAddress;
    if (choices.options) return kMenuOptions;
    return kMenuMain;
}

int MenuStateMachine::FromLobby(const MenuOutcome& outcome) const {
    if (outcome.joinedGame) return kMenuJoinedNetworkGame;
    if (outcome.cancelled && entry_ == LobbyEntry::kInternet) return kMenuServerList;
    if (outcome.cancelled && entry_ == LobbyEntry::kLan) return kMenuServerAddress;
    return outcome.accepted ? kMenuCreateNetworkGame : kMenuMain;
}
