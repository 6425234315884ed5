#include "game/player.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "game_test_support.h"
#include "scene/model.h"

namespace {

class PlayerOnLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(graph.Build(LinePoints(3, 1)));
        player.Reload(sceneLock);
        journal.Bind(player.fire, "fire");
        journal.Bind(player.loaded, "loaded");
        journal.Bind(player.bullet.moving, "bul_moving");
    }

    bool Attached() const {
        return std::find(shipModel.attached.begin(), shipModel.attached.end(), &bulletModel) != shipModel.attached.end();
    }

    static Model BulletModel() {
        Model model;
        model.location = {0, 0.2f, 0.1f};
        model.rotation = {0, 0, 5};
        return model;
    }

    PathGraph graph;
    Model shipModel;
    Model bulletModel = BulletModel();
    SpinLock sceneLock;
    Player player{3, &shipModel, &bulletModel};
    TriggerJournal journal;
};

TEST_F(PlayerOnLine, ReloadedBulletRidesOnTheShip) {
    EXPECT_TRUE(Attached()) << "a loaded bullet's model is in the ship model's attached list";
    EXPECT_TRUE(bulletModel.attachedOnly) << "and is drawn only with the ship";
    EXPECT_EQ(shipModel.attached.size(), 1u);
    player.Reload(sceneLock);
    EXPECT_EQ(shipModel.attached.size(), 1u) << "reloading twice attaches the bullet once";
    EXPECT_EQ(player.bullet.owner_id, 3);
    EXPECT_EQ(player.ship.owner_id, 3);
}

TEST_F(PlayerOnLine, FireStartsHalfAUnitAheadOnTheShipsEdge) {
    player.ship.PlaceOn(FindEdge(graph, 0, 1), 0.25f);
    player.ship.speed = MaxSpeed;
    player.ship.turn = kTurnLeft;
    player.ship.last_time = 777;
    ASSERT_TRUE(player.Fire(sceneLock));
    EXPECT_EQ(player.bullet.edge, FindEdge(graph, 0, 1));
    EXPECT_FLOAT_EQ(player.bullet.distance, 0.75f) << "the bullet starts 0.5 ahead of the ship";
    EXPECT_FLOAT_EQ(player.bullet.speed, 2 * MaxSpeed) << "bullet speed is ship speed plus BulletSpeedBonus";
    EXPECT_EQ(player.bullet.turn, kTurnLeft) << "the bullet takes the ship's turn";
    EXPECT_EQ(player.bullet.last_time, 777);
    EXPECT_TRUE(player.just_fired);
    EXPECT_FALSE(player.bullet_loaded);
    EXPECT_FALSE(Attached()) << "a flying bullet is drawn on its own";
    EXPECT_FALSE(bulletModel.attachedOnly);
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"fire start", "bul_moving start"}));
    EXPECT_FALSE(player.Fire(sceneLock)) << "there is one bullet: no second shot while it flies";
}

TEST_F(PlayerOnLine, FireWithLessThanHalfAUnitAheadStartsHalfIntoTheNextEdge) {
    player.ship.PlaceOn(FindEdge(graph, 0, 1), 0.75f);
    ASSERT_TRUE(player.Fire(sceneLock));
    EXPECT_EQ(player.bullet.edge, FindEdge(graph, 1, 2)) << "the bullet starts on the ship's next edge";
    EXPECT_FLOAT_EQ(player.bullet.distance, 0.5f) << "0.5 into the next edge, not the remainder";
}

TEST_F(PlayerOnLine, FireBeforeThePlayerStandsOnThePathDoesNothing) {
    EXPECT_FALSE(player.Fire(sceneLock));
    EXPECT_TRUE(player.bullet_loaded);
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(PlayerOnLine, ReloadPutsTheBulletHomeAndStopsIt) {
    player.ship.PlaceOn(FindEdge(graph, 0, 1), 0);
    ASSERT_TRUE(player.Fire(sceneLock));
    player.ship.turn = kTurnRight;
    journal.Clear();
    player.Reload(sceneLock);
    EXPECT_TRUE(player.bullet_loaded);
    EXPECT_TRUE(Attached());
    EXPECT_FLOAT_EQ(player.bullet.position.y, 0.2f) << "back at its place on the ship";
    EXPECT_FLOAT_EQ(player.bullet.rotation.z, 5);
    EXPECT_EQ(player.bullet.speed, 0);
    EXPECT_EQ(player.bullet.turn, kTurnRight) << "a reloaded bullet takes the ship's turn";
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"loaded start", "bul_moving stop"}));
}

TEST_F(PlayerOnLine, UpdateRecordDescribesTheShipAndAFlyingBullet) {
    player.ship.PlaceOn(FindEdge(graph, 1, 2), 0.5f);
    player.ship.turn = kTurnRight;
    player.ship.left_held = true;
    player.ship.speed = 0.002f;
    player.ship.acceleration = AccelStep;
    player.ship.last_time = 1234;
    player.got_hits = 2;
    player.made_hits = 1;
    PlayerUpdate update = player.MakeUpdate();
    EXPECT_EQ(update.flags, kUpdateShipRight | kUpdateLeftHeld | kUpdateBulletLoaded);
    EXPECT_EQ(update.player_id, 3);
    EXPECT_EQ(update.ship_edge, FindEdge(graph, 1, 2)->index);
    EXPECT_EQ(update.time, 1234);
    EXPECT_EQ(update.bullet_edge, 0) << "bullet fields stay 0 while it is loaded";
    ASSERT_TRUE(player.Fire(sceneLock));
    player.bullet.turn = kTurnLeft;
    update = player.MakeUpdate();
    EXPECT_EQ(update.flags & (kUpdateBulletLoaded | kUpdateBulletLeft), kUpdateBulletLeft);
    EXPECT_EQ(update.bullet_edge, player.bullet.edge->index);
    EXPECT_FLOAT_EQ(update.bullet_distance, 1.0f);
    EXPECT_FLOAT_EQ(update.bullet_speed, 0.002f + MaxSpeed);
}

TEST_F(PlayerOnLine, EndStepHandsThePosesToTheModels) {
    player.ship.PlaceOn(FindEdge(graph, 0, 1), 0.5f);
    player.ship.rotation = {0, 0, 90};
    player.ship.passed_edges.push_back(FindEdge(graph, 0, 1));
    player.ship.blocked = true;
    player.EndStep();
    EXPECT_FLOAT_EQ(shipModel.location.x, 0.5f);
    EXPECT_EQ(shipModel.rotation.z, 90);
    EXPECT_FLOAT_EQ(bulletModel.location.y, 0.2f) << "a loaded bullet's model keeps its place on the ship";
    EXPECT_FALSE(player.ship.blocked);
    EXPECT_TRUE(player.ship.passed_edges.empty());
}

}  // namespace
