#include "game/player.h"

#include <algorithm>

#include "scene/model.h"

namespace {

uint8_t TurnFlags(int32_t turn, uint8_t leftBit, uint8_t rightBit) {
    if (turn == kTurnLeft) return leftBit;
    if (turn == kTurnRight) return rightBit;
    return 0;
}

int16_t EdgeIndex(const PathEdge* edge) { return edge != nullptr ? static_cast<int16_t>(edge->index) : -1; }

}  // namespace

Player::Player(int32_t playerId, Model* shipModel, Model* bulletModel) : id(playerId) {
    ship.model = shipModel;
    ship.owner_id = playerId;
    ship.position = shipModel->location;
    bullet.model = bulletModel;
    bullet.owner_id = playerId;
    bullet_home_position = bulletModel->location;
    bullet_home_rotation = bulletModel->rotation;
    bullet.level_rotation = bullet_home_rotation;
}

bool Player::Fire() {
    if (!bullet_loaded || ship.edge == nullptr) return false;
    fire.Start();
    bullet_loaded = false;
    auto& attached = ship.model->attached;
    attached.erase(std::remove(attached.begin(), attached.end(), bullet.model), attached.end());
    bullet.model->attachedOnly = false;
    // The bullet starts half a unit ahead; with less than that left of the edge it
    // starts half a unit into the edge the ship will take next.
    if (ship.edge->length - ship.distance >= kBulletStartOffset)
        bullet.PlaceOn(ship.edge, ship.distance + kBulletStartOffset);
    else
        bullet.PlaceOn(ship.NextEdge(), kBulletStartOffset);
    bullet.turn = ship.turn;
    bullet.SetSpeed(ship.speed + BulletSpeedBonus);
    bullet.last_time = ship.last_time;
    just_fired = true;
    return true;
}

void Player::Reload() {
    loaded.Start();
    auto& attached = ship.model->attached;
    if (std::find(attached.begin(), attached.end(), bullet.model) == attached.end()) attached.push_back(bullet.model);
    bullet.model->attachedOnly = true;
    bullet_loaded = true;
    bullet.position = bullet_home_position;
    bullet.rotation = bullet_home_rotation;
    bullet.SetSpeed(0);
    bullet.turn = ship.turn;
}

void Player::SetVisible(bool visible) {
    ship.SetVisible(visible);
    bullet.SetVisible(visible);
}

void Player::StopTriggers() {
    fire.Stop();
    loaded.Stop();
    ship.StopTriggers();
    bullet.StopTriggers();
}

void Player::EndStep() {
    for (PathMover* mover : {static_cast<PathMover*>(&ship), static_cast<PathMover*>(&bullet)}) {
        mover->model->location = mover->position;
        mover->model->rotation = mover->rotation;
        mover->EndStep();
    }
    just_fired = false;
}

PlayerUpdate Player::MakeUpdate() const {
    PlayerUpdate update;
    update.flags = static_cast<uint8_t>(
        TurnFlags(ship.turn, kUpdateShipLeft, kUpdateShipRight) |
        TurnFlags(bullet.turn, kUpdateBulletLeft, kUpdateBulletRight) | (ship.left_held ? kUpdateLeftHeld : 0) |
        (ship.right_held ? kUpdateRightHeld : 0) | (bullet_loaded ? kUpdateBulletLoaded : 0));
    update.player_id = static_cast<uint8_t>(id);
    update.time = ship.last_time;
    update.ship_edge = EdgeIndex(ship.edge);
    update.ship_speed = ship.speed;
    update.ship_distance = ship.distance;
    update.ship_acceleration = ship.acceleration;
    update.got_hits = static_cast<uint16_t>(got_hits);
    update.made_hits = static_cast<uint16_t>(made_hits);
    if (!bullet_loaded) {
        update.bullet_edge = EdgeIndex(bullet.edge);
        update.bullet_speed = bullet.speed;
        update.bullet_distance = bullet.distance;
    }
    return update;
}
