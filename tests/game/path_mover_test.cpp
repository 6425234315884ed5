#include "game/path_mover.h"

#include <gtest/gtest.h>

#include "game_test_support.h"
#include "scene/model.h"

namespace {

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
    EXPECT_EQ(ship.passed_edges, (std::vector<const PathEdge*>{FindEdge(graph, 1, 2)}))
        << "the edge now occupied is not listed as passed";
    EXPECT_FLOAT_EQ(ship.position.x, 1.5f);
    EXPECT_FLOAT_EQ(ship.position.y, 2.0f);

    // A point that is its own Right and Left neighbour makes edges of length 0.
    ASSERT_TRUE(graph.Build({MakePoint(0, 0, 0, -1, 0, -1, 0)}));
    Bullet bullet;
    bullet.model = &model;
    bullet.PlaceOn(&graph.Edges()[0], 0);
    bullet.Advance(1e30f);
    EXPECT_LE(bullet.passed_edges.size(), static_cast<size_t>(kMaxEdgesPerAdvance))
        << "one step enters a bounded number of edges, even round a loop of length 0";
}

TEST(PathMoverTurning, CornerAtTopSpeedTurnsIn333msAndAtRestAtTheStandingRate) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LoopPoints(10)));
    Model model;
    Ship ship;
    ship.model = &model;
    ship.PlaceOn(FindEdge(graph, 0, 1), 0);
    ship.rotation = ship.edge->rot;
    ship.SetSpeed(MaxSpeed);
    ship.SetEdge(FindEdge(graph, 1, 2), 0);  // Right (90) to Up (180)
    EXPECT_FLOAT_EQ(ship.turn_step.z, 90 * MaxSpeed) << "a turn takes one world unit at the speed of entry";
    ship.Rotate(320);
    EXPECT_TRUE(ship.turning) << "320 ms are not yet a full turn";
    ship.Rotate(20);
    EXPECT_FALSE(ship.turning) << "the turn snaps to the heading once the rest is smaller than a step";
    EXPECT_EQ(ship.rotation.z, 180);
    EXPECT_FLOAT_EQ(ship.velocity.y, MaxSpeed) << "after the turn the velocity follows the edge";
    ship.SetSpeed(0);
    ship.rotation = {0, 0, 350};
    ship.SetEdge(FindEdge(graph, 1, 0), 0);  // heading 270
    EXPECT_FLOAT_EQ(ship.turn_step.z, -80 * kStandingTurnRate) << "at rest, from 350 to 270 the short way back";
}

}  // namespace
