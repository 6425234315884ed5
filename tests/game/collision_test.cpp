#include "game/collision.h"

#include <gtest/gtest.h>

#include "game/path_mover.h"
#include "game_test_support.h"
#include "scene/model.h"

namespace {

class TwoShips : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(graph.Build(LinePoints(5, 10)));
        right = FindEdge(graph, 0, 1);
        left = FindEdge(graph, 1, 0);
        for (Ship* ship : {&a, &b}) ship->model = ship == &a ? &modelA : &modelB;
        a.owner_id = 0;
        b.owner_id = 1;
        journal.Bind(a.moving, "a moving");
        journal.Bind(b.moving, "b moving");
    }

    // Puts the mover at `start`, where its model stood after the last step, then moves it by `travel`.
    static void Move(PathMover& mover, const PathEdge* edge, float start, float travel, float speed) {
        mover.PlaceOn(edge, start);
        mover.model->location = mover.position;
        mover.speed = speed;
        mover.Advance(travel);
    }

    PathGraph graph;
    const PathEdge* right = nullptr;
    const PathEdge* left = nullptr;
    Model modelA, modelB;
    Ship a, b;
    TriggerJournal journal;
};

TEST_F(TwoShips, HeadOnBothTurnRound) {
    Move(a, right, 4, 1, MaxSpeed);    // x 4 → 5
    Move(b, left, 3.5f, 1, MaxSpeed);  // x 6.5 → 5.5
    ASSERT_TRUE(Collide(a, b, kShipCollisionRadius, false));
    EXPECT_TRUE(a.blocked && b.blocked) << "head-on blocks both ships";
    EXPECT_EQ(a.edge, left) << "a is turned round";
    EXPECT_FLOAT_EQ(a.position.x, 4) << "a is put back where its step began";
    EXPECT_FLOAT_EQ(a.distance, 6);
    EXPECT_EQ(b.edge, right) << "b is turned round";
    EXPECT_FLOAT_EQ(b.position.x, 6.5f);
}

TEST_F(TwoShips, FasterShipCatchingUpOnOneEdgeIsPushedBackWhicheverIsTested) {
    for (bool catcherFirst : {true, false}) {
        Move(a, right, 4, 1, MaxSpeed);  // catching up: x 4 → 5
        Move(b, right, 5.5f, 0, 0);      // standing at 5.5
        a.blocked = b.blocked = false;
        const bool met = catcherFirst ? Collide(a, b, kShipCollisionRadius, false)
                                      : Collide(b, a, kShipCollisionRadius, false);
        ASSERT_TRUE(met);
        EXPECT_TRUE(a.blocked) << "the ship behind is pushed back (tested " << (catcherFirst ? "first" : "second") << ")";
        EXPECT_EQ(a.edge, left) << "a moving ship pushed back is turned round";
        EXPECT_FALSE(b.blocked) << "the ship in front is left alone";
        EXPECT_EQ(b.edge, right);
        EXPECT_FLOAT_EQ(b.distance, 5.5f);
    }
}

TEST_F(TwoShips, AShipAtRestPushedBackIsNotTurned) {
    Move(a, right, 5, 0, 0);
    Move(b, left, 4.8f, 0, 0);  // x 5.2, facing a
    ASSERT_TRUE(Collide(a, b, kShipCollisionRadius, false));
    EXPECT_EQ(a.edge, right) << "only a moving ship turns round in a ship collision";
    EXPECT_EQ(b.edge, left);
}

TEST_F(TwoShips, PassingThroughEachOtherWithinOneStepIsACollision) {
    Move(a, right, 9.5f, 12, 0.1f);                  // ends at x 21.5, passed 1→2
    Move(b, FindEdge(graph, 3, 2), 9.5f, 12, 0.1f);  // ends at x 8.5, passed 2→1
    ASSERT_EQ(a.passed_edges.size(), 1u);
    ASSERT_TRUE(Collide(a, b, kShipCollisionRadius, false)) << "ships that cross on an edge collide";
    EXPECT_EQ(a.edge, left) << "both turn round where their step began";
    EXPECT_FLOAT_EQ(a.position.x, 9.5f);
    EXPECT_EQ(b.edge, FindEdge(graph, 2, 3));
    EXPECT_TRUE(a.passed_edges.empty()) << "a pushed-back mover has passed nothing";
}

TEST_F(TwoShips, MeetingOnEdgesThatDoNotJoinBlocksBoth) {
    Move(a, FindEdge(graph, 1, 2), 9.6f, 0.2f, MaxSpeed);  // x 19.8, about to reach point 2
    Move(b, FindEdge(graph, 2, 3), 0.3f, 0.2f, MaxSpeed);  // x 20.5, just past it
    ASSERT_TRUE(Collide(a, b, kShipCollisionRadius, false));
    EXPECT_TRUE(a.blocked && b.blocked) << "b's edge does not end where a's begins: both are blocked";
    EXPECT_EQ(a.edge, FindEdge(graph, 2, 1));
    EXPECT_EQ(b.edge, FindEdge(graph, 3, 2));
}

TEST_F(TwoShips, ShipComingOffTheEdgeBehindIsTheOneBlocked) {
    Move(a, FindEdge(graph, 1, 2), 0.1f, 0.2f, MaxSpeed);  // x 10.3, just past point 1
    Move(b, right, 9.3f, 0.2f, MaxSpeed);                 // x 9.5, on the edge that ends at point 1
    ASSERT_TRUE(Collide(a, b, kShipCollisionRadius, false));
    EXPECT_FALSE(a.blocked) << "the ship ahead is left alone";
    EXPECT_TRUE(b.blocked) << "b's edge ends where a's begins: b ran into a";
    EXPECT_EQ(b.edge, left);
}

TEST_F(TwoShips, OvertakingWithinOneStepBlocksTheSlowerOne) {
    for (bool aFaster : {true, false}) {
        a.blocked = b.blocked = false;
        a.passed_edges.clear();
        b.passed_edges.clear();
        Move(a, right, 9.5f, 21, aFaster ? 0.2f : 0.1f);  // through 1→2 and 2→3, ends at x 30.5
        Move(b, right, 9, 12, 0.1f);                      // through 1→2, ends at x 21
        ASSERT_TRUE(Collide(a, b, kShipCollisionRadius, false)) << "both passed along 1→2 in this step";
        EXPECT_EQ(a.blocked, !aFaster) << "a ship not faster than the other is the one blocked";
        EXPECT_EQ(b.blocked, aFaster) << "when a is faster, b is blocked";
    }
}

TEST_F(TwoShips, FarApartNothingHappens) {
    Move(a, right, 1, 1, MaxSpeed);
    Move(b, right, 8, 1, MaxSpeed);
    EXPECT_FALSE(Collide(a, b, kShipCollisionRadius, false));
    EXPECT_FALSE(a.blocked || b.blocked);
}

TEST_F(TwoShips, PushedBackTwiceInOneStepStops) {
    Move(a, right, 4, 1, MaxSpeed);
    Respond(a, b, true, false, false);
    EXPECT_NE(a.speed, 0) << "the first push back keeps the speed";
    Respond(a, b, true, false, false);
    EXPECT_EQ(a.speed, 0) << "a mover blocked again in the same step stops";
    EXPECT_EQ(journal.Count("a moving stop"), 1) << "and its moving trigger stops";
}

TEST(BulletCollision, HitShipTurnsRoundEvenAtRestAndTheBulletFliesOn) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LinePoints(2, 10)));
    Model shipModel, bulletModel;
    Ship ship;
    Bullet bullet;
    ship.model = &shipModel;
    bullet.model = &bulletModel;
    ship.owner_id = 1;
    bullet.owner_id = 0;
    ship.PlaceOn(FindEdge(graph, 1, 0), 5);  // standing at x 5, facing left
    shipModel.location = ship.position;
    bullet.PlaceOn(FindEdge(graph, 0, 1), 4.5f);
    bulletModel.location = {4.4f, 0, 0};
    bullet.speed = MaxSpeed;
    bullet.Advance(0.2f);  // x 4.7
    ASSERT_TRUE(Collide(ship, bullet, kBulletHitRadius, true));
    EXPECT_EQ(ship.edge, FindEdge(graph, 0, 1)) << "a ship hit by a bullet turns round even at rest";
    EXPECT_FALSE(bullet.blocked) << "a bullet is never blocked";
    EXPECT_FLOAT_EQ(bullet.distance, 4.7f);
}

TEST(BulletCollision, OwnBulletMeetsItsShipWithoutPushingIt) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LinePoints(2, 10)));
    Model shipModel, bulletModel;
    Ship ship;
    Bullet bullet;
    ship.model = &shipModel;
    bullet.model = &bulletModel;
    ship.owner_id = bullet.owner_id = 0;
    ship.PlaceOn(FindEdge(graph, 0, 1), 5);
    shipModel.location = ship.position;
    bullet.PlaceOn(FindEdge(graph, 0, 1), 5.2f);
    EXPECT_TRUE(Collide(ship, bullet, kOwnBulletRadius, true)) << "the bullet is back at its ship";
    EXPECT_FALSE(ship.blocked) << "a player's own bullet never pushes its ship";
    EXPECT_FLOAT_EQ(ship.distance, 5);
}

}  // namespace
