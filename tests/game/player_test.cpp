#include "game/player.h"

#include <gtest/gtest.h>

#include "game_test_support.h"
#include "scene/model.h"

namespace {

class PlayerOnLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(graph.Build(LinePoints(3, 1)));
        player.Reload();
    }

    bool Attached() const { return shipModel.attached.size() == 1 && shipModel.attached[0] == &bulletModel; }

    PathGraph graph;
    Model shipModel;
    Model bulletModel = [] {
        Model model;
        model.location = {0, 0.2f, 0.1f};  // its place on the ship
        return model;
    }();
    Player player{3, &shipModel, &bulletModel};
};

TEST_F(PlayerOnLine, FiredBulletFliesAheadOnItsOwnAndReloadPutsItBackOnTheShip) {
    EXPECT_FALSE(player.Fire()) << "no shot before the player stands on the path";
    player.Reload();
    EXPECT_TRUE(Attached()) << "a loaded bullet rides on the ship, attached once however often reloaded";
    player.ship.PlaceOn(FindEdge(graph, 0, 1), 0.25f);
    player.ship.speed = MaxSpeed;
    player.ship.turn = kTurnLeft;
    ASSERT_TRUE(player.Fire());
    EXPECT_EQ(player.bullet.edge, FindEdge(graph, 0, 1));
    EXPECT_FLOAT_EQ(player.bullet.distance, 0.75f) << "the bullet starts 0.5 ahead of the ship";
    EXPECT_FLOAT_EQ(player.bullet.speed, 2 * MaxSpeed) << "bullet speed is ship speed plus BulletSpeedBonus";
    EXPECT_EQ(player.bullet.turn, kTurnLeft) << "the bullet takes the ship's turn";
    EXPECT_TRUE(shipModel.attached.empty() && !bulletModel.attachedOnly) << "a flying bullet is drawn on its own";
    EXPECT_FALSE(player.Fire()) << "there is one bullet: no second shot while it flies";

    player.Reload();
    EXPECT_TRUE(player.bullet_loaded && Attached());
    EXPECT_FLOAT_EQ(player.bullet.position.y, 0.2f) << "back at its place on the ship";
}

}  // namespace
