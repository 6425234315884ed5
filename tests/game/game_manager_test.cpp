#include "game/game_manager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ini_file.h"
#include "game/game_test_support.h"
#include "game/level_test_support.h"
#include "game/player.h"
#include "game/player_manager.h"
#include "scene/model_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSpeedUp = 1;
constexpr int kFire = 5;

class RecordedLines : public MessageLines {
public:
    void AddLine(const std::string& line) override { lines.push_back(line); }
    void ClearLines() override { lines.clear(); }
    std::vector<std::string> lines;
};

TEST(GameManagerLifecycle, LogsItsMembersInOrderAndStartsWithoutALevel) {
    HeadlessTextures textures;
    ReportCapture capture;
    {
        GameManager game([] { return int64_t{0}; }, QuietEffects());
        EXPECT_EQ(game.GetState(), kNoLevel);
    }
    const std::vector<std::string> expected = {
        "drw   Draw manager is initialized",   "plr   Player manager is initialized",
        "scr   Script manager is initialized", "gme   Game manager is initialized",
        "gme   Game manager is destroyed",     "scr   Script manager is destroyed",
        "plr   Player manager is destroyed",   "drw   Draw manager is destroyed"};
    std::vector<std::string> lifecycle;
    for (const std::string& line : capture.Lines())
        if (line.find(" is initialized") != std::string::npos || line.find(" is destroyed") != std::string::npos)
            lifecycle.push_back(line);
    EXPECT_EQ(lifecycle, expected) << "members are built in order and released in reverse";
}

// A game on copies of the shipped levels, with a clock the test moves.
class GameManagerTest : public ::testing::Test {
protected:
    GameManagerTest() {
        crossroads = CopyShippedLevel("crossroads", data.Path());
        CopyShippedLevel("canyon", data.Path());
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
    // Steps 20 ms at a time until the state leaves `state` or `limitMs` pass.
    void StepWhile(int state, int64_t limitMs) {
        for (int64_t spent = 0; game.GetState() == state && spent < limitMs; spent += 20) Step(20);
    }
    Player& PlayerNumber(int id) { return *game.Players().FindPlayer(id); }
    bool HasMessage(const std::string& line) const {
        for (const std::string& message : messages.lines)
            if (message == line) return true;
        return false;
    }

    HeadlessTextures textures;
    ReportCapture capture;
    TempDir data;
    std::string crossroads;
    int64_t now = 1000;
    GameManager game{[this] { return now; }, QuietEffects()};
    RecordedLines messages;
};

TEST_F(GameManagerTest, LoadedLevelWaitsWithHelpLinesAndItsBackground) {
    ASSERT_TRUE(Load("Crossroads", 7));
    EXPECT_EQ(game.GetState(), kLoaded);
    EXPECT_EQ(game.CurrentLevel().directory, crossroads);
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"ESC - menu; TAB - score.", "F1,F2 change camera view; ~ - chat;",
                                                        "Player 1 keys: Arrows - move; ENTER - fire.",
                                                        "Player 2 keys: S,E,F,D - move; Q - fire.",
                                                        "Game Level:Crossroads", "Max hits:7"}));
    EXPECT_FLOAT_EQ(game.BackgroundColour().r, 0.02f);
    EXPECT_FLOAT_EQ(game.BackgroundColour().g, 0.03f);
    EXPECT_FLOAT_EQ(game.BackgroundColour().b, 0.08f);
    EXPECT_EQ(game.Players().MaxHits(), 7) << "the hit limit goes to the players";
    EXPECT_TRUE(capture.Contains("Loading: Crossroads"));
    for (int step = 0; step < 5; ++step) Step(20);
    EXPECT_EQ(game.GetState(), kLoaded) << "a loaded level waits for its start";
}

TEST_F(GameManagerTest, EveryLoadWritesTheBuiltLevelIntoItsDirectory) {
    const std::string saved = crossroads + "/saved.ini.all";
    {
        TempDir stale;
        stale.Write("old", "[path]\npoint0=9,9,9\n");
        std::filesystem::copy_file(stale.File("old"), saved);
    }
    ASSERT_TRUE(Load("Crossroads"));
    IniFile written(saved);
    ASSERT_TRUE(written.Load());
    EXPECT_EQ(written.GetString("path", "point0"), "-6,-6,0") << "an older file is replaced";
    EXPECT_EQ(written.GetString("path", "point0_nb"), "5,1,-1,-1");
    EXPECT_EQ(written.GetString("path", "point20"), "6,6,0");
    EXPECT_TRUE(written.HasSection("camera3"));
    EXPECT_TRUE(written.HasSection("light2"));

    ASSERT_TRUE(Load("Canyon Run")) << "a scene level";
    IniFile fromScene(data.Path() + "/canyon/saved.ini.all");
    ASSERT_TRUE(fromScene.Load()) << "a scene level is written out as a described one";
    EXPECT_TRUE(fromScene.HasKey("path", "point0_nb"));
    EXPECT_TRUE(fromScene.HasSection("camera0"));
}

TEST_F(GameManagerTest, SceneLevelLoadsBothShipsOnThePath) {
    ASSERT_TRUE(Load("Canyon Run"));
    EXPECT_EQ(game.GetState(), kLoaded);
    ASSERT_EQ(game.Players().PlayerCount(), 2u);
    EXPECT_TRUE(PlayerNumber(0).placed);
    EXPECT_TRUE(PlayerNumber(1).placed);
    EXPECT_FLOAT_EQ(game.BackgroundColour().r, 0.38f);
}

TEST(GameManagerShippedLevels, EveryShippedLevelLoadsWithTwoShipsOnThePath) {
    HeadlessTextures textures;
    ReportCapture capture;
    TempDir data;
    for (const char* level : {"crossroads", "twin_orbit", "canyon", "foundry"}) CopyShippedLevel(level, data.Path());
    GameManager game([] { return int64_t{0}; }, QuietEffects());
    game.LoadLevelList(data.Path());
    ASSERT_EQ(game.Levels().size(), 4u);
    for (int index = 0; index < 4; ++index) {
        ASSERT_TRUE(game.SelectLevel(index));
        EXPECT_TRUE(game.LoadLevel()) << game.CurrentLevel().name << ":\n" << capture.Joined();
        EXPECT_EQ(game.Players().CountPlaced(), 2) << game.CurrentLevel().name;
        EXPECT_GE(game.Models().Cameras().size(), 1u) << game.CurrentLevel().name;
        EXPECT_FALSE(game.StartTrigger().Empty()) << game.CurrentLevel().name << " has a level script";
    }
}

TEST_F(GameManagerTest, ARaceIsWonAndRunsOutForThreeSecondsOfGameTime) {
    ASSERT_TRUE(Load("Crossroads", 1));
    TriggerJournal journal;
    journal.Bind(game.StartTrigger(), "start");
    journal.Bind(game.FinishTrigger(), "finish");
    journal.Bind(PlayerNumber(0).ship.moving, "red moving");
    game.AddParticipant(0, "Red", true);
    game.AddParticipant(1, "Green", true);

    game.SetState(kStarting);
    Step(20);
    EXPECT_EQ(game.GetState(), kPlaying);
    EXPECT_EQ(journal.Count("start start"), 1) << "the start trigger fires when the race begins";

    // Red speeds along the bottom lane and fires; the bullet runs ahead of it, round
    // the corner and up to Green, who waits at the far corner.
    game.OnAction(GameManager::kShipControlAction, kSpeedUp, 0, true);
    Step(20);
    game.OnAction(GameManager::kShipControlAction, kSpeedUp, 0, false);
    game.OnAction(GameManager::kShipControlAction, kFire, 0, true);
    game.OnAction(GameManager::kShipControlAction, kFire, 0, false);
    StepWhile(kPlaying, 60000);
    ASSERT_EQ(game.GetState(), kFinishing) << "the hit that reaches the limit ends the race";
    EXPECT_EQ(PlayerNumber(0).made_hits, 1);
    EXPECT_TRUE(HasMessage("Red wins the game"));
    EXPECT_EQ(capture.Count("Red wins the game"), 1) << "the log keeps the game messages";
    EXPECT_EQ(journal.Count("finish start"), 1);

    const Vec3 atWin = PlayerNumber(0).ship.position;
    Step(1500);
    EXPECT_EQ(game.GetState(), kFinishing);
    EXPECT_NE(PlayerNumber(0).ship.position.x + PlayerNumber(0).ship.position.y, atWin.x + atWin.y)
        << "the ships keep moving after the win";
    game.OnAction(GameManager::kShipControlAction, kFire, 0, true);
    EXPECT_TRUE(PlayerNumber(0).bullet_loaded) << "no controls while the race runs out";
    Step(1500);
    EXPECT_EQ(game.GetState(), kFinishing) << "exactly 3000 ms is not yet over";
    Step(20);
    EXPECT_EQ(game.GetState(), kFinished);
    EXPECT_EQ(journal.Count("red moving stop"), 1) << "every trigger stops when the run-out ends";

    const Vec3 atEnd = PlayerNumber(0).ship.position;
    Step(500);
    EXPECT_EQ(game.GetState(), kFinished);
    EXPECT_EQ(PlayerNumber(0).ship.position.x, atEnd.x);
    EXPECT_EQ(PlayerNumber(0).ship.position.y, atEnd.y);
}

TEST_F(GameManagerTest, AnAbortedRaceRunsOutFromTheAbort) {
    ASSERT_TRUE(Load("Crossroads"));
    game.SetState(kStarting);
    Step(20);
    Step(5000);
    game.SetState(kFinishing);  // as the game-server client does when the race is aborted
    Step(3000);
    EXPECT_EQ(game.GetState(), kFinishing) << "the run-out is timed from the abort, not from the load";
    Step(20);
    EXPECT_EQ(game.GetState(), kFinished);
}

TEST_F(GameManagerTest, KeysActOnlyWhilePlaying) {
    ASSERT_TRUE(Load("Crossroads"));
    game.AddParticipant(0, "Red", true);
    game.OnAction(GameManager::kShipControlAction, kSpeedUp, 0, true);
    game.OnAction(GameManager::kCameraAction, 14, -1, true);
    Step(1000);
    EXPECT_EQ(PlayerNumber(0).ship.acceleration, 0.0f) << "a loaded level that has not started ignores ship keys";
    EXPECT_EQ(game.Models().CurrentCamera(), 0) << "and camera keys";

    game.SetState(kStarting);
    Step(20);
    game.OnAction(GameManager::kShipControlAction, kSpeedUp, 0, true);
    EXPECT_GT(PlayerNumber(0).ship.acceleration, 0.0f);
    game.OnAction(GameManager::kCameraAction, 14, -1, true);
    EXPECT_EQ(game.Models().CurrentCamera(), 1);
    game.OnAction(5, 9, -1, true);
    EXPECT_EQ(game.GetState(), kPlaying) << "application commands are not the game's";
}

TEST_F(GameManagerTest, ReloadDuringARacePutsTheShipsBackAndKeepsThePlayers) {
    ASSERT_TRUE(Load("Crossroads"));
    game.AddParticipant(0, "Red", true);
    game.AddParticipant(1, "Green", true);
    const Vec3 start = PlayerNumber(0).ship.position;
    game.SetState(kStarting);
    Step(20);
    game.OnAction(GameManager::kShipControlAction, kSpeedUp, 0, true);
    for (int step = 0; step < 50; ++step) Step(20);
    ASSERT_NE(PlayerNumber(0).ship.position.x, start.x);

    ASSERT_TRUE(game.LoadLevel());
    EXPECT_EQ(game.GetState(), kLoaded);
    EXPECT_EQ(PlayerNumber(0).ship.position.x, start.x);
    EXPECT_EQ(PlayerNumber(0).ship.position.y, start.y);
    EXPECT_TRUE(PlayerNumber(0).active) << "the participants stay in the game";
    EXPECT_EQ(PlayerNumber(1).name, "Green");
    EXPECT_EQ(game.Players().ScoreText(), "Red made hits:0, got hits:0\nGreen made hits:0, got hits:0\n");
    game.SetState(kStarting);
    Step(20);
    EXPECT_EQ(game.GetState(), kPlaying);
}

TEST_F(GameManagerTest, OnePlayerGameShowsOneScoreLine) {
    ASSERT_TRUE(Load("Crossroads", 10));
    game.AddParticipant(0, "Solo", true);
    EXPECT_EQ(game.Players().ScoreText(), "Solo made hits:0, got hits:0\n");
    game.RemoveParticipant(0);
    EXPECT_FALSE(PlayerNumber(0).active);
    ASSERT_TRUE(game.LoadLevel());
    EXPECT_FALSE(PlayerNumber(0).active) << "a participant who left is not brought back by a reload";
}

TEST_F(GameManagerTest, StopGameReleasesTheLevelAndForgetsThePlayers) {
    ASSERT_TRUE(Load("Crossroads"));
    game.AddParticipant(0, "Red", true);
    game.StopGame();
    EXPECT_EQ(game.GetState(), kNoLevel);
    EXPECT_EQ(game.Players().PlayerCount(), 0u);
    EXPECT_TRUE(game.Models().Objects().empty());
    EXPECT_TRUE(messages.lines.empty()) << "the help lines go with the level";
    ASSERT_TRUE(game.LoadLevel());
    EXPECT_FALSE(PlayerNumber(0).active);
}

TEST_F(GameManagerTest, ChoosingALevelStartsWithoutTheLastGamesPlayers) {
    ASSERT_TRUE(Load("Crossroads"));
    game.AddParticipant(0, "Red", true);
    game.AddParticipant(1, "Green", true);
    ASSERT_TRUE(Load("Crossroads"));
    EXPECT_FALSE(PlayerNumber(1).active) << "a second name left empty this time gives a one-player game";
}

// Looks at the scene lock at the moment the help lines are cleared, which happens in
// the middle of releasing the level.
class LockWatchingLines : public MessageLines {
public:
    explicit LockWatchingLines(SpinLock& sceneLock) : sceneLock_(sceneLock) {}
    void AddLine(const std::string&) override {}
    void ClearLines() override {
        const bool free = sceneLock_.TryLock();
        if (free) sceneLock_.Unlock();
        heldWhileClearing = !free;
    }
    bool heldWhileClearing = false;

private:
    SpinLock& sceneLock_;
};

TEST_F(GameManagerTest, ReleasingALevelHoldsTheSceneLock) {
    ASSERT_TRUE(Load("Crossroads"));
    LockWatchingLines lines(game.Models().SceneLock());
    game.SetMessageLines(&lines);
    game.UnloadLevel();
    game.SetMessageLines(&messages);
    EXPECT_TRUE(lines.heldWhileClearing) << "drawing must not see a half-released level";
    EXPECT_TRUE(game.Models().SceneLock().TryLock()) << "and the lock is given back";
    game.Models().SceneLock().Unlock();
}

TEST_F(GameManagerTest, UnknownStateIsReportedOnEveryStep) {
    game.SetState(42);
    Step(20);
    Step(20);
    EXPECT_EQ(capture.Count("Unkown state"), 2);
    EXPECT_EQ(game.GetState(), 42);
}

TEST_F(GameManagerTest, LevelThatFailsLeavesNoLevel) {
    const std::string broken = data.Path() + "/broken";
    std::filesystem::create_directories(broken);
    {
        std::ofstream(broken + "/broken.ini") << "[general]\nlevel_name=Broken\n[level]\ntexture_path=texture\n"
                                                 "[path]\npoint0=0,0,0\npoint0_nb=-1,-1,-1\n";
    }
    game.LoadLevelList(data.Path());
    EXPECT_FALSE(Load("Broken"));
    EXPECT_TRUE(capture.Contains("Bad neigbourhood for point0_nb"));
    EXPECT_TRUE(capture.Contains("Level was not loaded correctly"));
    EXPECT_EQ(game.GetState(), kNoLevel);
    EXPECT_FALSE(std::filesystem::exists(broken + "/saved.ini.all"));
}

TEST_F(GameManagerTest, LevelWhoseShipsStandOffThePathStaysLoading) {
    IniFile ini(crossroads + "/crossroads.ini");
    ASSERT_TRUE(ini.Load());
    ini.SetValue("ship0", "ship_loc", "-5,-6,0", false);
    ini.SetValue("ship1", "ship_loc", "5,6,0", false);
    ASSERT_TRUE(ini.Save());
    EXPECT_FALSE(Load("Crossroads"));
    EXPECT_TRUE(capture.Contains("Could not position players."));
    EXPECT_EQ(game.GetState(), kLoading);
}

TEST_F(GameManagerTest, BackgroundWithTwoNumbersStaysBlack) {
    IniFile ini(crossroads + "/crossroads.ini");
    ASSERT_TRUE(ini.Load());
    ini.SetValue("level", "bg_color", "0.5,0.5", false);
    ASSERT_TRUE(ini.Save());
    ASSERT_TRUE(Load("Crossroads"));
    EXPECT_EQ(game.BackgroundColour().r, 0.0f);
    EXPECT_EQ(game.BackgroundColour().g, 0.0f);
    EXPECT_EQ(game.BackgroundColour().b, 0.0f);
    EXPECT_EQ(game.BackgroundColour().a, 1.0f);
}

TEST(GameManagerCatalogue, SelectLevelByNameTakesTheLastMatch) {
    HeadlessTextures textures;
    ReportCapture capture;
    TempDir data;
    for (const char* directory : {"first", "second", "third"}) {
        const std::string name = std::string(directory) == "second" ? "Other" : "Twin";
        data.Write(std::string(directory) + "/level.ini", "[general]\nlevel_name=" + name + "\n");
    }
    GameManager game([] { return int64_t{0}; }, QuietEffects());
    game.LoadLevelList(data.Path());
    ASSERT_EQ(game.Levels().size(), 3u);
    std::string lastTwin;
    for (const LevelEntry& entry : game.Levels())
        if (entry.name == "Twin") lastTwin = entry.directory;

    EXPECT_TRUE(game.SelectLevelByName("Twin"));
    EXPECT_EQ(game.CurrentLevel().directory, lastTwin);
    EXPECT_FALSE(game.SelectLevelByName("twin")) << "names are compared exactly";
    EXPECT_EQ(game.CurrentLevel().directory, lastTwin) << "no match leaves the choice alone";
    EXPECT_TRUE(game.SelectLevel(0));
    EXPECT_EQ(game.CurrentLevel().directory, game.Levels()[0].directory);
    EXPECT_FALSE(game.SelectLevel(3));
    EXPECT_FALSE(game.SelectLevel(-1));
    EXPECT_EQ(game.CurrentLevel().directory, game.Levels()[0].directory);
}

}  // namespace
