#include "gui/main_menu.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/ini_file.h"

#include "game/level_test_support.h"
#include "menu_test_support.h"
#include "support/executable_script.h"

namespace {

// The main menu in a 640 x 480 root with the game-server client `Network`.
template <typename Network>
class MenuFlow : public testing::Test {
protected:
    MenuFlow() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&menu);
        menu.SetOwner(&root);
        menu.SetPosition((640 - MainMenu::kWidth) / 2, (480 - MainMenu::kHeight) / 2);
        root.Resize();
        menu.PrepareForShowing();
    }

    void Choose(Button& button) {
        Click(button);
        root.Tick();
    }
    // A screen over the menu closes on one tick; the menu sees it closed on the next.
    void FinishScreen() {
        root.Tick();
        root.Tick();
    }
    void Ticks(int count = 3) {
        for (int i = 0; i < count; ++i) root.Tick();
    }

    ConfigCopy config;
    FakeMenuGame game;
    Network network;
    Widget root;
    QuietServices services;
    MainMenu menu{game, network, config.Path(), services.Lend()};
};

using MainMenuFlow = MenuFlow<NoMenuNetwork>;

TEST_F(MainMenuFlow, StartGameLeadsThroughTheLevelChoiceToTheRaceOrBack) {
    ASSERT_TRUE(menu.LoadBackground());
    Choose(menu.StartGameButton());
    ReleaseOn(menu, kKeyEscape);
    FinishScreen();
    EXPECT_EQ(menu.State(), kMenuMain) << "a cancelled level choice returns";

    Choose(menu.StartGameButton());
    Click(menu.ChooseLevel().OkButton());
    FinishScreen();
    EXPECT_EQ(menu.State(), kMenuRace);
    EXPECT_FALSE(menu.IsVisible()) << "the race shows without the menu";
    EXPECT_TRUE(menu.Background().Models().Objects().empty()) << "the unseen background is freed during the race";

    menu.PrepareForShowing();
    EXPECT_FALSE(menu.Background().Models().Objects().empty()) << "and read again when the menu returns";
    Choose(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "a second race can be started";
}

TEST_F(MainMenuFlow, ExitEndsTheApplicationAndEscapeIsIgnored) {
    ReleaseOn(menu, kKeyEscape);
    root.Tick();
    EXPECT_TRUE(menu.IsVisible()) << "Escape does not close the main menu";
    Click(menu.ExitButton());
    root.Tick();
    EXPECT_TRUE(menu.ExitRequested());
}

class NetworkMenuFlow : public MenuFlow<RecordingMenuNetwork> {
protected:
    // Through the typed address and the user name into the lobby.
    void LogInTyped(const std::string& address) {
        Choose(menu.LanButton());
        ASSERT_TRUE(menu.ServerAddress().IsVisible());
        menu.ServerAddress().Address().SetText(address);
        Click(menu.ServerAddress().OkButton());
        ASSERT_TRUE(menu.ServerAddress().UserName().IsVisible());
        menu.ServerAddress().UserName().Name().SetText("ann");
        Click(menu.ServerAddress().UserName().OkButton());
        ASSERT_NE(network.loginResult, nullptr);
        *network.loginResult = 1;
        Ticks(4);
        ASSERT_EQ(menu.State(), kMenuLobby);
    }
};

TEST_F(NetworkMenuFlow, ATypedAddressNeedsAColonAndLeadsToTheLobby) {
    Choose(menu.LanButton());
    EXPECT_EQ(menu.State(), kMenuServerAddress);
    EXPECT_EQ(network.starts, 1);
    menu.ServerAddress().Address().SetText("localhost");
    Click(menu.ServerAddress().OkButton());
    EXPECT_TRUE(
        ShowsMessage(menu.ServerAddress(), "Error", "You should use colon to separate address from the port number"));
    EXPECT_EQ(menu.ServerAddress().Address().Text(), "localhost");
    Click(menu.ServerAddress().Message().OkButton());
    ReleaseOn(menu, kKeyEscape);
    Ticks();
    EXPECT_EQ(menu.State(), kMenuMain);

    LogInTyped("127.0.0.1:4077");
    EXPECT_EQ(network.typed.back(), "127.0.0.1 4077");
    EXPECT_EQ(network.loginName, "ann");
    EXPECT_TRUE(menu.InServer().IsVisible());
    EXPECT_EQ(IniFile(config.Path()).GetString("NetSetup", "ServerAddr"), "127.0.0.1:4077");
    EXPECT_EQ(IniFile(config.Path()).GetString("NetSetup", "ServerUserName"), "ann");
}

TEST_F(NetworkMenuFlow, WithoutTheNetworkItsChoicesStayShut) {
    menu.SetNetworkAvailable(false);
    for (SoundButton* button : {&menu.LanButton(), &menu.InternetButton()}) {
        EXPECT_FALSE(button->IsEnabled());
        Choose(*button);
        EXPECT_EQ(menu.State(), kMenuMain);
    }
    EXPECT_EQ(network.starts, 0) << "the client is never started";
    menu.SetNetworkAvailable(true);
    Choose(menu.LanButton());
    EXPECT_EQ(menu.State(), kMenuServerAddress);
}

TEST_F(NetworkMenuFlow, InternetListsServersAndNeedsOneChosen) {
    Choose(menu.InternetButton());
    EXPECT_EQ(menu.State(), kMenuServerList);
    EXPECT_GE(network.refreshes, 1);
    Click(menu.ChooseServer().OkButton());
    EXPECT_TRUE(ShowsMessage(menu.ChooseServer(), "ERROR", "No servers selected"));
}

TEST_F(NetworkMenuFlow, LeavingTheLobbyReturnsTheWayItCameAndARefusedJoinIsShown) {
    LogInTyped("127.0.0.1:4077");
    Choose(menu.InServer().JoinButton());
    ASSERT_TRUE(menu.InServer().PlayerNames().IsVisible());
    menu.InServer().PlayerNames().Player2Name().SetText("");
    Click(menu.InServer().PlayerNames().OkButton());
    ASSERT_NE(network.joinResult, nullptr);
    EXPECT_EQ(network.joinNames, std::vector<std::string>({"Player1"}));
    *network.joinResult = -1;
    Ticks();
    EXPECT_TRUE(ShowsMessage(menu.InServer(), "Error", "Could not join game."));
    Click(menu.InServer().Message().OkButton());
    Ticks();

    ReleaseOn(menu, kKeyEscape);
    Ticks();
    EXPECT_FALSE(network.connected) << "leaving the lobby leaves the server";
    EXPECT_EQ(menu.State(), kMenuServerAddress);
}

TEST_F(NetworkMenuFlow, EnterInTheLobbysChatLineSendsIt) {
    LogInTyped("127.0.0.1:4077");
    Click(menu.InServer().ChatInput());
    menu.InServer().ChatInput().SetText("hello");
    ReleaseOn(menu, kKeyEnter);
    ReleaseOn(menu, kKeyEnter);
    EXPECT_EQ(network.chat, std::vector<std::string>({"hello"})) << "an empty line is not sent";
    EXPECT_EQ(menu.InServer().ChatInput().Text(), "");
}

TEST_F(NetworkMenuFlow, AHostedServerStopsWhenARaceEndsWithItsConnectionLost) {
    ExecutableScript program("echo listening :: 40123; exec sleep 30");
    menu.Hosting().SetProgram(program.Path());
    for (const bool lost : {true, false}) {
        SCOPED_TRACE(lost ? "connection lost" : "still connected");
        menu.Hosting().Start();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (menu.Hosting().Poll() == HostedServer::State::kStarting && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        ASSERT_EQ(menu.Hosting().GetState(), HostedServer::State::kListening);
        LogInTyped(menu.Hosting().LocalAddress());
        Choose(menu.InServer().JoinButton());
        Click(menu.InServer().PlayerNames().OkButton());
        *network.joinResult = 1;
        Ticks(4);
        ASSERT_EQ(menu.State(), kMenuRace);

        network.connected = !lost;
        menu.PrepareForShowing();
        EXPECT_EQ(menu.State(), lost ? kMenuMain : kMenuLobby);
        EXPECT_EQ(menu.Hosting().GetState(), lost ? HostedServer::State::kIdle : HostedServer::State::kListening);
    }
    menu.Hosting().Stop();
}

}  // namespace
