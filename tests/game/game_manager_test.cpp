#include "game/game_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "game/game_test_support.h"
#include "game/level_test_support.h"
#include "game/player.h"
#include "game/player_manager.h"
#include "platform/window_root.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSpeedUp = 1;
constexpr int kFire = 5;

// A game on copies of the shipped levels, with a clock the test moves.
class GameManagerTest : public ::testing::Test {
protected:
    GameManagerTest() {
        crossroads = CopyShippedLevel("crossroads", data.Path());
        game.LoadLevelList(data.Path());
        game.SetMessageLines(&messages);
    }
    ~GameManagerTest() override { game.SetMessageLines(nullptr); }

    bool Load(const std::string& name, int hits = 5) {
        EXPECT_TRUE(game.SelectLevelByName(name)) << name << " is in the catalogue";
        game.SetHitLimit(hits);
        return game.LoadLevel();
    }
    void Step(int64_t ms) {
        now += ms;
        game.GameStep();
    }
    void Start() {
        game.SetState(GameState::kStarting);
        Step(20);
        ASSERT_EQ(game.GetState(), GameState::kPlaying);
    }
    void Key(int command, bool pressed) { game.OnAction(GameManager::kShipControlAction, command, 0, pressed); }
    Player& PlayerNumber(int id) { return *game.Players().FindPlayer(id); }
    void EditDescription(const std::vector<std::vector<std::string>>& edits) {
        IniFile ini(crossroads + "/crossroads.ini");
        ASSERT_TRUE(ini.Load());
        for (const auto& edit : edits) ini.SetValue(edit[0], edit[1], edit[2], false);
        ASSERT_TRUE(ini.Save());
    }

    QuietServices services;
    ReportCapture capture;
    TempDir data;
    std::string crossroads;
    int64_t now = 1000;
    GameManager game{services.Lend(), [this] { return now; }};
    RecordedLines messages;
};

TEST_F(GameManagerTest, ALoadedLevelWaitsWithHelpLinesThenARaceIsWonAndRunsOutForThreeSecondsOfGameTime) {
    KeyCodes codes = DefaultKeyCodes();
    codes[4] = kKeySpace;  // player 1 fires with Space
    game.SetHelpKeys(codes);
    ASSERT_TRUE(Load("Crossroads", 1));
    const std::vector<std::string>& lines = messages.lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Player 1 keys: Up,Down,Left,Right - move; Space - fire."),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Player 2 keys: S,E,F,D - move; Q - fire."), lines.end());
    EXPECT_EQ(game.Players().MaxHits(), 1) << "the hit limit goes to the players";
    TriggerJournal journal;
    journal.Bind(game.StartTrigger(), "start");
    journal.Bind(game.FinishTrigger(), "finish");
    game.AddParticipant(0, "Red", true);
    game.AddParticipant(1, "Green", true);
    Key(kSpeedUp, true);
    for (int step = 0; step < 5; ++step) Step(20);
    EXPECT_EQ(game.GetState(), GameState::kLoaded) << "a loaded level waits for its start";
    EXPECT_EQ(PlayerNumber(0).ship.acceleration, 0.0f) << "a loaded level that has not started ignores ship keys";
    Start();
    EXPECT_EQ(journal.Count("start start"), 1) << "the start trigger fires when the race begins";

    // Red speeds along the bottom lane and fires; the bullet runs ahead of it, round
    // the corner and up to Green, who waits at the far corner.
    Key(kSpeedUp, true);
    Step(20);
    Key(kSpeedUp, false);
    Key(kFire, true);
    Key(kFire, false);
    for (int64_t spent = 0; game.GetState() == GameState::kPlaying && spent < 60000; spent += 20) Step(20);
    ASSERT_EQ(game.GetState(), GameState::kFinishing) << "the hit that reaches the limit ends the race";
    EXPECT_EQ(journal.Count("finish start"), 1);

    Step(1500);
    Key(kFire, true);
    EXPECT_TRUE(PlayerNumber(0).bullet_loaded) << "no controls while the race runs out";
    Step(1500);
    EXPECT_EQ(game.GetState(), GameState::kFinishing) << "exactly 3000 ms is not yet over";
    Step(20);
    EXPECT_EQ(game.GetState(), GameState::kFinished);
}

TEST_F(GameManagerTest, ReloadDuringARacePutsTheShipsBackAndKeepsThePlayers) {
    ASSERT_TRUE(Load("Crossroads"));
    game.AddParticipant(0, "Red", true);
    game.AddParticipant(1, "Green", true);
    const Vec3 start = PlayerNumber(0).ship.position;
    Start();
    Key(kSpeedUp, true);
    for (int step = 0; step < 50; ++step) Step(20);
    ASSERT_NE(PlayerNumber(0).ship.position.x, start.x);

    ASSERT_TRUE(game.LoadLevel());
    EXPECT_EQ(game.GetState(), GameState::kLoaded);
    EXPECT_EQ(PlayerNumber(0).ship.position.x, start.x);
    EXPECT_EQ(game.Players().ScoreText(), "Red made hits:0, got hits:0\nGreen made hits:0, got hits:0\n")
        << "the participants stay in the game";
    game.RemoveParticipant(1);
    ASSERT_TRUE(game.LoadLevel());
    EXPECT_FALSE(PlayerNumber(1).active) << "a participant who left is not brought back by a reload";
}

TEST_F(GameManagerTest, FaultyDescriptionsAreReportedAndLeaveNoRace) {
    struct Case {
        std::vector<std::vector<std::string>> edits;
        GameState state;
        const char* logged;
    } cases[] = {
        {{{"path", "point3_nb", "-1,-1"}}, GameState::kNoLevel, "Bad neigbourhood for point3_nb"},
        {{{"ship0", "ship_loc", "-5,-6,0"}, {"ship1", "ship_loc", "5,6,0"}},
         GameState::kLoading,
         "Could not position players."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        std::filesystem::remove_all(crossroads);
        CopyShippedLevel("crossroads", data.Path());
        EditDescription(c.edits);
        capture.Clear();
        EXPECT_FALSE(Load("Crossroads"));
        EXPECT_TRUE(capture.Contains(c.logged)) << capture.Joined();
        EXPECT_EQ(game.GetState(), c.state);
        EXPECT_EQ(std::filesystem::exists(crossroads + "/saved.ini.all"), c.state != GameState::kNoLevel)
            << "a level that fails to build writes nothing";
    }
}

}  // namespace
