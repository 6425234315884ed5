#include "gui/menu_state.h"

#include <gtest/gtest.h>

namespace {

class FakeNetwork : public MenuNetwork {
public:
    bool IsConnected() const override { return connected; }
    void RequestServerListRefresh() override { ++refreshes; }

    bool connected = false;
    int refreshes = 0;
};

MenuOutcome Chose(bool MenuChoices::*choice) {
    MenuOutcome outcome;
    outcome.choices.*choice = true;
    return outcome;
}

MenuOutcome Accepted() {
    MenuOutcome outcome;
    outcome.accepted = true;
    return outcome;
}

MenuOutcome Cancelled() {
    MenuOutcome outcome;
    outcome.cancelled = true;
    return outcome;
}

class MenuTransitions : public testing::Test {
protected:
    // Walks the machine along the given steps from the main menu.
    int Walk(std::initializer_list<MenuOutcome> steps) {
        int state = machine.State();
        for (const MenuOutcome& step : steps) state = machine.Step(step);
        return state;
    }

    FakeNetwork network;
    MenuStateMachine machine{network};
};

TEST_F(MenuTransitions, TheMainMenuChoicesLeadToTheirStates) {
    EXPECT_EQ(machine.State(), kMenuMain);
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::startGame)), kMenuLocalGame);
    machine.ReturnToMainMenu();
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::options)), kMenuOptions);
    machine.ReturnToMainMenu();
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::lan)), kMenuServerAddress);
    machine.ReturnToMainMenu();
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::exit)), kMenuExit);
}

TEST_F(MenuTransitions, ExitWinsOverEveryOtherChoiceAndStartGameOverTheRest) {
    MenuOutcome all;
    all.choices = MenuChoices{true, true, true, true, true};
    EXPECT_EQ(machine.Step(all), kMenuExit);
    machine.ReturnToMainMenu();
    all.choices.exit = false;
    EXPECT_EQ(machine.Step(all), kMenuLocalGame);
    machine.ReturnToMainMenu();
    all.choices.startGame = false;
    EXPECT_EQ(machine.Step(all), kMenuServerList) << "the network choices come before Options";
}

TEST_F(MenuTransitions, InternetRequestsTheServerListFirst) {
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::internet)), kMenuServerList);
    EXPECT_EQ(network.refreshes, 1);
    EXPECT_EQ(machine.Entry(), LobbyEntry::kInternet);
}

TEST_F(MenuTransitions, ANetworkChoiceWhileConnectedGoesStraightToTheLobby) {
    network.connected = true;
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::internet)), kMenuLobby);
    EXPECT_EQ(network.refreshes, 0) << "no server list is needed";
    machine.ReturnToMainMenu();
    EXPECT_EQ(machine.Step(Chose(&MenuChoices::lan)), kMenuLobby);
    EXPECT_EQ(machine.Entry(), LobbyEntry::kLan);
}

TEST_F(MenuTransitions, TheServerScreensLeadToTheLobbyOrBack) {
    EXPECT_EQ(Walk({Chose(&MenuChoices::internet), Accepted()}), kMenuLobby);
    machine.ReturnToMainMenu();
    EXPECT_EQ(Walk({Chose(&MenuChoices::internet), Cancelled()}), kMenuMain);
    EXPECT_EQ(Walk({Chose(&MenuChoices::lan), Accepted()}), kMenuLobby);
    machine.ReturnToMainMenu();
    EXPECT_EQ(Walk({Chose(&MenuChoices::lan), Cancelled()}), kMenuMain);
}

TEST_F(MenuTransitions, CancellingTheLobbyGoesBackTheWayItCame) {
    EXPECT_EQ(Walk({Chose(&MenuChoices::internet), Accepted(), Cancelled()}), kMenuServerList);
    machine.ReturnToMainMenu();
    EXPECT_EQ(Walk({Chose(&MenuChoices::lan), Accepted(), Cancelled()}), kMenuServerAddress);
}

TEST_F(MenuTransitions, TheLobbyCreatesJoinsOrReturnsToTheMainMenu) {
    EXPECT_EQ(Walk({Chose(&MenuChoices::lan), Accepted(), Accepted()}), kMenuCreateNetworkGame);
    EXPECT_EQ(machine.Step(Cancelled()), kMenuLobby) << "cancelling the network level choice";
    EXPECT_EQ(machine.Step(MenuOutcome{}), kMenuMain) << "neither accepted nor cancelled";
    MenuOutcome joined;
    joined.joinedGame = true;
    joined.cancelled = true;
    EXPECT_EQ(Walk({Chose(&MenuChoices::lan), Accepted(), joined}), kMenuRace)
        << "a joined game passes state 5 at once, before the cancelled flag is looked at";
    machine.ReturnToMainMenu();
    EXPECT_EQ(Walk({Chose(&MenuChoices::lan), Accepted(), Accepted(), Accepted()}), kMenuRace);
}

TEST_F(MenuTransitions, TheLocalGameAndTheOptionsReturnOrRace) {
    EXPECT_EQ(Walk({Chose(&MenuChoices::startGame), Accepted()}), kMenuRace);
    machine.ReturnToMainMenu();
    EXPECT_EQ(Walk({Chose(&MenuChoices::startGame), Cancelled()}), kMenuMain);
    EXPECT_EQ(Walk({Chose(&MenuChoices::options), MenuOutcome{}}), kMenuMain) << "options always return";
    EXPECT_EQ(Walk({Chose(&MenuChoices::options), Cancelled()}), kMenuMain);
}

TEST_F(MenuTransitions, AfterARaceTheConnectionDecidesBetweenLobbyAndMainMenu) {
    EXPECT_EQ(Walk({Chose(&MenuChoices::startGame), Accepted(), MenuOutcome{}}), kMenuMain);
    Walk({Chose(&MenuChoices::startGame), Accepted()});
    network.connected = true;
    EXPECT_EQ(machine.Step(MenuOutcome{}), kMenuLobby);
}

TEST_F(MenuTransitions, TheStepIsDueWhenTheCurrentScreenHasFinished) {
    EXPECT_FALSE(machine.IsDue(MenuChoices{}, true)) << "the main menu waits for a choice";
    EXPECT_TRUE(machine.IsDue(Chose(&MenuChoices::options).choices, false));
    for (const MenuOutcome& way : {Chose(&MenuChoices::startGame), Chose(&MenuChoices::options),
                                   Chose(&MenuChoices::internet), Chose(&MenuChoices::lan)}) {
        machine.ReturnToMainMenu();
        machine.Step(way);
        EXPECT_FALSE(machine.IsDue(MenuChoices{}, false)) << "state " << machine.State() << " while its screen shows";
        EXPECT_TRUE(machine.IsDue(MenuChoices{}, true)) << "state " << machine.State() << " once its screen is hidden";
    }
    machine.Step(Accepted());  // server address -> lobby
    EXPECT_TRUE(machine.IsDue(MenuChoices{}, true)) << "the lobby";
    machine.Step(Accepted());
    EXPECT_EQ(machine.State(), kMenuCreateNetworkGame);
    EXPECT_TRUE(machine.IsDue(MenuChoices{}, true));
    machine.Step(Accepted());
    EXPECT_EQ(machine.State(), kMenuRace);
    EXPECT_FALSE(machine.IsDue(Chose(&MenuChoices::exit).choices, true)) << "the race is left by its end only";
    machine.ReturnToMainMenu();
    machine.Step(Chose(&MenuChoices::exit));
    EXPECT_FALSE(machine.IsDue(Chose(&MenuChoices::exit).choices, true)) << "exit is final";
    EXPECT_EQ(machine.Step(MenuOutcome{}), kMenuExit);
}

}  // namespace
