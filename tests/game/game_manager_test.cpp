#include "game/game_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
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
    void ClearLines() override {
        lines.clear();
        if (sceneLock) {  // clearing happens in the middle of releasing a level
            const bool free = sceneLock->TryLock();
            if (free) sceneLock->Unlock();
            lockHeldWhileClearing = !free;
        }
    }
    std::vector<std::string> lines;
    SpinLock* sceneLock = nullptr;
    bool lockHeldWhileClearing = false;
};

TEST(GameManagerLifecycle, MembersAreBuiltInOrderAndReleasedInReverse) {
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
    EXPECT_EQ(lifecycle, expected);
}

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
        game.SetState(kStarting);
        Step(20);
        ASSERT_EQ(game.GetState(), kPlaying);
    }
    void Key(int command, bool pressed) { game.OnAction(GameManager::kShipControlAction, command, 0, pressed); }
    Player& PlayerNumber(int id) { return *game.Players().FindPlayer(id); }
    void EditDescription(const std::vector<std::vector<std::string>>& edits) {
        IniFile ini(crossroads + "/crossroads.ini");
        ASSERT_TRUE(ini.Load());
        for (const auto& edit : edits) ini.SetValue(edit[0], edit[1], edit[2], false);
        ASSERT_TRUE(ini.Save());
    }

    HeadlessTextures textures;
    ReportCapture capture;
    TempDir data;
    std::string crossroads;
    int64_t now = 1000;
    GameManager game{[this] { return now; }, QuietEffects()};
    RecordedLines messages;
};

TEST_F(GameManagerTest, LoadedLevelWaitsWithHelpLines) {
    ASSERT_TRUE(Load("Crossroads", 7));
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"ESC - menu; TAB - score.", "F1,F2 change camera view; ~ - chat;",
                                                        "Player 1 keys: Arrows - move; ENTER - fire.",
                                                        "Player 2 keys: S,E,F,D - move; Q - fire.",
                                                        "Game Level:Crossroads", "Max hits:7"}));
    EXPECT_FLOAT_EQ(game.BackgroundColour().b, 0.08f) << "bg_color is the clear colour";
    EXPECT_EQ(game.Players().MaxHits(), 7) << "the hit limit goes to the players";
    for (int step = 0; step < 5; ++step) Step(20);
    EXPECT_EQ(game.GetState(), kLoaded) << "a loaded level waits for its start";
}

TEST(GameManagerShippedLevels, EveryShippedLevelLoadsWithTwoShipsOnThePathAndIsWrittenOut) {
    HeadlessTextures textures;
    ReportCapture capture;
    TempDir data;
    for (const char* level : {"crossroads", "twin_orbit", "canyon", "foundry"}) {
        CopyShippedLevel(level, data.Path());
        data.Write(std::string(level) + "/saved.ini.all", "[path]\npoint0=9,9,9\n");
    }
    GameManager game([] { return int64_t{0}; }, QuietEffects());
    game.LoadLevelList(data.Path());
    ASSERT_EQ(game.Levels().size(), 4u);
    for (int index = 0; index < 4; ++index) {
        ASSERT_TRUE(game.SelectLevel(index));
        SCOPED_TRACE(game.CurrentLevel().name);
        EXPECT_TRUE(game.LoadLevel()) << capture.Joined();
        EXPECT_EQ(game.Players().CountPlaced(), 2);
        EXPECT_GE(game.Models().Cameras().size(), 1u);
        EXPECT_FALSE(game.StartTrigger().Empty()) << "every level has a level script";
        IniFile saved(game.CurrentLevel().directory + "/saved.ini.all");
        ASSERT_TRUE(saved.Load()) << "scene levels too are written out as described ones";
        EXPECT_TRUE(saved.HasKey("path", "point0_nb") && saved.HasSection("camera0"));
        EXPECT_NE(saved.GetString("path", "point0"), "9,9,9") << "an older saved path is replaced";
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
    Key(kSpeedUp, true);
    Step(20);
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
    for (int64_t spent = 0; game.GetState() == kPlaying && spent < 60000; spent += 20) Step(20);
    ASSERT_EQ(game.GetState(), kFinishing) << "the hit that reaches the limit ends the race";
    EXPECT_EQ(capture.Count("Red wins the game"), 1) << "the log keeps the game messages";
    EXPECT_EQ(std::count(messages.lines.begin(), messages.lines.end(), "Red wins the game"), 1);
    EXPECT_EQ(journal.Count("finish start"), 1);

    const Vec3 atWin = PlayerNumber(0).ship.position;
    Step(1500);
    EXPECT_NE(PlayerNumber(0).ship.position.x + PlayerNumber(0).ship.position.y, atWin.x + atWin.y)
        << "the ships keep moving after the win";
    Key(kFire, true);
    EXPECT_TRUE(PlayerNumber(0).bullet_loaded) << "no controls while the race runs out";
    Step(1500);
    EXPECT_EQ(game.GetState(), kFinishing) << "exactly 3000 ms is not yet over";
    Step(20);
    EXPECT_EQ(game.GetState(), kFinished);
    EXPECT_EQ(journal.Count("red moving stop"), 1) << "every trigger stops when the run-out ends";
    const Vec3 atEnd = PlayerNumber(0).ship.position;
    Step(500);
    EXPECT_EQ(PlayerNumber(0).ship.position.x, atEnd.x) << "a finished race stands still";

    ASSERT_TRUE(game.LoadLevel());
    Start();
    Step(5000);
    game.SetState(kFinishing);  // as the game-server client does when the race is aborted
    Step(3000);
    EXPECT_EQ(game.GetState(), kFinishing) << "an aborted race runs out from the abort, not from the load";
    Step(20);
    EXPECT_EQ(game.GetState(), kFinished);
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
    EXPECT_EQ(game.GetState(), kLoaded);
    EXPECT_EQ(PlayerNumber(0).ship.position.x, start.x);
    EXPECT_EQ(PlayerNumber(0).ship.position.y, start.y);
    EXPECT_EQ(game.Players().ScoreText(), "Red made hits:0, got hits:0\nGreen made hits:0, got hits:0\n")
        << "the participants stay in the game";
    Start();

    game.RemoveParticipant(1);
    ASSERT_TRUE(game.LoadLevel());
    EXPECT_FALSE(PlayerNumber(1).active) << "a participant who left is not brought back by a reload";
    ASSERT_TRUE(Load("Crossroads"));
    EXPECT_FALSE(PlayerNumber(0).active) << "choosing a level starts without the last game's players";
}

TEST_F(GameManagerTest, StopGameReleasesTheLevelUnderTheSceneLock) {
    ASSERT_TRUE(Load("Crossroads"));
    game.AddParticipant(0, "Red", true);
    messages.sceneLock = &game.Models().SceneLock();
    game.StopGame();
    EXPECT_TRUE(messages.lockHeldWhileClearing) << "drawing must not see a half-released level";
    EXPECT_TRUE(game.Models().SceneLock().TryLock()) << "and the lock is given back";
    game.Models().SceneLock().Unlock();
    messages.sceneLock = nullptr;
    EXPECT_EQ(game.GetState(), kNoLevel);
    EXPECT_EQ(game.Players().PlayerCount(), 0u);
    EXPECT_TRUE(game.Models().Objects().empty());
    EXPECT_TRUE(messages.lines.empty()) << "the help lines go with the level";
}

TEST_F(GameManagerTest, FaultyDescriptionsAreReportedAndLeaveNoRace) {
    struct Case {
        std::vector<std::vector<std::string>> edits;
        bool loads;
        int state;
        const char* logged;
    } cases[] = {
        {{{"path", "point3_nb", "-1,-1"}}, false, kNoLevel, "Bad neigbourhood for point3_nb"},
        {{{"ship0", "ship_loc", "-5,-6,0"}, {"ship1", "ship_loc", "5,6,0"}}, false, kLoading,
         "Could not position players."},
        {{{"level", "bg_color", "0.5,0.5"}}, true, kLoaded, "Loading: Crossroads"},
    };
    const std::string pristine = data.Path() + "/pristine";
    std::filesystem::copy(crossroads, pristine, std::filesystem::copy_options::recursive);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        std::filesystem::remove_all(crossroads);
        std::filesystem::copy(pristine, crossroads, std::filesystem::copy_options::recursive);
        EditDescription(c.edits);
        capture.Clear();
        EXPECT_EQ(Load("Crossroads"), c.loads);
        EXPECT_TRUE(capture.Contains(c.logged)) << capture.Joined();
        EXPECT_EQ(game.GetState(), c.state);
        EXPECT_EQ(std::filesystem::exists(crossroads + "/saved.ini.all"), c.state != kNoLevel)
            << "a level that fails to build writes nothing";
        if (!c.loads) continue;
        EXPECT_EQ(game.BackgroundColour().r, 0.0f) << "a bg_color of two numbers stays black";
        EXPECT_EQ(game.BackgroundColour().a, 1.0f);
    }
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
    EXPECT_FALSE(game.SelectLevel(3));
    EXPECT_FALSE(game.SelectLevel(-1));
    EXPECT_EQ(game.CurrentLevel().directory, lastTwin) << "an index outside the list leaves the choice alone";
}

}  // namespace
