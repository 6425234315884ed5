#include "gui/menu_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "menu_test_support.h"

namespace {

// One letter per finished screen: main menu S L I O X or * (all); a screen's A(ccepted),
// C(ancelled), N(either), or J (the lobby joined a game, with cancelled also set).
MenuOutcome OutcomeOf(char letter) {
    MenuOutcome outcome;
    MenuChoices& chose = outcome.choices;
    switch (letter) {
        case 'S': chose.startGame = true; break;
        case 'L': chose.lan = true; break;
        case 'I': chose.internet = true; break;
        case 'O': chose.options = true; break;
        case 'X': chose.exit = true; break;
        case '*': chose = MenuChoices{true, true, true, true, true}; break;
        case 'A': outcome.accepted = true; break;
        case 'C': outcome.cancelled = true; break;
        case 'J': outcome.joinedGame = outcome.cancelled = true; break;
        default: break;
    }
    return outcome;
}

TEST(MenuTransitions, EachWayThroughTheMenusEndsInItsState) {
    struct Case {
        const char* rule;
        bool connected;
        std::string steps;
        int state;
    };
    const Case cases[] = {
        {"exit wins over every other choice", false, "*", kMenuExit},
        {"start game chooses a level", false, "S", kMenuLocalGame},
        {"a chosen level starts the race", false, "SA", kMenuRace},
        {"a cancelled level choice returns", false, "SC", kMenuMain},
        {"options always return", false, "ON", kMenuMain},
        {"LAN asks for a server address", false, "L", kMenuServerAddress},
        {"Internet asks for the server list", false, "I", kMenuServerList},
        {"a cancelled server list returns", false, "IC", kMenuMain},
        {"a chosen server leads to the lobby", false, "IA", kMenuLobby},
        {"a network choice while connected goes straight to the lobby", true, "I", kMenuLobby},
        {"leaving the lobby goes back to the server list", false, "IAC", kMenuServerList},
        {"leaving the lobby goes back to the server address", false, "LAC", kMenuServerAddress},
        {"the lobby creates a game", false, "LAA", kMenuCreateNetworkGame},
        {"a cancelled network level choice returns to the lobby", false, "LAAC", kMenuLobby},
        {"a created game races", false, "LAAA", kMenuRace},
        {"a joined game races before cancelled is looked at", false, "LAJ", kMenuRace},
        {"the lobby with neither flag returns to the main menu", false, "LAN", kMenuMain},
        {"after a local race the main menu", false, "SAN", kMenuMain},
        {"after a race while connected the lobby", true, "SAN", kMenuLobby},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + ": " + c.steps);
        RecordingMenuNetwork network;
        network.connected = c.connected;
        MenuStateMachine machine{network};
        for (const char step : c.steps) machine.Step(OutcomeOf(step));
        EXPECT_EQ(machine.State(), c.state);
        EXPECT_EQ(network.refreshes, c.connected ? 0 : std::count(c.steps.begin(), c.steps.end(), 'I'))
            << "Internet asks for a fresh server list unless connected";
    }
}

}  // namespace
