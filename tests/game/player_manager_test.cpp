#include "game/player_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <thread>

#include "app/ini_file.h"
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
        Model& bullet = models.emplace_back();
        return manager.AddPlayer(&ship, &bullet);
    }

    // Places every player and lets the named ones race as local players.
    void Start(const std::vector<std::string>& names) {
        ASSERT_EQ(manager.PlacePlayers(), static_cast<int>(manager.PlayerCount()));
        for (size_t id = 0; id < names.size(); ++id) {
            manager.SetPlayerInfo(static_cast<int>(id), names[id], true);
            manager.SetPlayerActive(static_cast<int>(id), true);
        }
        sink.updates.clear();
    }

    void StepOnce(int frame = 20) {
        now += frame;
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

TEST_F(Race, AddedPlayerWaitsHiddenWithItsBulletLoaded) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(2, 10)));
    Player* player = Add(0, 0, 90);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->id, 0) << "ids are list positions";
    EXPECT_FALSE(player->active) << "a new player is not in the game yet";
    EXPECT_FALSE(player->ship.model->visible) << "nor shown";
    EXPECT_FALSE(player->bullet.model->visible);
    EXPECT_TRUE(player->bullet_loaded);
    EXPECT_EQ(player->ship.model->attached.size(), 1u) << "the bullet starts loaded on the ship";
    EXPECT_EQ(Add(5, 0, 0)->id, 1);
    EXPECT_EQ(manager.AddPlayer(nullptr, nullptr), nullptr);
}

TEST_F(Race, PlacingRoundsToOneDecimalWithHalvesDown) {
    std::vector<PathPoint> points = {MakePoint(0, 0.2f, 0, -1, 1), MakePoint(1, 5, 0, -1, -1, -1, 0)};
    ASSERT_TRUE(manager.BuildPath(points));
    Add(0.25f, 0.04f, 90);  // 2.5 tenths round down to 0.2, 0.4 tenths to 0
    Add(0.26f, 0, 90);      // 2.6 tenths round up to 0.3: no point there
    EXPECT_EQ(manager.PlacePlayers(), 1);
    EXPECT_TRUE(P(0).placed) << "0.25 rounds to the point at 0.2";
    EXPECT_FALSE(P(1).placed) << "0.26 rounds to 0.3, where there is no point";
    EXPECT_EQ(manager.CountPlaced(), 1);
}

TEST_F(Race, StartEdgeFollowsTheModelsRotationAboutZ) {
    ASSERT_TRUE(manager.BuildPath(GridPoints(3, 3, 1)));
    const PathGraph& path = manager.Path();
    struct Case {
        float x, y, rotation;
        int to;  // expected far point of the start edge, -1 not placed
        const char* rule;
    } cases[] = {
        {1, 1, 90, 5, "90 degrees starts Right"},
        {1, 1, -90.5f, 3, "a negative angle counts from 360: Left"},
        {1, 1, 180, 7, "180 starts Up"},
        {1, 1, 0.9f, 1, "whole degrees: 0.9 is 0, Down"},
        {1, 1, 45, 7, "no edge at the angle: Up"},
        {1, 2, 45, -1, "no edge at the angle and none Up: not placed"},
    };
    for (const Case& c : cases) Add(c.x, c.y, c.rotation);
    manager.PlacePlayers();
    for (size_t i = 0; i < std::size(cases); ++i) {
        Player& player = P(static_cast<int>(i));
        if (cases[i].to < 0) {
            EXPECT_FALSE(player.placed) << cases[i].rule;
            continue;
        }
        ASSERT_TRUE(player.placed) << cases[i].rule;
        EXPECT_EQ(player.ship.edge, FindEdge(path, 4, cases[i].to)) << cases[i].rule;
        EXPECT_EQ(player.ship.distance, 0);
        EXPECT_EQ(player.ship.model->rotation.z, 0) << "the model's own rotation is cleared";
        EXPECT_FALSE(player.active);
    }
}

TEST_F(Race, NoPlayerOnThePathIsAnError) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(2, 10)));
    Add(3, 3, 0);
    ReportCapture log;
    EXPECT_EQ(manager.PlacePlayers(), 0);
    EXPECT_TRUE(log.Contains("No players for this game?")) << log.Joined();
}

TEST_F(Race, HoldingSpeedUpFromRestReachesMaxSpeedAfter400ms) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(2, 100)));
    Add(0, 0, 90);
    Start({"Ann"});
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
        << "one accelerate start when pressed and one stop at the top speed";
    manager.OnControl(kControlSpeedUp, 0, false);
    EXPECT_EQ(sink.CountFor(0), 1) << "releasing the key after the top speed changes nothing and sends nothing";
    EXPECT_NEAR(P(0).ship.position.x, AccelStep * 20 * (20 * 21 / 2) + MaxSpeed * 400, 1e-5)
        << "each step moves at the speed reached at its end, then 400 ms at top speed";
}

TEST_F(Race, ShipHitAtTopSpeedIsFlungRoundAndSlowsBackIn4000ms) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(60, 2)));
    Add(0, 0, 90);    // Ann, facing right
    Add(40, 0, 270);  // Bob, facing left towards Ann
    Start({"Ann", "Bob"});
    Player& bob = P(1);
    journal.Bind(bob.ship.hit, "hit");
    manager.OnControl(kControlSpeedUp, 1, true);
    while (now < 400) StepOnce();
    ASSERT_EQ(bob.ship.speed, MaxSpeed);
    manager.OnControl(kControlFire, 0, true);
    while (bob.got_hits == 0 && now < 20000) StepOnce();
    ASSERT_EQ(bob.got_hits, 1) << "Ann's bullet must reach Bob";
    const int64_t hitTime = now;
    EXPECT_EQ(bob.ship.speed, HitSpeed) << "a hit flings the ship to 0.009";
    EXPECT_GT(bob.ship.edge->dir.x, 0) << "a ship hit head-on turns round";
    EXPECT_EQ(journal.Count("hit start"), 1);
    EXPECT_EQ(MessageCount("Ann hit Bob"), 1);
    EXPECT_EQ(P(0).made_hits, 1);
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

TEST_F(Race, FiringNearTheEndOfAnEdgeStartsTheBulletHalfIntoTheNextAndSendsIt) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 2)));
    Add(0, 0, 90);
    Start({"Ann"});
    P(0).ship.PlaceOn(FindEdge(manager.Path(), 0, 1), 1.8f);
    manager.OnControl(kControlFire, 0, true);
    EXPECT_EQ(P(0).bullet.edge, FindEdge(manager.Path(), 1, 2)) << "less than 0.5 ahead: the next edge";
    EXPECT_FLOAT_EQ(P(0).bullet.distance, 0.5f) << "0.5 into the next edge, not the remainder";
    ASSERT_EQ(sink.updates.size(), 1u) << "firing sends the player's update";
    const PlayerUpdate& sent = sink.updates[0];
    EXPECT_EQ(sent.flags & kUpdateBulletLoaded, 0);
    EXPECT_EQ(sent.bullet_edge, FindEdge(manager.Path(), 1, 2)->index);
    EXPECT_FLOAT_EQ(sent.bullet_distance, 0.5f);
    manager.OnControl(kControlFire, 0, false);
    manager.OnControl(kControlFire, 0, true);
    EXPECT_EQ(sink.updates.size(), 1u) << "no second shot while the bullet flies";
}

TEST_F(Race, BulletRunningRoundALoopIntoItsOwnShipIsReloadedWithoutAHit) {
    ASSERT_TRUE(manager.BuildPath(LoopPoints(2)));
    Add(0, 0, 90);
    Start({"Ann"});
    Player& ann = P(0);
    journal.Bind(ann.loaded, "loaded");
    manager.OnControl(kControlFire, 0, true);
    StepOnce();
    EXPECT_FALSE(ann.bullet_loaded) << "the bullet is not caught in the step it was fired";
    while (!ann.bullet_loaded && now < 5000) StepOnce();
    EXPECT_TRUE(ann.bullet_loaded) << "the bullet came round and was caught by its own ship";
    EXPECT_GT(now, 2000) << "after running round the 8-unit loop";
    EXPECT_EQ(journal.Count("loaded start"), 1);
    EXPECT_EQ(ann.got_hits, 0) << "a player's own bullet never hits it";
    EXPECT_EQ(ann.made_hits, 0);
    EXPECT_FALSE(ann.ship.hit_mode);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Race, HeadOnShipsBothTurnRound) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(30, 1)));
    Add(0, 0, 90);
    Add(10, 0, 270);
    Start({"Ann", "Bob"});
    journal.Bind(P(0).ship.collision, "Ann collision");
    journal.Bind(P(1).ship.collision, "Bob collision");
    manager.OnControl(kControlSpeedUp, 0, true);
    manager.OnControl(kControlSpeedUp, 1, true);
    while (journal.Entries().empty() && now < 10000) StepOnce();
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"Bob collision start", "Ann collision start"}))
        << "both ships collide";
    EXPECT_LT(P(0).ship.edge->dir.x, 0) << "Ann turned round";
    EXPECT_GT(P(1).ship.edge->dir.x, 0) << "Bob turned round";
    EXPECT_GE(sink.CountFor(0), 2) << "the collision sends Ann's update";
    EXPECT_GE(sink.CountFor(1), 2) << "the collision sends Bob's update";
    const float gap = P(1).ship.position.x - P(0).ship.position.x;
    StepOnce();
    EXPECT_GT(P(1).ship.position.x - P(0).ship.position.x, gap) << "after the collision they move apart";
}

TEST_F(Race, FasterShipCatchingASlowerOneOnOneEdgeIsPushedBack) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(2, 30)));
    Add(0, 0, 90);
    Add(30, 0, 270);
    Start({"Ann", "Bob"});
    Player& bob = P(1);
    bob.ship.rotation = {0, 0, 90};
    bob.ship.PlaceOn(FindEdge(manager.Path(), 0, 1), 5);  // standing ahead of Ann, same way
    bob.ship.model->location = bob.ship.position;
    journal.Bind(P(0).ship.collision, "Ann collision");
    journal.Bind(bob.ship.collision, "Bob collision");
    manager.OnControl(kControlSpeedUp, 0, true);
    while (journal.Entries().empty() && now < 10000) StepOnce();
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"Ann collision start"}))
        << "only the ship behind is pushed back";
    EXPECT_LT(P(0).ship.edge->dir.x, 0) << "the moving ship behind turns round";
    EXPECT_EQ(bob.ship.edge, FindEdge(manager.Path(), 0, 1)) << "the ship in front stays";
    EXPECT_FLOAT_EQ(bob.ship.distance, 5);
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
        manager.Clear();
        models.clear();
        ASSERT_TRUE(manager.BuildPath(TJunction(c.even)));
        Add(0, -5, 180);  // on the stem, facing up
        Start({"Ann"});
        manager.OnControl(kControlSpeedUp, 0, true);
        if (c.key != 0) manager.OnControl(c.key, 0, true);
        now = 0;
        manager.Clock().Reset();
        while (P(0).ship.position.y < 0 && now < 10000) StepOnce();
        StepOnce();
        EXPECT_EQ(P(0).ship.edge->dir.x, c.expectedDirX) << c.rule;
    }
}

TEST_F(Race, ScriptedMatchEndsWithOneWinLineAndLaterHitsChangeNothing) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(41, 10)));
    Add(0, 0, 90);
    Add(100, 0, 270);
    manager.SetMaxHits(3);
    Start({"Ann", "Bob"});
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
    EXPECT_EQ(messages.back(), "Ann hit Bob");
}

TEST_F(Race, ScoreListsActivePlayersAndAnnouncesJoiningAndLeaving) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 5)));
    Add(0, 0, 90);
    Add(10, 0, 270);
    manager.SetAnnounce(true);
    ASSERT_EQ(manager.PlacePlayers(), 2);
    manager.SetPlayerInfo(0, "Ann", true);
    manager.SetPlayerActive(0, true);
    EXPECT_EQ(manager.ScoreText(), "Ann made hits:0, got hits:0\n") << "only active players are scored";
    manager.SetPlayerActive(1, true);
    manager.SetPlayerActive(1, false);
    manager.SetPlayerInfo(1, "Bob", false);
    manager.SetPlayerActive(1, true);
    manager.SetPlayerActive(1, false);
    EXPECT_EQ(messages, (std::vector<std::string>{"Ann joined the game.", " joined the game.", "Bob joined the game.",
                                                   "Bob left the game."}))
        << "a nameless player's leaving is not announced";
    EXPECT_TRUE(P(0).ship.model->visible) << "an active player is shown";
    EXPECT_FALSE(P(1).ship.model->visible) << "an inactive one hidden";
}

TEST_F(Race, ControlsGoToTheLocalPlayersInTheOrderTheyWereNamed) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 5)));
    Add(0, 0, 90);
    Add(10, 0, 270);
    Add(5, 0, 270);
    ASSERT_EQ(manager.PlacePlayers(), 3);
    manager.SetPlayerInfo(2, "Cat", true);
    manager.SetPlayerInfo(0, "Remote", false);
    manager.SetPlayerInfo(1, "Dan", true);
    manager.OnControl(kControlTurnLeft, 0, true);
    manager.OnControl(kControlTurnRight, 1, true);
    EXPECT_EQ(P(2).ship.turn, kTurnLeft) << "the first local player named takes local controls 0";
    EXPECT_EQ(P(1).ship.turn, kTurnRight) << "the second takes local controls 1";
    EXPECT_EQ(P(0).ship.turn, kTurnStraight) << "a remote player takes no local controls";
    manager.OnControl(kControlTurnLeft, 2, true);  // there is no third local player
}

TEST_F(Race, TurnKeysFollowTheHeldKeysAndSendOnlyChanges) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 5)));
    Add(0, 0, 90);
    Start({"Ann"});
    Player& ann = P(0);
    manager.OnControl(kControlTurnLeft, 0, true);
    EXPECT_EQ(ann.ship.turn, kTurnLeft);
    EXPECT_EQ(ann.bullet.turn, kTurnLeft) << "a loaded bullet turns with its ship";
    StepOnce();
    StepOnce();
    EXPECT_EQ(ann.bullet.model->rotation.z, 10) << "the loaded bullet tilts 10 degrees while its player turns left";
    manager.OnControl(kControlTurnRight, 0, true);
    EXPECT_EQ(ann.ship.turn, kTurnRight) << "the last key pressed wins";
    manager.OnControl(kControlTurnRight, 0, false);
    EXPECT_EQ(ann.ship.turn, kTurnLeft) << "releasing right while left is held turns left";
    EXPECT_EQ(sink.updates.size(), 3u) << "every change is sent";
    manager.OnControl(kControlTurnLeft, 0, true);
    EXPECT_EQ(sink.updates.size(), 3u) << "no change, nothing sent";
    EXPECT_EQ(sink.updates.back().flags & (kUpdateShipLeft | kUpdateLeftHeld), kUpdateShipLeft | kUpdateLeftHeld);
    manager.OnControl(kControlTurnLeft, 0, false);
    EXPECT_EQ(ann.ship.turn, kTurnStraight) << "no key held: straight";
    manager.SetReplaying(true);
    manager.OnControl(kControlTurnLeft, 0, true);
    EXPECT_EQ(ann.ship.turn, kTurnStraight) << "controls are ignored while a recording is replayed";
}

TEST_F(Race, UpdatesGoToAcceptingSinksOnlyForLocalOrForcedPlayers) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 5)));
    Add(0, 0, 90);
    Add(10, 0, 270);
    ASSERT_EQ(manager.PlacePlayers(), 2);
    manager.SetPlayerInfo(0, "Ann", true);
    RecordingSink second;
    manager.AddUpdateSink(&second);
    ReportCapture log;
    EXPECT_TRUE(manager.SendUpdate(0, false));
    EXPECT_EQ(sink.updates.size(), 1u);
    EXPECT_EQ(second.updates.size(), 1u) << "every accepting sink gets the update";
    EXPECT_TRUE(log.Contains("Send update for 0 player for time 0, score [0/0]")) << log.Joined();
    EXPECT_FALSE(manager.SendUpdate(1, false)) << "a remote player's update is not sent";
    EXPECT_TRUE(manager.SendUpdate(1, true)) << "unless forced";
    sink.accepting = second.accepting = false;
    EXPECT_FALSE(manager.SendUpdate(0, false)) << "nobody to send to";
    sink.accepting = true;
    manager.SetReplaying(true);
    EXPECT_FALSE(manager.SendUpdate(0, true)) << "nothing is sent while a recording is replayed";
    manager.RemoveUpdateSink(&second);
}

class Received : public Race {
protected:
    void SetUp() override {
        Race::SetUp();
        ASSERT_TRUE(manager.BuildPath(LinePoints(4, 5)));
        Add(0, 0, 90);
        Add(15, 0, 270);
        Start({"Ann"});
        manager.SetPlayerInfo(1, "Bob", false);
        manager.SetPlayerActive(1, true);
        sink.updates.clear();
    }

    PlayerUpdate BobAt(int edge, float distance) {
        PlayerUpdate update;
        update.player_id = 1;
        update.time = 500;
        update.flags = kUpdateBulletLoaded | kUpdateShipLeft | kUpdateRightHeld;
        update.ship_edge = static_cast<int16_t>(edge);
        update.ship_distance = distance;
        update.ship_speed = 0.002f;
        update.ship_acceleration = AccelStep;
        return update;
    }
};

TEST_F(Received, UpdateMovesTheRemoteShip) {
    ReportCapture log;
    manager.ApplyUpdate(BobAt(2, 1.5f));
    Ship& ship = P(1).ship;
    EXPECT_EQ(ship.edge, manager.Path().Edge(2));
    EXPECT_FLOAT_EQ(ship.distance, 1.5f);
    EXPECT_FLOAT_EQ(ship.speed, 0.002f);
    EXPECT_EQ(ship.acceleration, AccelStep);
    EXPECT_EQ(ship.turn, kTurnLeft);
    EXPECT_TRUE(ship.right_held && !ship.left_held);
    EXPECT_EQ(ship.last_time, 500);
    EXPECT_TRUE(log.Contains("Received update for 1 player for time 500, score [0/0]")) << log.Joined();
    EXPECT_TRUE(sink.updates.empty()) << "a remote player's update is not sent on";
}

TEST_F(Received, UpdateForAnUnknownPlayerIsDropped) {
    ReportCapture log;
    PlayerUpdate update = BobAt(0, 0);
    update.player_id = 9;
    manager.ApplyUpdate(update);
    EXPECT_NE(log.Joined().find("plr E Update from a not existing player 9 \n"), std::string::npos) << log.Joined();
}

TEST_F(Received, EdgeOutsideTheListIsNotAppliedToThatMover) {
    const PathEdge* before = P(1).ship.edge;
    ReportCapture log;
    manager.ApplyUpdate(BobAt(6, 0));
    EXPECT_EQ(P(1).ship.edge, before) << "an edge index past the list moves nothing";
    EXPECT_EQ(P(1).ship.speed, 0);
    EXPECT_TRUE(log.Contains("Update for 1 player names ship edge 6, outside the 6 edges")) << log.Joined();
    manager.ApplyUpdate(BobAt(-1, 0));
    EXPECT_EQ(P(1).ship.edge, before) << "nor does a negative one";
    PlayerUpdate damaged = BobAt(1, 1);
    damaged.ship_speed = std::numeric_limits<float>::infinity();
    manager.ApplyUpdate(damaged);
    EXPECT_EQ(P(1).ship.edge, before) << "nor a record with a speed that is no number";
    EXPECT_TRUE(log.Contains("Update for 1 player carries a damaged ship state")) << log.Joined();
}

TEST_F(Received, BulletFiredThereIsFiredHereAndReloadedThereIsReloadedHere) {
    PlayerUpdate update = BobAt(2, 1);
    update.flags = kUpdateBulletRight;
    update.bullet_edge = 2;
    update.bullet_distance = 3;
    update.bullet_speed = 0.004f;
    manager.ApplyUpdate(update);
    Player& bob = P(1);
    ASSERT_FALSE(bob.bullet_loaded) << "the remote bullet flies here too";
    EXPECT_EQ(bob.bullet.edge, manager.Path().Edge(2));
    EXPECT_FLOAT_EQ(bob.bullet.distance, 3);
    EXPECT_FLOAT_EQ(bob.bullet.speed, 0.004f);
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
            update.made_hits = static_cast<uint16_t>(i % 3);
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

TEST_F(Received, ChangedHitsRefreshTheScore) {
    PlayerUpdate update = BobAt(2, 1);
    update.made_hits = 2;
    update.got_hits = 1;
    manager.ApplyUpdate(update);
    EXPECT_EQ(manager.ScoreText(), "Ann made hits:0, got hits:0\nBob made hits:2, got hits:1\n");
}

TEST_F(Received, LocalPlayersUpdateIsSentOnAfterApplying) {
    PlayerUpdate update = BobAt(1, 1);
    update.player_id = 0;
    manager.ApplyUpdate(update);
    ASSERT_EQ(sink.updates.size(), 1u) << "a local player's own update comes back and is sent on";
    EXPECT_EQ(sink.updates[0].ship_edge, 1);
}

TEST_F(Race, StopAllStopsEveryTrigger) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 5)));
    Player* player = Add(0, 0, 90);
    journal.Bind(player->fire, "fire");
    journal.Bind(player->loaded, "loaded");
    journal.Bind(player->ship.moving, "moving");
    journal.Bind(player->ship.accelerate, "accelerate");
    journal.Bind(player->ship.slowdown, "slowdown");
    journal.Bind(player->ship.hit, "hit");
    journal.Bind(player->ship.collision, "collision");
    journal.Bind(player->bullet.moving, "bul_moving");
    manager.StopAll();
    EXPECT_EQ(journal.Entries(),
              (std::vector<std::string>{"fire stop", "loaded stop", "moving stop", "accelerate stop", "slowdown stop",
                                        "hit stop", "collision stop", "bul_moving stop"}));
}

TEST_F(Race, ClearForgetsTheLevelAndResetsTheClock) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(3, 5)));
    Add(0, 0, 90);
    Start({"Ann"});
    manager.SetMaxHits(9);
    now = 5000;
    manager.Clear();
    EXPECT_EQ(manager.PlayerCount(), 0u);
    EXPECT_TRUE(manager.Path().Edges().empty());
    EXPECT_EQ(manager.Clock().Now(), 0) << "the game clock restarts";
    EXPECT_EQ(sink.timerResets, 1) << "the timer reset is handed to the recorder";
    EXPECT_EQ(manager.MaxHits(), 5) << "the hit limit goes back to 5";
    EXPECT_FALSE(manager.GameOver());
    manager.OnControl(kControlSpeedUp, 0, true);  // no local player left: nothing happens
}

TEST_F(Race, PathIsSavedThroughTheManager) {
    ASSERT_TRUE(manager.BuildPath(LinePoints(2, 5)));
    IniFile ini;
    manager.SavePath(ini);
    EXPECT_EQ(ini.GetString("path", "point1"), "5,0,0");
}

TEST(PlayerManagerLifetime, LogsItsBirthAndEnd) {
    SpinLock sceneLock;
    ReportCapture log;
    { PlayerManager manager(sceneLock, [] { return int64_t{0}; }); }
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"plr   Player manager is initialized",
                                                     "plr   Player manager is destroyed"}));
}

}  // namespace
