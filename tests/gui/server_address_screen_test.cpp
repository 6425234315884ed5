#include "gui/server_address_screen.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "menu_test_support.h"
#include "platform/eventually.h"
#include "support/executable_script.h"
#include "support/report_capture.h"

namespace {

using Lines = std::vector<std::string>;

class ServerAddressScreenTest : public testing::Test {
protected:
    ServerAddressScreenTest() {
        MountScreen(root, screen, 200, 150, ServerAddressScreen::kWidth, ServerAddressScreen::kHeight);
        screen.SetVisible(true);
    }

    // Frames until `done`: the hosted server starts in its own time.
    bool TickUntil(const std::function<bool()>& done) {
        return Eventually([&] {
            root.Tick();
            return done();
        });
    }

    // OK on `address` (none: what the field holds), then the server takes the user name.
    void LogIn(const char* address = nullptr) {
        if (address != nullptr) {
            screen.Address().SetText(address);
            Click(screen.OkButton());
        }
        Click(screen.UserName().OkButton());
        ASSERT_NE(network.loginResult, nullptr);
        *network.loginResult = 1;
        ASSERT_TRUE(TickUntil([this] { return !screen.IsVisible(); }));
        EXPECT_TRUE(screen.IsAccepted());
        screen.SetVisible(true);
    }

    ReportCapture log;
    ConfigCopy config;
    RecordingMenuNetwork network;
    ExecutableScript program{"echo listening :: 40123; exec sleep 30"};
    HostedServer hosting{program.Path(), [] { return int64_t{0}; }};
    Widget root;
    ServerAddressScreen screen{network, hosting, config.Path()};
};

TEST_F(ServerAddressScreenTest, HostConnectsToItsServerAsIfTheAddressWereTyped) {
    Click(screen.HostButton());
    ASSERT_TRUE(TickUntil([this] { return !network.typed.empty(); }));
    EXPECT_EQ(network.typed, Lines{"localhost 40123"});
    EXPECT_EQ(screen.Address().Text(), "localhost:40123");
    LogIn();
    // That address dies with its server: it is neither stored nor offered again.
    IniFile settings(config.Path());
    EXPECT_NE(settings.GetString("NetSetup", "ServerAddr"), "localhost:40123");
    EXPECT_FALSE(settings.HasSection("RecentServers"));
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
    for (const char* address : {"alpha:4077", "beta:5000", "alpha:4077"}) LogIn(address);
    EXPECT_EQ(LinesOf(screen.Recent().View()), (Lines{"alpha:4077", "beta:5000"}));
    EXPECT_EQ(screen.Address().Text(), "alpha:4077");

    // Choosing the same row again fills an emptied field all the same.
    for (const char* before : {"alpha:4077", ""}) {
        SCOPED_TRACE(before);
        screen.Address().SetText(before);
        screen.Recent().SetSelectedRow(1);
        root.Tick();
        EXPECT_EQ(screen.Address().Text(), "beta:5000");
    }
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
        Click(screen.UserName().OkButton());
        ASSERT_NE(network.loginResult, nullptr);
        network.connected = c.connectedAfter;
        network.status = "The server closed the connection during log in";
        *network.loginResult = -1;
        root.Tick();
        EXPECT_TRUE(ShowsMessage(screen.UserName(), "Error", c.message));
        ClickThenTick(screen.UserName().Message().OkButton());
        EXPECT_EQ(screen.UserName().IsVisible(), c.dialogStays);
        EXPECT_TRUE(screen.IsVisible()) << "the address screen waits for another try";
        if (c.dialogStays) ClickThenTick(screen.UserName().CancelButton());
        ASSERT_FALSE(screen.UserName().IsVisible());
    }
}

TEST_F(ServerAddressScreenTest, ATypedAddressWhileTheServerStartsStopsIt) {
    Click(screen.HostButton());
    EXPECT_FALSE(screen.HostButton().IsEnabled());
    LogIn("alpha:4077");
    EXPECT_EQ(hosting.GetState(), HostedServer::State::kIdle);
    EXPECT_EQ(network.typed, Lines{"alpha 4077"});
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
        EXPECT_EQ(network.typed, Lines{c.connect}) << c.text;
        ClickThenTick(screen.UserName().CancelButton());
    }
}

}  // namespace
