#include "game/player_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <limits>

#include "game_test_support.h"
#include "scene/model.h"
#include "support/report_capture.h"

namespace {

struct ShipAt {
    float x, y, rotation;
};

// A race on a synthetic path with a clock the test moves 20 ms a step.
class Race : public ::testing::Test {
protected:
    void SetUp() override {
        manager.SetMessageSink([this](const std::string& line) { messages.push_back(line); });
        manager.AddUpdateSink(&sink);
    }

    // Builds the path, adds the ships, places them and lets the named ones race as local players.
    void Start(const std::vector<PathPoint>& path, const std::vector<ShipAt>& ships,
               const std::vector<std::string>& names, int placed = -1) {
        manager.Clear();
        models.clear();
        ASSERT_TRUE(manager.BuildPath(path));
        for (const ShipAt& at : ships) {
            Model& ship = models.emplace_back();
            ship.location = {at.x, at.y, 0};
            ship.rotation = {0, 0, at.rotation};
            ASSERT_NE(manager.AddPlayer(&ship, &models.emplace_back()), nullptr);
        }
        ASSERT_EQ(manager.PlacePlayers(), placed < 0 ? static_cast<int>(ships.size()) : placed);
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
    const PathEdge* Edge(int from, int to) { return FindEdge(manager.Path(), from, to); }

    int64_t now = 0;
    PlayerManager manager{[this] { return now; }};
    std::deque<Model> models;
    std::vector<std::string> messages;
    RecordingSink sink;
    TriggerJournal journal;
};

TEST_F(Race, ShipsArePlacedOnThePointUnderThemFacingTheirRotation) {
    // Positions round to tenths, halves down; a negative angle counts from 360 (Left).
    // 1.06 rounds to 1.1, where there is no point.
    Start(GridPoints(3, 3, 1), {{1.05f, 1.04f, -90.5f}, {1.06f, 1, 90}}, {}, 1);
    EXPECT_EQ(P(0).ship.edge, Edge(4, 3));
    EXPECT_FALSE(P(1).placed);
}

TEST_F(Race, SpeedUpReachesMaxSpeedIn400msAndAHitAtTopSpeedFlingsTheShipRoundFor4000ms) {
    Start(LinePoints(60, 2), {{0, 0, 90}, {40, 0, 270}}, {"Ann", "Bob"});
    Player& bob = P(1);
    manager.OnControl(kControlSpeedUp, 1, true);
    while (bob.ship.speed < MaxSpeed && now < 1000) StepOnce();
    EXPECT_EQ(now, 400) << "holding speed-up from rest reaches MaxSpeed after 400 ms";
    manager.OnControl(kControlFire, 0, true);
    while (bob.got_hits == 0 && now < 20000) StepOnce();
    ASSERT_EQ(bob.got_hits, 1) << "Ann's bullet must reach Bob";
    const int64_t hitTime = now;
    EXPECT_EQ(bob.ship.speed, HitSpeed) << "a hit flings the ship to 0.009";
    EXPECT_GT(bob.ship.edge->dir.x, 0) << "a ship hit head-on turns round";

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
    Start(LinePoints(3, 2), {{0, 0, 90}}, {"Ann"});
    P(0).ship.PlaceOn(Edge(0, 1), 1.8f);
    manager.OnControl(kControlFire, 0, true);
    EXPECT_EQ(P(0).bullet.edge, Edge(1, 2)) << "less than 0.5 ahead: the next edge";
    EXPECT_FLOAT_EQ(P(0).bullet.distance, 0.5f) << "0.5 into the next edge, not the remainder";
    ASSERT_EQ(sink.updates.size(), 1u) << "firing sends the player's update";
}

TEST_F(Race, BulletRunningRoundALoopIntoItsOwnShipIsReloadedWithoutAHit) {
    Start(LoopPoints(2), {{0, 0, 90}}, {"Ann"});
    Player& ann = P(0);
    manager.OnControl(kControlFire, 0, true);
    StepOnce();
    EXPECT_FALSE(ann.bullet_loaded) << "the bullet is not caught in the step it was fired";
    while (!ann.bullet_loaded && now < 5000) StepOnce();
    EXPECT_TRUE(ann.bullet_loaded) << "the bullet came round and was caught by its own ship";
    EXPECT_EQ(ann.got_hits + ann.made_hits, 0) << "a player's own bullet never hits it";
}

// Only the head-on meeting here: which ship is pushed back in the other meetings is the
// collision tests' part; this one shows both ships' collision events fire.
TEST_F(Race, ShipsThatMeetHeadOnBothTurnRoundAndFireTheirCollisionEvents) {
    Start(LinePoints(30, 1), {{0, 0, 90}, {10, 0, 270}}, {"Ann", "Bob"});
    journal.Bind(P(0).ship.collision, "Ann collision");
    journal.Bind(P(1).ship.collision, "Bob collision");
    manager.OnControl(kControlSpeedUp, 0, true);
    manager.OnControl(kControlSpeedUp, 1, true);
    while (journal.entries.empty() && now < 10000) StepOnce();
    EXPECT_EQ(journal.entries, (std::vector<std::string>{"Bob collision start", "Ann collision start"}));
    EXPECT_LT(P(0).ship.edge->dir.x, 0) << "Ann turned round";
    EXPECT_GT(P(1).ship.edge->dir.x, 0) << "Bob turned round";
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        Start(TJunction(c.even), {{0, -5, 180}}, {"Ann"});  // on the stem, facing up
        manager.OnControl(kControlSpeedUp, 0, true);
        if (c.key != 0) manager.OnControl(c.key, 0, true);
        while (P(0).ship.position.y < 0 && now < 10000) StepOnce();
        StepOnce();
        EXPECT_EQ(P(0).ship.edge->dir.x, c.expectedDirX);
    }
}

TEST_F(Race, ScriptedMatchEndsWithOneWinLineAndLaterHitsChangeNothing) {
    Start(LinePoints(41, 10), {{0, 0, 90}, {100, 0, 270}}, {"Ann", "Bob"});
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

TEST_F(Race, KeysGoToLocalPlayersInNamingOrderAndOnlyChangesAreSent) {
    Start(LinePoints(3, 5), {{0, 0, 90}, {10, 0, 270}, {5, 0, 270}}, {});
    manager.SetPlayerInfo(2, "Cat", true);
    manager.SetPlayerInfo(0, "Remote", false);
    manager.SetPlayerInfo(1, "Dan", true);
    manager.OnControl(kControlTurnLeft, 0, true);
    manager.OnControl(kControlTurnRight, 1, true);
    manager.OnControl(kControlTurnLeft, 2, true);  // there is no third local player
    EXPECT_EQ(P(2).ship.turn, kTurnLeft) << "the first local player named takes local controls 0";
    EXPECT_EQ(P(1).ship.turn, kTurnRight) << "the second takes local controls 1";
    EXPECT_EQ(P(0).ship.turn, kTurnStraight) << "a remote player takes no local controls";

    const size_t sent = sink.updates.size();
    manager.OnControl(kControlTurnLeft, 0, true);
    EXPECT_EQ(sink.updates.size(), sent) << "no change, nothing sent";
}

// Bob is a remote player whose updates arrive from the network.
class Received : public Race {
protected:
    void SetUp() override {
        Race::SetUp();
        Start(LinePoints(4, 5), {{0, 0, 90}, {15, 0, 270}}, {"Ann"});
        manager.SetPlayerInfo(1, "Bob", false);
        manager.SetPlayerActive(1, true);
        sink.updates.clear();
    }

    static PlayerUpdate BobAt(int edge, float distance, uint8_t flags = kUpdateBulletLoaded | kUpdateShipLeft) {
        PlayerUpdate update;
        update.player_id = 1;
        update.flags = flags;
        update.ship_edge = static_cast<int16_t>(edge);
        update.ship_distance = distance;
        update.made_hits = 2;
        update.bullet_edge = 2;
        update.bullet_distance = 3;
        return update;
    }
};

TEST_F(Received, UpdatesMoveTheRemoteShipAndFireOrReloadItsBullet) {
    manager.ApplyUpdate(BobAt(2, 1.5f));
    Player& bob = P(1);
    EXPECT_EQ(bob.ship.edge, manager.Path().Edge(2));
    EXPECT_EQ(manager.ScoreText(), "Ann made hits:0, got hits:0\nBob made hits:2, got hits:0\n");
    EXPECT_TRUE(sink.updates.empty()) << "a remote player's update is not sent on";

    PlayerUpdate fired = BobAt(2, 1, kUpdateBulletRight);
    manager.ApplyUpdate(fired);
    ASSERT_FALSE(bob.bullet_loaded) << "the remote bullet flies here too";
    EXPECT_EQ(bob.bullet.edge, manager.Path().Edge(2));
    manager.ApplyUpdate(BobAt(2, 1));
    EXPECT_TRUE(bob.bullet_loaded) << "reloaded there, reloaded here";
}

TEST_F(Received, DamagedOrStrayUpdatesMoveNothing) {
    const PathEdge* before = P(1).ship.edge;
    PlayerUpdate unknown = BobAt(1, 1), past = BobAt(6, 0), notANumber = BobAt(1, 1);
    unknown.player_id = 9;
    notANumber.ship_speed = std::numeric_limits<float>::infinity();
    struct Case {
        const PlayerUpdate& update;
        const char* logged;
    } cases[] = {
        {unknown, "Update from a not existing player 9 "},
        {past, "Update for 1 player names ship edge 6, outside the 6 edges"},
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

}  // namespace
