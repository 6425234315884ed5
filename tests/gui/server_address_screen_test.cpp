#include "gui/server_address_screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/ini_file.h"
#include "menu_test_support.h"
#include "support/executable_script.h"
#include "support/report_capture.h"

namespace {

class ServerAddressScreenTest : public testing::Test {
protected:
    ServerAddressScreenTest() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&screen);
        screen.SetOwner(&root);
        screen.SetPosition(200, 150);
        root.Resize();
        screen.SetVisible(true);
    }

    // Frames until `done`, bounded in time: the hosted server starts on its own.
    bool TickUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            root.Tick();
            std::this_thread::yield();
        }
        return done();
    }

    // OK on `address`, then the server takes the user name.
    void LogIn(const std::string& address) {
        screen.Address().SetText(address);
        Click(screen.OkButton());
        LogInWithName();
    }
    void LogInWithName() {
        ASSERT_TRUE(screen.UserName().IsVisible());
        Click(screen.UserName().OkButton());
        ASSERT_NE(network.loginResult, nullptr);
        *network.loginResult = 1;
        ASSERT_TRUE(TickUntil([this] { return !screen.IsVisible(); }));
        EXPECT_TRUE(screen.IsAccepted());
    }

    std::vector<std::string> RecentLines() {
        std::vector<std::string> lines;
        for (int i = 0; i < screen.Recent().LineCount(); ++i) lines.push_back(screen.Recent().View().Line(i));
        return lines;
    }

    ReportCapture log;
    ConfigCopy config;
    RecordingMenuNetwork network;
    ExecutableScript program{"echo listening :: 40123; exec sleep 30"};
    HostedServer hosting{program.Path(), [] { return int64_t{0}; }};
    Widget root;
    ServerAddressScreen screen{network, hosting, config.Path()};
};

}  // namespace

TEST_F(ServerAddressScreenTest, HostConnectsToItsServerAsIfTheAddressWereTyped) {
    Click(screen.HostButton());
    ASSERT_TRUE(TickUntil([this] { return !network.typed.empty(); }));
    EXPECT_EQ(network.typed, std::vector<std::string>{"localhost 40123"});
    EXPECT_EQ(screen.Address().Text(), "localhost:40123");
    LogInWithName();
    EXPECT_EQ(hosting.GetState(), HostedServer::State::kListening);
    // That address dies with its server: it is neither stored nor offered again.
    IniFile settings(config.Path());
    EXPECT_NE(settings.GetString("NetSetup", "ServerAddr"), "localhost:40123");
    EXPECT_FALSE(settings.HasSection("RecentServers"));
}

TEST_F(ServerAddressScreenTest, AServerThatCannotStartShowsWhy) {
    hosting.SetProgram("/nonexistent/kav-server");
    Click(screen.HostButton());
    root.Tick();
    EXPECT_TRUE(ShowsMessage(screen, "Error",
                             "Could not start the game server /nonexistent/kav-server: No such file or directory"));
    EXPECT_TRUE(network.typed.empty());
    EXPECT_TRUE(screen.HostButton().IsEnabled()) << "another try is possible";
}

TEST_F(ServerAddressScreenTest, LeavingWithoutLoggingInStopsTheHostedServer) {
    Click(screen.HostButton());
    ASSERT_TRUE(TickUntil([this] { return screen.UserName().IsVisible(); }));
    Click(screen.UserName().CancelButton());
    ASSERT_TRUE(TickUntil([this] { return !screen.UserName().IsVisible(); }));
    EXPECT_EQ(hosting.GetState(), HostedServer::State::kListening) << "the address screen is still up";
    Click(screen.CancelButton());
    ASSERT_TRUE(TickUntil([this] { return !screen.IsVisible(); }));
    EXPECT_EQ(hosting.GetState(), HostedServer::State::kIdle);
}

TEST_F(ServerAddressScreenTest, TypedAddressesAreOfferedLatestFirstAndFillTheField) {
    LogIn("alpha:4077");
    screen.SetVisible(true);
    LogIn("beta:5000");
    screen.SetVisible(true);
    LogIn("alpha:4077");
    screen.SetVisible(true);
    EXPECT_EQ(RecentLines(), (std::vector<std::string>{"alpha:4077", "beta:5000"}));
    EXPECT_EQ(screen.Address().Text(), "alpha:4077");

    screen.Recent().SetSelectedRow(1);
    root.Tick();
    EXPECT_EQ(screen.Address().Text(), "beta:5000");
    screen.Address().SetText("");
    screen.Recent().SetSelectedRow(1);
    root.Tick();
    EXPECT_EQ(screen.Address().Text(), "beta:5000") << "the same row again";
    EXPECT_EQ(IniFile(config.Path()).GetString("RecentServers", "Server2"), "beta:5000");
}

TEST_F(ServerAddressScreenTest, ARefusedNameAndAClosedConnectionAreToldApart) {
    struct Case {
        bool connectedAfter;
        const char* message;
        bool dialogStays;
    } const cases[] = {
        {true, "Name is in use, change it, please.", true},
        {false, "The server closed the connection during log in", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        screen.Address().SetText("alpha:4077");
        Click(screen.OkButton());
        ASSERT_TRUE(screen.UserName().IsVisible());
        Click(screen.UserName().OkButton());
        ASSERT_NE(network.loginResult, nullptr);
        network.connected = c.connectedAfter;
        network.status = "The server closed the connection during log in";
        *network.loginResult = -1;
        root.Tick();
        EXPECT_TRUE(ShowsMessage(screen.UserName(), "Error", c.message));
        Click(screen.UserName().Message().OkButton());
        root.Tick();
        EXPECT_EQ(screen.UserName().IsVisible(), c.dialogStays);
        EXPECT_TRUE(screen.IsVisible()) << "the address screen waits for another try";
        if (c.dialogStays) Click(screen.UserName().CancelButton());
        root.Tick();
        ASSERT_FALSE(screen.UserName().IsVisible());
    }
}

TEST_F(ServerAddressScreenTest, ATypedAddressWhileTheServerStartsStopsIt) {
    Click(screen.HostButton());
    EXPECT_FALSE(screen.HostButton().IsEnabled());
    LogIn("alpha:4077");
    EXPECT_EQ(hosting.GetState(), HostedServer::State::kIdle);
    EXPECT_EQ(network.typed, std::vector<std::string>{"alpha 4077"});
    EXPECT_FALSE(screen.Message().IsVisible());
}

TEST_F(ServerAddressScreenTest, TheHostIsBeforeTheColonUnlessItIsABracketedIpv6Address) {
    struct Case {
        const char* text;
        const char* connect;
    } const cases[] = {
        {"alpha:4077", "alpha 4077"},
        {"alpha:port", "alpha 0"},
        {"[fd00::2]:4077", "fd00::2 4077"},
        {"[fd00::2]:x", "[fd00 0"},
    };
    for (const Case& c : cases) {
        network.typed.clear();
        screen.Address().SetText(c.text);
        Click(screen.OkButton());
        EXPECT_EQ(network.typed, std::vector<std::string>{c.connect}) << c.text;
        Click(screen.UserName().CancelButton());
        root.Tick();
    }
}
