#include "game/path_mover.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game_test_support.h"
#include "scene/model.h"

namespace {

class ShipOnPath : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(graph.Build(LinePoints(2, 100)));
        ship.model = &model;
        ship.rotation = {0, 0, 90};
        ship.PlaceOn(FindEdge(graph, 0, 1), 0);
        journal.Bind(ship.moving, "moving");
        journal.Bind(ship.accelerate, "accelerate");
        journal.Bind(ship.slowdown, "slowdown");
        journal.Bind(ship.hit, "hit");
    }

    // Runs the ship in `frame` ms steps until `until`; returns the first time it was at MaxSpeed.
    int RunUntil(int until, int frame = 20) {
        int reached = -1;
        for (int now = frame; now <= until; now += frame) {
            ship.Update(now);
            if (reached < 0 && ship.speed == MaxSpeed) reached = now;
        }
        return reached;
    }

    PathGraph graph;
    Model model;
    Ship ship;
    TriggerJournal journal;
};

TEST_F(ShipOnPath, SpeedingUpFromRestReachesMaxSpeedAfter400ms) {
    ASSERT_TRUE(ship.SetAcceleration(AccelStep));
    const int reached = RunUntil(600);
    EXPECT_EQ(reached, 400) << "0.003 / 0.00015 × 20 ms: the top speed comes after 400 ms";
    EXPECT_EQ(ship.acceleration, 0) << "the acceleration ends at the top speed";
    EXPECT_EQ(journal.Count("accelerate start"), 1);
    EXPECT_EQ(journal.Count("accelerate stop"), 1) << "accelerate stops once at the top speed";
    EXPECT_EQ(journal.Count("moving start"), 1) << "moving starts when the ship sets off";
}

TEST_F(ShipOnPath, TopSpeedComesAfter400msWhateverTheFrameLength) {
    for (int frame : {1, 8, 10, 16, 25, 40, 50, 80, 100}) {
        ship.speed = 0;
        ship.acceleration = 0;
        ship.last_time = 0;
        ASSERT_TRUE(ship.SetAcceleration(AccelStep));
        EXPECT_EQ(RunUntil(800, frame), 400) << "frames of " << frame << " ms";
    }
}

TEST_F(ShipOnPath, SlowingDownStopsAtRestAndStopsTheSlowdownTrigger) {
    ship.SetSpeed(MaxSpeed);
    ASSERT_TRUE(ship.SetAcceleration(-AccelStep));
    RunUntil(1000);
    EXPECT_EQ(ship.speed, MinSpeed) << "ships never run backwards";
    EXPECT_EQ(journal.Count("slowdown stop"), 1) << "slowdown stops when the ship comes to rest";
    EXPECT_EQ(journal.Count("moving stop"), 1) << "moving stops when the ship halts";
}

TEST_F(ShipOnPath, AccelerationIsRefusedAtTheLimitsAndWhenUnchanged) {
    EXPECT_FALSE(ship.SetAcceleration(-AccelStep)) << "no slowing down at rest";
    EXPECT_FALSE(ship.SetAcceleration(0)) << "an unchanged acceleration is no change";
    ship.SetSpeed(MaxSpeed);
    EXPECT_FALSE(ship.SetAcceleration(AccelStep)) << "no speeding up at the top speed";
    EXPECT_TRUE(ship.SetAcceleration(-AccelStep));
    ship.speed = MaxSpeed / 2;
    EXPECT_TRUE(ship.SetAcceleration(AccelStep)) << "switching from slowing down to speeding up";
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"moving start", "slowdown start", "slowdown stop",
                                                            "accelerate start"}))
        << "the old sign's trigger stops before the new one starts";
}

TEST_F(ShipOnPath, HitAtTopSpeedFlingsTheShipAndItSlowsBackIn4000ms) {
    ship.SetSpeed(MaxSpeed);
    ship.EnterHitMode();
    EXPECT_EQ(ship.speed, HitSpeed) << "a hit flings the ship to 3 × MaxSpeed";
    EXPECT_TRUE(ship.hit_mode);
    EXPECT_EQ(journal.Count("hit start"), 1);
    EXPECT_EQ(journal.Count("slowdown start"), 1) << "the ship slows down after a hit";
    EXPECT_FALSE(ship.SetAcceleration(AccelStep)) << "speed keys do nothing in hit mode";
    EXPECT_FALSE(ship.StopAcceleration()) << "releasing a speed key does nothing in hit mode";
    RunUntil(3980);
    EXPECT_TRUE(ship.hit_mode) << "still slowing down before 4000 ms";
    ship.Update(4000);
    EXPECT_FALSE(ship.hit_mode) << "(0.009 - 0.003) / 0.00003 × 20 ms = 4000 ms of slowing down";
    EXPECT_EQ(ship.speed, MaxSpeed) << "the ship ends at the speed it had";
    EXPECT_EQ(ship.acceleration, 0);
    EXPECT_EQ(journal.Count("slowdown stop"), 1);
}

TEST_F(ShipOnPath, SpeedHigherThanMaxIsTheTargetNotTheHitSpeed) {
    ship.SetSpeed(HitSpeed);
    ship.EnterHitMode();
    EXPECT_EQ(ship.hit_target_speed, MaxSpeed) << "a ship hit while flung returns to at most MaxSpeed";
}

TEST_F(ShipOnPath, AdvanceMovesAlongTheEdge) {
    ship.SetSpeed(0.01f);
    ship.Update(100);
    EXPECT_FLOAT_EQ(ship.distance, 1.0f);
    EXPECT_FLOAT_EQ(ship.position.x, 1.0f);
    EXPECT_EQ(ship.prev_distance, 0) << "the previous place is where the step began";
    ship.Update(50);
    EXPECT_FLOAT_EQ(ship.distance, 1.0f) << "a clock set back does not run the ship backwards";
}

TEST(PathMoverAdvance, CarriesTheRestIntoTheNextEdgesAndListsThePassedOnes) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LoopPoints(2)));
    Model model;
    Ship ship;
    ship.model = &model;
    ship.PlaceOn(FindEdge(graph, 0, 1), 1.5f);
    ship.Advance(3.0f);  // 0.5 to point 1, 2 along 1→2, 0.5 into 2→3
    EXPECT_EQ(ship.edge, FindEdge(graph, 2, 3));
    EXPECT_FLOAT_EQ(ship.distance, 0.5f);
    ASSERT_EQ(ship.passed_edges.size(), 1u) << "the edge now occupied is not listed as passed";
    EXPECT_EQ(ship.passed_edges[0], FindEdge(graph, 1, 2));
    EXPECT_FLOAT_EQ(ship.position.x, 1.5f);
    EXPECT_FLOAT_EQ(ship.position.y, 2.0f);
}

TEST(PathMoverAdvance, ZeroLengthLoopDoesNotHang) {
    // A point that is its own Right and Left neighbour makes edges of length 0.
    std::vector<PathPoint> points = {MakePoint(0, 0, 0, -1, 0, -1, 0)};
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points));
    Bullet bullet;
    Model model;
    bullet.model = &model;
    bullet.PlaceOn(&graph.Edges()[0], 0);
    bullet.Advance(1.0f);
    EXPECT_LE(bullet.passed_edges.size(), static_cast<size_t>(kMaxEdgesPerAdvance))
        << "one step enters a bounded number of edges";
    bullet.Advance(1e30f);
}

TEST(PathMoverTurning, CornerAtTopSpeedTurnsIn333ms) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LoopPoints(10)));
    Model model;
    Ship ship;
    ship.model = &model;
    ship.PlaceOn(FindEdge(graph, 0, 1), 0);
    ship.rotation = ship.edge->rot;
    ship.turning = false;
    ship.SetSpeed(MaxSpeed);
    ship.SetEdge(FindEdge(graph, 1, 2), 0);  // Right (90) to Up (180)
    EXPECT_TRUE(ship.turning);
    EXPECT_FLOAT_EQ(ship.turn_step.z, 90 * MaxSpeed) << "a turn takes one world unit at the speed of entry";
    ship.Rotate(160);
    EXPECT_NEAR(ship.rotation.z, 90 + 160 * 90 * MaxSpeed, 1e-3);
    const Vec3 heading = HeadingOf(ship.rotation);
    EXPECT_NEAR(ship.velocity.x, MaxSpeed * heading.x, 1e-7) << "while turning the velocity follows the rotation";
    ship.Rotate(160);
    EXPECT_TRUE(ship.turning) << "320 ms are not yet a full turn";
    ship.Rotate(20);
    EXPECT_FALSE(ship.turning) << "the turn snaps to the heading once the rest is smaller than a step";
    EXPECT_EQ(ship.rotation.z, 180);
    EXPECT_FLOAT_EQ(ship.velocity.y, MaxSpeed) << "after the turn the velocity follows the edge";
}

TEST(PathMoverTurning, TurningAtRestUsesTheStandingRateAndWrapsTheShortWay) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LinePoints(2, 1)));
    Ship ship;
    ship.rotation = {0, 0, 350};
    ship.SetEdge(FindEdge(graph, 1, 0), 0);  // heading 270
    EXPECT_FLOAT_EQ(ship.turn_step.z, -80 * kStandingTurnRate) << "from 350 to 270 is 80 degrees back";
    ship.rotation = {0, 0, 90};
    ship.SetEdge(FindEdge(graph, 1, 0), 0);
    EXPECT_FLOAT_EQ(ship.turn_step.z, 180 * kStandingTurnRate);
    ship.rotation = {0, 0, 270};
    ship.SetEdge(FindEdge(graph, 1, 0), 0);
    EXPECT_FALSE(ship.turning) << "an edge along the ship's heading needs no turn";
}

TEST(PathMoverHeading, EdgeHeadingsPointAlongTheirEdges) {
    for (const Vec3& rot : {Vec3{0, 0, 90}, Vec3{0, 0, 180}, Vec3{0, 0, 0}, Vec3{0, 0, 270}}) {
        const Vec3 heading = HeadingOf(rot);
        const float expectedX = rot.z == 90 ? 1.f : rot.z == 270 ? -1.f : 0.f;
        const float expectedY = rot.z == 180 ? 1.f : rot.z == 0 ? -1.f : 0.f;
        EXPECT_NEAR(heading.x, expectedX, 1e-6) << "heading x for rotation " << rot.z;
        EXPECT_NEAR(heading.y, expectedY, 1e-6) << "heading y for rotation " << rot.z;
    }
}

TEST(BulletTilt, TiltsTenDegreesTheWayItsPlayerTurnsAndLevelsWhenStraight) {
    Bullet bullet;
    bullet.level_rotation = {0, 0, 30};
    bullet.turn = kTurnLeft;
    bullet.Tilt();
    bullet.Tilt();
    EXPECT_EQ(bullet.rotation.z, 40) << "a left turn tilts the bullet by +10, however many steps it lasts";
    bullet.turn = kTurnRight;
    bullet.Tilt();
    EXPECT_EQ(bullet.rotation.z, 20) << "a right turn tilts it by -10";
    bullet.turn = kTurnStraight;
    bullet.Tilt();
    EXPECT_EQ(bullet.rotation.z, 30) << "going straight levels it";
    EXPECT_TRUE(bullet.SetAcceleration(1)) << "a bullet accepts any acceleration and ignores it";
}

TEST(PathMoverTriggers, HidingStopsEveryTriggerInBindingOrder) {
    Ship ship;
    Model model;
    ship.model = &model;
    TriggerJournal journal;
    journal.Bind(ship.moving, "moving");
    journal.Bind(ship.moving, "moving2");
    journal.Bind(ship.collision, "collision");
    ship.SetVisible(false);
    EXPECT_FALSE(model.visible);
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"moving stop", "moving2 stop", "collision stop"}))
        << "a trigger calls its actions in binding order";
}

}  // namespace
