#include "gui/choose_server_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu_test_support.h"

namespace {

ServerRow Row(const std::string& name, uint16_t port, const std::string& version = "0.9b") {
    ServerRow row;
    row.entry.name = name;
    row.entry.host = "127.0.0.1";
    row.entry.port = port;
    row.entry.version = version;
    row.entry.description = "races";
    row.entry.status = "0/1";
    row.compatible = version == "0.9b";
    return row;
}

class ChooseServer : public testing::Test {
protected:
    ChooseServer() {
        MountScreen(root, screen, 90, 90, ChooseServerScreen::kWidth, ChooseServerScreen::kHeight);
        Reshow(screen);
        root.Tick();
    }

    std::vector<std::string> Shown() { return LinesOf(screen.ServerList().View()); }

    void Connect(int row) {
        screen.ServerList().SetSelectedRow(row);
        ClickThenTick(screen.OkButton());
    }

    ConfigCopy config;
    RecordingMenuNetwork network;
    Widget root;
    ChooseServerScreen screen{network, config.Path()};
};

TEST_F(ChooseServer, RowsStayWhileARefreshRunsAndTheNewListReplacesThem) {
    screen.ShowServers({Row("north", 1), Row("south", 2)}, false);
    screen.ShowPing("127.0.0.1", 1, 12);
    screen.ServerList().SetSelectedRow(1);
    ClickThenTick(screen.RefreshButton());
    EXPECT_EQ(network.refreshes, 2) << "shown once, refreshed once";
    EXPECT_EQ(Shown(), (std::vector<std::string>{"north  races 0/1  12 ms", "south  races 0/1  ..."}));
    EXPECT_EQ(screen.Status().Text(), "Refreshing...");

    screen.ShowServers({Row("east", 3), Row("south", 2), Row("north", 1)}, false);
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"east  races 0/1  ...", "south  races 0/1  ...", "north  races 0/1  12 ms"}));
    EXPECT_EQ(screen.ServerList().SelectedRow(), 1) << "the chosen server stays chosen";
    EXPECT_EQ(screen.Status().Text(), "3 servers");

    screen.ShowListFailed("Could not get list of the servers");
    EXPECT_EQ(Shown().size(), 3u) << "a failed refresh keeps the rows";
    EXPECT_EQ(screen.Status().Text(), "Could not get list of the servers");
}

TEST_F(ChooseServer, PingsFillInAndSortTheRowsOnRequest) {
    screen.ShowServers({Row("slow", 1), Row("gone", 2), Row("newer", 3, "1.0"), Row("quick", 4)}, false);
    screen.ShowPing("127.0.0.1", 1, 300);
    screen.ShowPing("127.0.0.1", 2, -1);
    screen.ShowPing("127.0.0.1", 4, 9);
    EXPECT_EQ(Shown()[1], "gone  races 0/1  -");
    ClickThenTick(screen.SortButton());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"quick  races 0/1  9 ms", "slow  races 0/1  300 ms",
                                                 "gone  races 0/1  -", "newer  races 0/1  version 1.0"}));
    EXPECT_TRUE(screen.ServerList().View().RowDimmed(3));
    EXPECT_FALSE(screen.ServerList().View().RowDimmed(0));
    screen.ShowPing("127.0.0.1", 1, 2);
    EXPECT_EQ(Shown()[0], "slow  races 0/1  2 ms") << "the order follows new figures";
}

TEST_F(ChooseServer, TheConnectButtonShowsItsWholeCaption) {
    const Label& caption = screen.OkButton().Caption();
    EXPECT_EQ(caption.Text(), "Connect");
    EXPECT_EQ(caption.VisibleCharacters(), static_cast<int>(caption.Text().size()));
}

TEST_F(ChooseServer, ACachedListIsMarkedSo) {
    screen.ShowServers({Row("north", 1)}, true);
    EXPECT_EQ(screen.Status().Text(), "(cached) Directory unreachable");
    EXPECT_EQ(Shown().size(), 1u);
}

// A server that answers is joined in the e2e server list suite.
TEST_F(ChooseServer, OnlyAChosenServerOfOurVersionIsTriedAndAFailureIsShown) {
    ClickThenTick(screen.OkButton());
    EXPECT_TRUE(ShowsMessage(screen, "ERROR", "No servers selected"));
    screen.Message().SetVisible(false);
    screen.ShowServers({Row("newer", 3, "1.0"), Row("north", 4077)}, false);
    Connect(0);
    EXPECT_TRUE(ShowsMessage(screen, "Error", "This server runs version 1.0; this game plays version 0.9b."));
    EXPECT_TRUE(network.typed.empty());
    screen.Message().SetVisible(false);
    network.answers = false;
    Connect(1);
    EXPECT_TRUE(ShowsMessage(screen, "Error", "Could not connect to the server"));
    EXPECT_EQ(network.typed, (std::vector<std::string>{"127.0.0.1 4077"}));
    EXPECT_FALSE(screen.UserName().IsVisible());
}

}  // namespace
