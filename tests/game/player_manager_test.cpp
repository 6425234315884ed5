#include "game/player_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <thread>

#include "game_test_support.h"
#include "scene/model.h"
#include "support/report_capture.h"

namespace {

class RecordingSink : public PlayerUpdateSink {
public:
    bool Accepting() const override { return accepting; }
    void TakeUpdate(const PlayerUpdate& update) override { updates.push_back(update); }
    void TimerReset() override { ++timerResets; }
    int CountFor(int id) const {
        return static_cast<int>(std::count_if(updates.begin(), updates.end(),
                                              [id](const PlayerUpdate& u) { return u.player_id == id; }));
    }

    bool accepting = true;
    std::vector<PlayerUpdate> updates;
    int timerResets = 0;
};

// A race on a synthetic path with a clock the test moves 20 ms a step.
class Race : public ::testing::Test {
protected:
    void SetUp() override {
        manager.SetMessageSink([this](const std::string& line) { messages.push_back(line); });
        manager.AddUpdateSink(&sink);
    }

    Player* Add(float x, float y, float rotationZ) {
        Model& ship = models.emplace_back();
        ship.location = {x, y, 0};
        ship.rotation = {0, 0, rotationZ};
        return manager.AddPlayer(&ship, &models.emplace_back());
    }

    // Builds the path, adds ships at (x, rotation) on y 0, places them and lets the named ones race.
    void Start(const std::vector<PathPoint>& path, const std::vector<std::pair<float, float>>& ships,
               const std::vector<std::string>& names) {
        manager.Clear();
        models.clear();
        ASSERT_TRUE(manager.BuildPath(path));
        for (const auto& [x, rotation] : ships) Add(x, 0, rotation);
        ASSERT_EQ(manager.PlacePlayers(), static_cast<int>(ships.size()));
        for (size_t id = 0; id < names.size(); ++id) {
            manager.SetPlayerInfo(static_cast<int>(id), names[id], true);
            manager.SetPlayerActive(static_cast<int>(id), true);
        }
        sink.updates.clear();
        now = 0;
        manager.Clock().Reset();
    }

    void StepOnce() {
        now += 20;
        manager.Step();
    }
    int MessageCount(const std::string& message) const {
        return static_cast<int>(std::count(messages.begin(), messages.end(), message));
    }
    Player& P(int id) { return *manager.FindPlayer(id); }

    int64_t now = 0;
    SpinLock sceneLock;
    PlayerManager manager{sceneLock, [this] { return now; }};
    std::deque<Model> models;
    std::vector<std::string> messages;
    RecordingSink sink;
    TriggerJournal journal;
};

TEST_F(Race, ShipsArePlacedOnThePointUnderThemFacingTheirRotation) {
    ASSERT_TRUE(manager.BuildPath(GridPoints(3, 3, 1)));
    struct Case {
        float x, y, rotation;
        int to;  // far point of the start edge from point 4, -1 not placed
        const char* rule;
    } cases[] = {
        {1, 1, 90, 5, "90 degrees starts Right"},
        {1.05f, 1.04f, -90.5f, 3, "rounded to tenths, halves down; a negative angle counts from 360: Left"},
        {1, 1, 45, 7, "no edge at the angle: Up"},
        {1, 2, 45, -1, "no edge at the angle and none Up: not placed"},
        {1.06f, 1, 90, -1, "1.06 rounds to 1.1, where there is no point"},
    };
    for (const Case& c : cases) Add(c.x, c.y, c.rotation);
    EXPECT_EQ(manager.PlacePlayers(), 3);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].rule);
        Player& player = P(static_cast<int>(i));
        ASSERT_EQ(player.placed, cases[i].to >= 0);
        if (!player.placed) continue;
        EXPECT_EQ(player.ship.edge, FindEdge(manager.Path(), 4, cases[i].to));
        EXPECT_EQ(player.ship.model->rotation.z, 0) << "the model's own rotation is cleared";
        EXPECT_FALSE(player.active || player.ship.model->visible) << "a placed player waits hidden";
        EXPECT_TRUE(player.bullet_loaded);
    }
    manager.Clear();
    ASSERT_TRUE(manager.BuildPath(LinePoints(2, 10)));
    Add(3, 3, 0);
    ReportCapture log;
    EXPECT_EQ(manager.PlacePlayers(), 0);
    EXPECT_TRUE(log.Contains("No players for this game?")) << log.Joined();
}

TEST_F(Race, HoldingSpeedUpFromRestReachesMaxSpeedAfter400ms) {
    Start(LinePoints(2, 100), {{0, 90}}, {"Ann"});
    journal.Bind(P(0).ship.accelerate, "accelerate");
    manager.OnControl(kControlSpeedUp, 0, true);
    EXPECT_EQ(sink.CountFor(0), 1) << "a changed acceleration is sent";
    int reached = -1;
    while (now < 800) {
        StepOnce();
        if (reached < 0 && P(0).ship.speed == MaxSpeed) reached = static_cast<int>(now);
    }
    EXPECT_EQ(reached, 400) << "holding speed-up from rest reaches MaxSpeed after 400 ms";
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"accelerate start", "accelerate stop"}))
        << "accelerate starts when pressed and stops at the top speed";
    EXPECT_NEAR(P(0).ship.position.x, AccelStep * 20 * (20 * 21 / 2) + MaxSpeed * 400, 1e-5)
        << "each step moves at the speed reached at its end, then 400 ms at top speed";
}

TEST_F(Race, ShipHitAtTopSpeedIsFlungRoundAndSlowsBackIn4000ms) {
    Start(LinePoints(60, 2), {{0, 90}, {40, 270}}, {"Ann", "Bob"});
    Player& bob = P(1);
    manager.OnControl(kControlSpeedUp, 1, true);
    while (now < 400) StepOnce();
    ASSERT_EQ(bob.ship.speed, MaxSpeed);
    manager.OnControl(kControlFire, 0, true);
    while (bob.got_hits == 0 && now < 20000) StepOnce();
    ASSERT_EQ(bob.got_hits, 1) << "Ann's bullet must reach Bob";
    const int64_t hitTime = now;
    EXPECT_EQ(bob.ship.speed, HitSpeed) << "a hit flings the ship to 0.009";
    EXPECT_GT(bob.ship.edge->dir.x, 0) << "a ship hit head-on turns round";
    EXPECT_EQ(MessageCount("Ann hit Bob"), 1);
    EXPECT_TRUE(P(0).bullet_loaded) << "the shooter's bullet is back on its ship";

    manager.OnControl(kControlSlowDown, 1, true);
    manager.OnControl(kControlSpeedUp, 1, false);
    EXPECT_EQ(bob.ship.acceleration, -HitDecel) << "speed keys do nothing in hit mode";
    while (now < hitTime + 3980) StepOnce();
    EXPECT_TRUE(bob.ship.hit_mode) << "still slowing down 20 ms before 4000 ms";
    StepOnce();
    EXPECT_FALSE(bob.ship.hit_mode) << "hit mode ends 4000 ms after the hit";
    EXPECT_EQ(bob.ship.speed, MaxSpeed) << "back at the speed it had when hit";
}

TEST_F(Race, FiringWithLessThanHalfTheEdgeAheadStartsTheBulletHalfIntoTheNext) {
    Start(LinePoints(3, 2), {{0, 90}}, {"Ann"});
    P(0).ship.PlaceOn(FindEdge(manager.Path(), 0, 1), 1.8f);
    manager.OnControl(kControlFire, 0, true);
    const PathEdge* next = FindEdge(manager.Path(), 1, 2);
    EXPECT_EQ(P(0).bullet.edge, next) << "less than 0.5 ahead: the next edge";
    EXPECT_FLOAT_EQ(P(0).bullet.distance, 0.5f) << "0.5 into the next edge, not the remainder";
    ASSERT_EQ(sink.updates.size(), 1u) << "firing sends the player's update";
    EXPECT_EQ(sink.updates[0].flags & kUpdateBulletLoaded, 0);
    EXPECT_EQ(sink.updates[0].bullet_edge, next->index);
    manager.OnControl(kControlFire, 0, false);
    manager.OnControl(kControlFire, 0, true);
    EXPECT_EQ(sink.updates.size(), 1u) << "no second shot while the bullet flies";
}

TEST_F(Race, BulletRunningRoundALoopIntoItsOwnShipIsReloadedWithoutAHit) {
    Start(LoopPoints(2), {{0, 90}}, {"Ann"});
    Player& ann = P(0);
    manager.OnControl(kControlFire, 0, true);
    StepOnce();
    EXPECT_FALSE(ann.bullet_loaded) << "the bullet is not caught in the step it was fired";
    while (!ann.bullet_loaded && now < 5000) StepOnce();
    EXPECT_TRUE(ann.bullet_loaded) << "the bullet came round and was caught by its own ship";
    EXPECT_GT(now, 2000) << "after running round the 8-unit loop";
    EXPECT_EQ(ann.got_hits + ann.made_hits, 0) << "a player's own bullet never hits it";
    EXPECT_TRUE(messages.empty());
}

TEST_F(Race, ShipsThatMeetAreTurnedRound) {
    struct Case {
        std::vector<PathPoint> path;
        float bobX, bobRotation;
        bool bobDrives;
        std::vector<std::string> collisions;
        const char* rule;
    } cases[] = {
        {LinePoints(30, 1), 10, 270, true, {"Bob collision start", "Ann collision start"},
         "head-on ships both turn round"},
        {LinePoints(2, 30), 30, 270, false, {"Ann collision start"},
         "the faster of two on one edge is pushed back, the one in front stays"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.rule);
        Start(c.path, {{0, 90}, {c.bobX, c.bobRotation}}, {"Ann", "Bob"});
        journal.Bind(P(0).ship.collision, "Ann collision");
        journal.Bind(P(1).ship.collision, "Bob collision");
        journal.Clear();
        Ship& bob = P(1).ship;
        if (!c.bobDrives) {  // Bob stands 5 ahead of Ann, the same way
            bob.rotation = {0, 0, 90};
            bob.PlaceOn(FindEdge(manager.Path(), 0, 1), 5);
            bob.model->location = bob.position;
        }
        manager.OnControl(kControlSpeedUp, 0, true);
        if (c.bobDrives) manager.OnControl(kControlSpeedUp, 1, true);
        while (journal.Entries().empty() && now < 10000) StepOnce();
        EXPECT_EQ(journal.Entries(), c.collisions);
        EXPECT_LT(P(0).ship.edge->dir.x, 0) << "Ann turned round";
        EXPECT_GE(sink.CountFor(0), 2) << "the collision sends Ann's update";
        if (c.bobDrives) {
            EXPECT_GT(bob.edge->dir.x, 0) << "Bob turned round";
        } else {
            EXPECT_EQ(bob.edge, FindEdge(manager.Path(), 0, 1)) << "the ship in front stays";
            EXPECT_FLOAT_EQ(bob.distance, 5);
        }
    }
}

// A T-junction J at (0,0) reached from the stem below, with branches left and right.
std::vector<PathPoint> TJunction(bool junctionEven) {
    const int j = junctionEven ? 0 : 1, stem = junctionEven ? 1 : 0;
    std::vector<PathPoint> points(4);
    points[j] = MakePoint(j, 0, 0, -1, 3, stem, 2);
    points[stem] = MakePoint(stem, 0, -5, j);
    points[2] = MakePoint(2, -5, 0, -1, j);
    points[3] = MakePoint(3, 5, 0, -1, -1, -1, j);
    return points;
}

TEST_F(Race, StraightOnAtATJunctionFollowsTheJunctionsParityAndKeysOverrideIt) {
    struct Case {
        bool even;
        int key;  // 0 none
        float expectedDirX;
        const char* rule;
    } cases[] = {
        {true, 0, -1, "straight on at an even junction goes left"},
        {false, 0, 1, "straight on at an odd junction goes right"},
        {true, kControlTurnRight, 1, "a held right key turns right at an even junction"},
        {false, kControlTurnLeft, -1, "a held left key turns left at an odd junction"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        manager.Clear();
        models.clear();
        ASSERT_TRUE(manager.BuildPath(TJunction(c.even)));
        Add(0, -5, 180);  // on the stem, facing up
        ASSERT_EQ(manager.PlacePlayers(), 1);
        manager.SetPlayerInfo(0, "Ann", true);
        manager.SetPlayerActive(0, true);
        manager.OnControl(kControlSpeedUp, 0, true);
        if (c.key != 0) manager.OnControl(c.key, 0, true);
        now = 0;
        manager.Clock().Reset();
        while (P(0).ship.position.y < 0 && now < 10000) StepOnce();
        StepOnce();
        EXPECT_EQ(P(0).ship.edge->dir.x, c.expectedDirX);
    }
}

TEST_F(Race, ScriptedMatchEndsWithOneWinLineAndLaterHitsChangeNothing) {
    Start(LinePoints(41, 10), {{0, 90}, {100, 270}}, {"Ann", "Bob"});
    manager.SetMaxHits(3);
    std::string scoreAtWin;
    while (P(0).made_hits < 4 && now < 600000) {
        if (P(0).bullet_loaded) {
            manager.OnControl(kControlFire, 0, true);
            manager.OnControl(kControlFire, 0, false);
        }
        StepOnce();
        if (manager.GameOver() && scoreAtWin.empty()) scoreAtWin = manager.ScoreText();
    }
    ASSERT_EQ(P(0).made_hits, 4) << "Ann keeps hitting Bob";
    EXPECT_EQ(MessageCount("Ann hit Bob"), 4);
    EXPECT_EQ(MessageCount("Ann wins the game"), 1) << "the win is announced once";
    EXPECT_EQ(scoreAtWin, "Ann made hits:3, got hits:0\nBob made hits:0, got hits:3\n")
        << "the game is over at the third hit";
    EXPECT_EQ(manager.ScoreText(), scoreAtWin) << "hits after the win do not change the score text";
}

TEST_F(Race, ScoreListsActivePlayersAndAnnouncesJoiningAndLeaving) {
    Start(LinePoints(3, 5), {{0, 90}, {10, 270}}, {"Ann"});
    manager.SetAnnounce(true);
    messages.clear();
    EXPECT_EQ(manager.ScoreText(), "Ann made hits:0, got hits:0\n") << "only active players are scored";
    manager.SetPlayerActive(1, true);
    manager.SetPlayerActive(1, false);
    manager.SetPlayerInfo(1, "Bob", false);
    manager.SetPlayerActive(1, true);
    manager.SetPlayerActive(1, false);
    EXPECT_EQ(messages, (std::vector<std::string>{" joined the game.", "Bob joined the game.", "Bob left the game."}))
        << "a nameless player's leaving is not announced";
    EXPECT_FALSE(P(1).ship.model->visible) << "an inactive player is hidden";
}

TEST_F(Race, KeysGoToLocalPlayersInNamingOrderAndOnlyChangesAreSent) {
    Start(LinePoints(3, 5), {{0, 90}, {10, 270}, {5, 270}}, {});
    manager.SetPlayerInfo(2, "Cat", true);
    manager.SetPlayerInfo(0, "Remote", false);
    manager.SetPlayerInfo(1, "Dan", true);
    manager.OnControl(kControlTurnLeft, 0, true);
    manager.OnControl(kControlTurnRight, 1, true);
    manager.OnControl(kControlTurnLeft, 2, true);  // there is no third local player
    EXPECT_EQ(P(2).ship.turn, kTurnLeft) << "the first local player named takes local controls 0";
    EXPECT_EQ(P(1).ship.turn, kTurnRight) << "the second takes local controls 1";
    EXPECT_EQ(P(0).ship.turn, kTurnStraight) << "a remote player takes no local controls";

    Player& cat = P(2);
    EXPECT_EQ(cat.bullet.turn, kTurnLeft) << "a loaded bullet turns with its ship";
    manager.OnControl(kControlTurnRight, 0, true);
    EXPECT_EQ(cat.ship.turn, kTurnRight) << "the last key pressed wins";
    manager.OnControl(kControlTurnRight, 0, false);
    EXPECT_EQ(cat.ship.turn, kTurnLeft) << "releasing right while left is held turns left";
    const size_t sent = sink.updates.size();
    manager.OnControl(kControlTurnLeft, 0, true);
    EXPECT_EQ(sink.updates.size(), sent) << "no change, nothing sent";
    manager.SetReplaying(true);
    manager.OnControl(kControlTurnLeft, 0, false);
    EXPECT_EQ(cat.ship.turn, kTurnLeft) << "controls are ignored while a recording is replayed";
    EXPECT_FALSE(manager.SendUpdate(2, true)) << "nothing is sent while a recording is replayed";
    manager.SetReplaying(false);
    EXPECT_FALSE(manager.SendUpdate(0, false)) << "a remote player's update is not sent";
    EXPECT_TRUE(manager.SendUpdate(0, true)) << "unless forced";
    sink.accepting = false;
    EXPECT_FALSE(manager.SendUpdate(2, false)) << "nobody accepting, nothing sent";
}

TEST_F(Race, ClearForgetsTheLevelResetsTheClockAndTellsTheRecorder) {
    Start(LinePoints(3, 5), {{0, 90}}, {"Ann"});
    const int resetsBefore = sink.timerResets;
    manager.SetMaxHits(9);
    now = 5000;
    manager.Clear();
    EXPECT_EQ(manager.PlayerCount(), 0u);
    EXPECT_EQ(manager.Clock().Now(), 0) << "the game clock restarts";
    EXPECT_EQ(sink.timerResets, resetsBefore + 1) << "the timer reset is handed to the recorder";
    EXPECT_EQ(manager.MaxHits(), 5) << "the hit limit goes back to 5";
    manager.OnControl(kControlSpeedUp, 0, true);  // no local player left: nothing happens
}

// Bob is a remote player whose updates arrive from the network.
class Received : public Race {
protected:
    void SetUp() override {
        Race::SetUp();
        Start(LinePoints(4, 5), {{0, 90}, {15, 270}}, {"Ann"});
        manager.SetPlayerInfo(1, "Bob", false);
        manager.SetPlayerActive(1, true);
        sink.updates.clear();
    }

    static PlayerUpdate BobAt(int edge, float distance) {
        PlayerUpdate update;
        update.player_id = 1;
        update.time = 500;
        update.flags = kUpdateBulletLoaded | kUpdateShipLeft | kUpdateRightHeld;
        update.ship_edge = static_cast<int16_t>(edge);
        update.ship_distance = distance;
        update.ship_speed = 0.002f;
        update.made_hits = 2;
        return update;
    }
};

TEST_F(Received, UpdateMovesTheRemoteShipAndRefreshesTheScore) {
    manager.ApplyUpdate(BobAt(2, 1.5f));
    Ship& ship = P(1).ship;
    EXPECT_EQ(ship.edge, manager.Path().Edge(2));
    EXPECT_FLOAT_EQ(ship.distance, 1.5f);
    EXPECT_FLOAT_EQ(ship.speed, 0.002f);
    EXPECT_EQ(ship.turn, kTurnLeft);
    EXPECT_TRUE(ship.right_held && !ship.left_held);
    EXPECT_EQ(manager.ScoreText(), "Ann made hits:0, got hits:0\nBob made hits:2, got hits:0\n");
    EXPECT_TRUE(sink.updates.empty()) << "a remote player's update is not sent on";
}

TEST_F(Received, DamagedOrStrayUpdatesMoveNothing) {
    const PathEdge* before = P(1).ship.edge;
    PlayerUpdate unknown = BobAt(1, 1), past = BobAt(6, 0), negative = BobAt(-1, 0), notANumber = BobAt(1, 1);
    unknown.player_id = 9;
    notANumber.ship_speed = std::numeric_limits<float>::infinity();
    struct Case {
        const PlayerUpdate& update;
        const char* logged;
    } cases[] = {
        {unknown, "Update from a not existing player 9 "},
        {past, "Update for 1 player names ship edge 6, outside the 6 edges"},
        {negative, "Update for 1 player names ship edge -1, outside the 6 edges"},
        {notANumber, "Update for 1 player carries a damaged ship state"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        ReportCapture log;
        manager.ApplyUpdate(c.update);
        EXPECT_EQ(P(1).ship.edge, before);
        EXPECT_EQ(P(1).ship.speed, 0);
        EXPECT_TRUE(log.Contains(c.logged)) << log.Joined();
    }
}

TEST_F(Received, BulletFiredThereIsFiredHereAndReloadedThereIsReloadedHere) {
    PlayerUpdate update = BobAt(2, 1);
    update.flags = kUpdateBulletRight;
    update.bullet_edge = 2;
    update.bullet_distance = 3;
    manager.ApplyUpdate(update);
    Player& bob = P(1);
    ASSERT_FALSE(bob.bullet_loaded) << "the remote bullet flies here too";
    EXPECT_EQ(bob.bullet.edge, manager.Path().Edge(2));
    EXPECT_EQ(bob.bullet.turn, kTurnRight);
    update.bullet_distance = 4;
    manager.ApplyUpdate(update);
    EXPECT_FLOAT_EQ(bob.bullet.distance, 3) << "a bullet already flying here is not corrected";
    manager.ApplyUpdate(BobAt(2, 1));
    EXPECT_TRUE(bob.bullet_loaded) << "reloaded there, reloaded here";
    update.bullet_edge = 99;
    manager.ApplyUpdate(update);
    EXPECT_TRUE(bob.bullet_loaded) << "a bullet on an edge outside the list is not fired";
}

TEST_F(Received, UpdatesFromAnotherThreadInterleaveWithSteps) {
    std::thread network([this] {
        for (int i = 0; i < 2000; ++i) {
            PlayerUpdate update = BobAt(i % 6, 1);
            update.flags = i % 2 ? kUpdateBulletLoaded : 0;
            update.bullet_edge = static_cast<int16_t>(i % 6);
            manager.ApplyUpdate(update);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        StepOnce();
        manager.OnControl(kControlFire, 0, i % 2 == 0);
    }
    network.join();
    EXPECT_NE(P(1).ship.edge, nullptr) << "both threads ran to the end without losing the remote ship";
}

}  // namespace
