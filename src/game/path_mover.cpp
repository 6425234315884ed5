#include "game/path_mover.h"

#include <algorithm>
#include <cmath>

#include "scene/model.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

Vec3 Scaled(const Vec3& v, float factor) { return {v.x * factor, v.y * factor, v.z * factor}; }

Vec3 PointAlong(const PathEdge& edge, float distance) {
    const Vec3& from = edge.from->position;
    if (distance <= 0) return from;
    return {from.x + distance * edge.dir.x, from.y + distance * edge.dir.y, from.z + distance * edge.dir.z};
}

bool SameRotation(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

float WrapDegrees(float degrees) {
    if (degrees > 180.0f) return degrees - 360.0f;
    if (degrees < -180.0f) return degrees + 360.0f;
    return degrees;
}

Vec3 HeadingOf(const Vec3& rotation) {
    const double rx = rotation.x * kRadiansPerDegree;
    const double ry = rotation.y * kRadiansPerDegree;
    const double rz = rotation.z * kRadiansPerDegree;
    return {static_cast<float>(std::sin(rz) * std::cos(ry)),
            static_cast<float>(-(std::cos(rz) * std::cos(rx) - std::sin(rz) * std::sin(ry) * std::sin(rx))),
            static_cast<float>(-(std::sin(rx) * std::cos(rz) + std::sin(rz) * std::sin(ry) * std::cos(rx)))};
}

void PathMover::SetVisible(bool visible) {
    if (model != nullptr) model->visible = visible;
    if (!visible) StopTriggers();
}

void PathMover::StopTriggers() { moving.Stop(); }

void PathMover::SetSpeed(float newSpeed) {
    const bool wasMoving = speed != 0;
    speed = newSpeed;
    if (!wasMoving && speed != 0)
        moving.Start();
    else if (wasMoving && speed == 0)
        moving.Stop();
}

const PathEdge* PathMover::NextEdge() const {
    if (edge == nullptr) return nullptr;
    switch (turn) {
        case kTurnStraight: return edge->next_straight;
        case kTurnLeft: return edge->next_left;
        case kTurnRight: return edge->next_right;
        default: return edge->next_back;
    }
}

void PathMover::SetEdge(const PathEdge* newEdge, float newDistance) {
    if (newEdge == nullptr) return;
    edge = newEdge;
    distance = newDistance;
    position = PointAlong(*edge, newDistance);
    target_rotation = edge->rot;
    if (SameRotation(target_rotation, rotation)) {
        turning = false;
        return;
    }
    // The turn takes as long as covering one world unit at the speed of entry.
    const float rate = speed != 0 ? speed : kStandingTurnRate;
    turning = true;
    turn_step = {WrapDegrees(target_rotation.x - rotation.x) * rate, WrapDegrees(target_rotation.y - rotation.y) * rate,
                 WrapDegrees(target_rotation.z - rotation.z) * rate};
}

void PathMover::PlaceOn(const PathEdge* newEdge, float newDistance) {
    SetEdge(newEdge, newDistance);
    prev_edge = edge;
    prev_distance = distance;
}

void PathMover::Advance(float travel) {
    if (edge == nullptr) return;
    prev_edge = edge;
    prev_distance = distance;
    int entered = 0;
    while (travel >= edge->length - distance) {
        const PathEdge* next = NextEdge();
        if (next == nullptr || entered == kMaxEdgesPerAdvance) {
            travel = 0;
            break;
        }
        travel -= edge->length - distance;
        SetEdge(next, 0);
        passed_edges.push_back(edge);
        ++entered;
    }
    if (!passed_edges.empty()) passed_edges.pop_back();
    distance += travel;
    position = PointAlong(*edge, distance);
}

void PathMover::Update(int32_t now) {
    if (edge != nullptr) {
        const int32_t ms = ElapsedSince(now);
        Advance(speed * static_cast<float>(ms));
        Rotate(ms);
    }
    last_time = now;
}

int32_t PathMover::ElapsedSince(int32_t now) const {
    // A clock set back (a new level, a server correction) never runs a mover backwards.
    const int64_t elapsed = std::max<int64_t>(0, static_cast<int64_t>(now) - last_time);
    return static_cast<int32_t>(std::min<int64_t>(elapsed, INT32_MAX));
}

void PathMover::EndStep() {
    blocked = false;
    passed_edges.clear();
}

void Ship::StopTriggers() {
    PathMover::StopTriggers();
    accelerate.Stop();
    slowdown.Stop();
    hit.Stop();
    collision.Stop();
}

bool Ship::SetAcceleration(float newAcceleration) {
    if (hit_mode || newAcceleration == acceleration) return false;
    if (newAcceleration > 0 && speed >= MaxSpeed) return false;
    if (newAcceleration < 0 && speed <= MinSpeed) return false;
    if (acceleration > 0)
        accelerate.Stop();
    else if (acceleration < 0)
        slowdown.Stop();
    if (newAcceleration > 0)
        accelerate.Start();
    else if (newAcceleration < 0)
        slowdown.Start();
    acceleration = newAcceleration;
    return true;
}

void Ship::EndAcceleration(bool onlyWhileMoving) {
    if (acceleration > 0)
        accelerate.Stop();
    else if (acceleration < 0 && (!onlyWhileMoving || speed != 0))
        slowdown.Stop();
    acceleration = 0;
}

bool Ship::StopAcceleration() {
    if (hit_mode || acceleration == 0) return false;
    EndAcceleration(true);
    return true;
}

void Ship::EnterHitMode() {
    hit_target_speed = std::min(speed, MaxSpeed);
    SetSpeed(HitSpeed);
    SetAcceleration(-HitDecel);
    hit.Start();
    hit_mode = true;
}

void Ship::UpdateSpeed(int32_t ms) {
    if (acceleration == 0) return;
    SetSpeed(static_cast<float>(speed + (ms / kSpeedTimeUnitMs) * acceleration));
    if (hit_mode) {
        if (hit_target_speed < speed - kSpeedTolerance) return;
        hit_mode = false;
        EndAcceleration(false);
        SetSpeed(hit_target_speed);
        return;
    }
    if (speed >= MaxSpeed - kSpeedTolerance) {
        SetSpeed(MaxSpeed);
        EndAcceleration(false);
    } else if (speed <= MinSpeed + kSpeedTolerance) {
        SetSpeed(MinSpeed);
        EndAcceleration(false);
    }
}

void Ship::Update(int32_t now) {
    if (edge != nullptr) UpdateSpeed(ElapsedSince(now));
    PathMover::Update(now);
}

void Ship::Rotate(int32_t ms) {
    if (turning) {
        const Vec3 step = Scaled(turn_step, static_cast<float>(ms));
        const bool arrives = std::fabs(WrapDegrees(target_rotation.x - rotation.x)) < std::fabs(step.x) ||
                             std::fabs(WrapDegrees(target_rotation.y - rotation.y)) < std::fabs(step.y) ||
                             std::fabs(WrapDegrees(target_rotation.z - rotation.z)) < std::fabs(step.z);
        if (arrives) {
            rotation = target_rotation;
            turning = false;
        } else {
            rotation = {rotation.x + step.x, rotation.y + step.y, rotation.z + step.z};
        }
    }
    velocity = Scaled(turning ? HeadingOf(rotation) : edge->dir, speed);
}

bool Bullet::SetAcceleration(float) { return true; }

void Bullet::Tilt() {
    rotation = level_rotation;
    if (turn == kTurnStraight) return;
    rotation.z += turn == kTurnRight ? -kBulletTiltDegrees : kBulletTiltDegrees;
}

void Bullet::Rotate(int32_t) {
    Tilt();
    turning = false;
    velocity = Scaled(edge->dir, speed);
}
