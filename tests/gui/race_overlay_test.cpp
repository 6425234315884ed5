#include "gui/race_overlay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/level_test_support.h"

namespace {

class RaceOverlayTest : public testing::Test {
protected:
    RaceOverlayTest() {
        root.SetSize(640, 480);
        root.SetPosition(0, 0);
        overlay.Layout(640, 480);
        root.Draw();
    }

    int64_t now = 0;
    QuietServices services;
    Widget root;
    GameManager game{services.Lend(), [this] { return now; }};
    RaceOverlay overlay{root, game, [this] { return now; }};
};

TEST_F(RaceOverlayTest, WhilePlayingTheListScrollsOneLineEvery3000Ms) {
    for (int i = 0; i < 40; ++i) overlay.AddLine("line " + std::to_string(i));
    game.SetState(GameState::kPlaying);
    overlay.Tick();
    now += 3001;
    overlay.Tick();
    EXPECT_EQ(overlay.MessageList().View().FirstVisibleRow(), 1);
    now += 1000;
    overlay.Tick();
    EXPECT_EQ(overlay.MessageList().View().FirstVisibleRow(), 1) << "the clock was reset by the last scroll";
}

TEST_F(RaceOverlayTest, ALongRaceKeepsAtMostAThousandLinesPlusWhatArrivesBetweenScrolls) {
    game.SetState(GameState::kPlaying);
    for (int step = 0; step < 60; ++step) {
        for (int i = 0; i < 40; ++i) overlay.AddLine("hit");
        now += 3001;
        overlay.Tick();
        EXPECT_LE(overlay.MessageList().LineCount(), RaceOverlay::kMaxMessageLines + 40)
            << "after scroll step " << step;
    }
    EXPECT_GT(overlay.MessageList().LineCount(), 600) << "only a third is dropped at a time";
}

TEST_F(RaceOverlayTest, EnterSendsTheTypedChatLineToTheListAndClosesIt) {
    game.SetState(GameState::kPlaying);
    overlay.ShowChat(true);
    EXPECT_EQ(root.FocusedChild(), &overlay.ChatInput());
    overlay.ChatInput().SetText("good race");
    EXPECT_TRUE(overlay.SubmitChat());
    EXPECT_EQ(overlay.MessageList().View().Line(overlay.MessageList().LineCount() - 1), "good race");
    EXPECT_FALSE(overlay.ChatShown()) << "during play Enter closes the chat line";
    EXPECT_FALSE(overlay.SubmitChat()) << "a hidden chat line leaves Enter to the game";
}

TEST_F(RaceOverlayTest, ANetworkRaceWaitsForASecondPlayerBeforeItsStartButtonWorks) {
    bool allowed = false;
    std::vector<std::string> sent;
    overlay.SetNetworkHooks([&] { return allowed; }, [&](const std::string& text) { sent.push_back(text); });
    game.SetNetworkGame(true);
    game.SetState(GameState::kLoaded);
    overlay.Tick();
    EXPECT_TRUE(overlay.StartButton().IsVisible());
    EXPECT_EQ(overlay.StartButton().Caption().Text(), "Waiting");
    EXPECT_FALSE(overlay.StartButton().IsEnabled());
    EXPECT_EQ(game.GetState(), GameState::kLoaded) << "a network race waits for the server";

    allowed = true;
    overlay.Tick();
    EXPECT_EQ(overlay.StartButton().Caption().Text(), "Start Game");
    EXPECT_TRUE(overlay.StartButton().IsEnabled());

    overlay.ChatInput().SetText("hello");
    overlay.SubmitChat();
    EXPECT_EQ(sent, std::vector<std::string>({"hello"})) << "chat goes to the server, which echoes it";
    EXPECT_EQ(overlay.MessageList().LineCount(), 0);
}

}  // namespace
