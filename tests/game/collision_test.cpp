#include "game/collision.h"

#include <gtest/gtest.h>

#include "game/path_mover.h"
#include "game_test_support.h"
#include "scene/model.h"

namespace {

// Two ships on a line of points 10 apart: 0 (x 0) to 4 (x 40).
class TwoShips : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(graph.Build(LinePoints(5, 10)));
        a.model = &modelA;
        b.model = &modelB;
        a.owner_id = 0;
        b.owner_id = 1;
    }

    // Puts the mover `start` along from→to, where its model stood after the last step, then moves it by `travel`.
    void Move(PathMover& mover, int from, int to, float start, float travel, float speed) {
        mover.blocked = false;
        mover.passed_edges.clear();
        mover.PlaceOn(FindEdge(graph, from, to), start);
        mover.model->location = mover.position;
        mover.speed = speed;
        mover.Advance(travel);
    }

    PathGraph graph;
    Model modelA, modelB;
    Ship a, b;
};

TEST_F(TwoShips, ShipsThatMeetAreBlockedAndMovingOnesTurnRound) {
    struct Mover {
        int from, to;
        float start, travel, speed;
        int endFrom, endTo;  // the edge after the test
        bool blocked;
    };
    struct Case {
        Mover a, b;
        bool meet;
        const char* rule;
    } cases[] = {
        {{0, 1, 4, 1, MaxSpeed, 1, 0, true}, {1, 0, 3.5f, 1, MaxSpeed, 0, 1, true}, true, "head-on both turn round"},
        {{0, 1, 4, 1, MaxSpeed, 1, 0, true},
         {0, 1, 5.5f, 0, 0, 0, 1, false},
         true,
         "catching up on one edge, the ship behind is pushed back"},
        {{0, 1, 9.5f, 12, 0.1f, 1, 0, true},
         {3, 2, 9.5f, 12, 0.1f, 2, 3, true},
         true,
         "ships that pass through each other on an edge within a step collide"},
        {{1, 2, 0.1f, 0.2f, MaxSpeed, 1, 2, false},
         {0, 1, 9.3f, 0.2f, MaxSpeed, 1, 0, true},
         true,
         "the ship coming off the edge behind is the one blocked"},
        {{0, 1, 9.5f, 21, 0.2f, 3, 4, false},
         {0, 1, 9, 12, 0.1f, 1, 0, true},
         true,
         "overtaking within one step blocks the slower one"},
        {{0, 1, 1, 1, MaxSpeed, 0, 1, false}, {0, 1, 8, 1, MaxSpeed, 0, 1, false}, false, "far apart nothing happens"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        Move(a, c.a.from, c.a.to, c.a.start, c.a.travel, c.a.speed);
        Move(b, c.b.from, c.b.to, c.b.start, c.b.travel, c.b.speed);
        EXPECT_EQ(Collide(a, b, kShipCollisionRadius, false), c.meet);
        EXPECT_EQ(a.blocked, c.a.blocked);
        EXPECT_EQ(b.blocked, c.b.blocked);
        EXPECT_EQ(a.edge, FindEdge(graph, c.a.endFrom, c.a.endTo));
        EXPECT_EQ(b.edge, FindEdge(graph, c.b.endFrom, c.b.endTo));
        if (c.a.blocked) {
            EXPECT_FLOAT_EQ(a.position.x, modelA.location.x) << "a pushed-back ship is put where its step began";
            EXPECT_TRUE(a.passed_edges.empty()) << "a pushed-back mover has passed nothing";
        }
    }
}

TEST_F(TwoShips, ABulletTurnsAHitShipRoundEvenAtRestAndFliesOn) {
    Bullet bullet;
    Model bulletModel;
    bullet.model = &bulletModel;
    bullet.owner_id = 0;
    Move(b, 1, 0, 5, 0, 0);  // standing at x 5, facing left
    Move(bullet, 0, 1, 4.5f, 0.2f, MaxSpeed);
    ASSERT_TRUE(Collide(b, bullet, kBulletHitRadius, true));
    EXPECT_EQ(b.edge, FindEdge(graph, 0, 1)) << "a ship hit by a bullet turns round even at rest";
    EXPECT_FALSE(bullet.blocked) << "a bullet is never blocked";
    EXPECT_FLOAT_EQ(bullet.distance, 4.7f);
}

}  // namespace
