#include "gui/main_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "game/level_test_support.h"
#include "menu_test_support.h"
#include "platform/eventually.h"
#include "support/executable_script.h"

namespace {

// The main menu in a 640 x 480 root with the game-server client `Network`.
template <typename Network>
class MenuFlow : public testing::Test {
protected:
    MenuFlow() {
        MountScreen(root, menu, (640 - MainMenu::kWidth) / 2, (480 - MainMenu::kHeight) / 2, MainMenu::kWidth,
                    MainMenu::kHeight);
        menu.PrepareForShowing();
    }

    // A screen over the menu closes on one tick; the menu sees it closed on the next.
    void Ticks(int count = 2) {
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

// Exit is chosen at the end of the e2e race and pad suites, which see the game end by it.
TEST_F(MainMenuFlow, EscapeIsIgnoredAndStartGameLeadsThroughTheLevelChoiceToTheRace) {
    ASSERT_TRUE(menu.LoadBackground());
    ReleaseOn(menu, kKeyEscape);
    root.Tick();
    EXPECT_TRUE(menu.IsVisible()) << "Escape does not close the main menu";
    ClickThenTick(menu.StartGameButton());
    Click(menu.ChooseLevel().OkButton());
    Ticks();
    EXPECT_EQ(menu.State(), kMenuRace);
    EXPECT_FALSE(menu.IsVisible()) << "the race shows without the menu";
    EXPECT_TRUE(menu.Background().Models().Objects().empty()) << "the unseen background is freed during the race";

    menu.PrepareForShowing();
    EXPECT_FALSE(menu.Background().Models().Objects().empty()) << "and read again when the menu returns";
    ClickThenTick(menu.StartGameButton());
    EXPECT_EQ(menu.State(), kMenuLocalGame) << "a second race can be started";
}

class NetworkMenuFlow : public MenuFlow<RecordingMenuNetwork> {
protected:
    // Through the typed address and the user name into the lobby.
    void LogInTyped(const std::string& address) {
        ClickThenTick(menu.LanButton());
        menu.ServerAddress().Address().SetText(address);
        Click(menu.ServerAddress().OkButton());
        menu.ServerAddress().UserName().Name().SetText("ann");
        Click(menu.ServerAddress().UserName().OkButton());
        ASSERT_NE(network.loginResult, nullptr);
        *network.loginResult = 1;
        Ticks(4);
        ASSERT_EQ(menu.State(), kMenuLobby);
    }
};

TEST_F(NetworkMenuFlow, ATypedAddressNeedsAColonAndLeadsToTheLobbyWhereEnterSendsTheChatLine) {
    ClickThenTick(menu.LanButton());
    EXPECT_EQ(menu.State(), kMenuServerAddress);
    EXPECT_EQ(network.starts, 1);
    menu.ServerAddress().Address().SetText("localhost");
    Click(menu.ServerAddress().OkButton());
    EXPECT_TRUE(
        ShowsMessage(menu.ServerAddress(), "Error", "You should use colon to separate address from the port number"));
    EXPECT_EQ(menu.ServerAddress().Address().Text(), "localhost");
    Click(menu.ServerAddress().Message().OkButton());
    ReleaseOn(menu, kKeyEscape);
    Ticks(3);
    EXPECT_EQ(menu.State(), kMenuMain);

    LogInTyped("127.0.0.1:4077");
    EXPECT_EQ(network.typed.back(), "127.0.0.1 4077");
    EXPECT_EQ(network.loginName, "ann");
    EXPECT_TRUE(menu.InServer().IsVisible());
    const IniFile settings(config.Path());
    EXPECT_EQ(settings.GetString("NetSetup", "ServerAddr"), "127.0.0.1:4077");
    EXPECT_EQ(settings.GetString("NetSetup", "ServerUserName"), "ann");

    Click(menu.InServer().ChatInput());
    menu.InServer().ChatInput().SetText("hello");
    ReleaseOn(menu, kKeyEnter);
    ReleaseOn(menu, kKeyEnter);
    EXPECT_EQ(network.chat, std::vector<std::string>({"hello"})) << "Enter sends the chat line, an empty one nothing";
    EXPECT_EQ(menu.InServer().ChatInput().Text(), "");
}

TEST_F(NetworkMenuFlow, WithoutTheNetworkItsChoicesStayShut) {
    menu.SetNetworkAvailable(false);
    for (SoundButton* button : {&menu.LanButton(), &menu.InternetButton()}) {
        EXPECT_FALSE(button->IsEnabled());
        ClickThenTick(*button);
        EXPECT_EQ(menu.State(), kMenuMain);
    }
    EXPECT_EQ(network.starts, 0) << "the client is never started";
}

TEST_F(NetworkMenuFlow, ARefusedJoinIsShownAndLeavingTheLobbyReturnsTheWayItCame) {
    LogInTyped("127.0.0.1:4077");
    ClickThenTick(menu.InServer().JoinButton());
    menu.InServer().PlayerNames().Player2Name().SetText("");
    Click(menu.InServer().PlayerNames().OkButton());
    ASSERT_NE(network.joinResult, nullptr);
    EXPECT_EQ(network.joinNames, std::vector<std::string>({"Player1"}));
    *network.joinResult = -1;
    Ticks(3);
    EXPECT_TRUE(ShowsMessage(menu.InServer(), "Error", "Could not join game."));
    Click(menu.InServer().Message().OkButton());
    Ticks(3);

    ReleaseOn(menu, kKeyEscape);
    Ticks(3);
    EXPECT_FALSE(network.connected) << "leaving the lobby leaves the server";
    EXPECT_EQ(menu.State(), kMenuServerAddress);
}

TEST_F(NetworkMenuFlow, AHostedServerStopsWhenARaceEndsWithItsConnectionLost) {
    ExecutableScript program("echo listening :: 40123; exec sleep 30");
    menu.Hosting().SetProgram(program.Path());
    for (const bool lost : {true, false}) {
        SCOPED_TRACE(lost ? "connection lost" : "still connected");
        menu.Hosting().Start();
        ASSERT_TRUE(Eventually([this] { return menu.Hosting().Poll() == HostedServer::State::kListening; }));
        LogInTyped(menu.Hosting().LocalAddress());
        ClickThenTick(menu.InServer().JoinButton());
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
