#pragma once

#include <cstddef>  // before effects/event_trigger.h, which uses size_t without it
#include <cstdint>
#include <vector>

#include "base/vec3.h"
#include "effects/event_trigger.h"
#include "game/path_graph.h"

class Model;

// Speeds are world units per millisecond, accelerations units per ms per 20 ms.
constexpr float MaxSpeed = 0.003f;
constexpr float MinSpeed = 0.0f;
constexpr float AccelStep = 0.05f * MaxSpeed;
constexpr float HitSpeed = 3.0f * MaxSpeed;
constexpr float HitDecel = HitSpeed * 0.0033333334f;
constexpr float BulletSpeedBonus = MaxSpeed;
constexpr double kSpeedTimeUnitMs = 20.0;
// Speeds this close to a limit count as at it: float sums of the acceleration steps
// fall short by a few units in the last place, and 400 ms of speeding up must reach
// the top speed, not one frame later.
constexpr float kSpeedTolerance = 1e-7f;
constexpr float kBulletHitRadius = 0.4f;
constexpr float kOwnBulletRadius = 0.3f;
constexpr float kShipCollisionRadius = 0.9f;
constexpr float kBulletStartOffset = 0.5f;
constexpr float kBulletTiltDegrees = 10.0f;
constexpr float kStandingTurnRate = 0.1f * MaxSpeed;
// However far one step would carry a mover, it enters at most this many edges, so
// a damaged update or a loop of zero-length edges cannot stall the game.
constexpr int kMaxEdgesPerAdvance = 4096;

// What a mover does at the end of its edge.
enum Turn : int32_t { kTurnBack = 0, kTurnLeft = 1, kTurnRight = -1, kTurnStraight = 2 };

// The part of a ship or bullet that rides the path: where it is, where it heads and
// how fast. Sounds and particles keep references to position, rotation and velocity,
// so a mover never moves in memory.
class PathMover {
public:
    PathMover() = default;
    PathMover(const PathMover&) = delete;
    PathMover& operator=(const PathMover&) = delete;

    virtual void SetVisible(bool visible);
    virtual void StopTriggers();
    // False when the change is refused or changes nothing.
    virtual bool SetAcceleration(float acceleration) = 0;
    virtual ~PathMover() = default;
    virtual void Advance(float distance);
    virtual void Rotate(int32_t ms) = 0;
    virtual void Update(int32_t now);

    // Enters `edge` at `distance` from its start and starts easing towards its heading.
    void SetEdge(const PathEdge* edge, float distance);
    // Puts the mover on `edge` as if it had been there since the step began.
    void PlaceOn(const PathEdge* edge, float distance);
    // Changes the speed; "moving" starts when the mover sets off and stops when it halts.
    void SetSpeed(float speed);
    // The edge the current turn choice leads to at the end of the current edge.
    const PathEdge* NextEdge() const;
    // Clears what a step leaves behind: the pushed-back mark and the edges passed.
    void EndStep();

    Model* model = nullptr;
    Vec3 position;
    Vec3 rotation;
    const PathEdge* edge = nullptr;
    float distance = 0;
    const PathEdge* prev_edge = nullptr;
    float prev_distance = 0;
    Vec3 velocity;
    int32_t turn = kTurnStraight;
    bool left_held = false;
    bool right_held = false;
    bool blocked = false;
    bool turning = false;
    Vec3 turn_step;
    Vec3 target_rotation;
    int32_t owner_id = -1;
    float speed = 0;
    float acceleration = 0;
    EventTrigger moving;
    std::vector<const PathEdge*> passed_edges;
    int32_t last_time = 0;

protected:
    // Milliseconds from `last_time` to `now`, never negative.
    int32_t ElapsedSince(int32_t now) const;
};

class Ship : public PathMover {
public:
    void StopTriggers() override;
    // Refused in hit mode, when unchanged, and when it would push past the speed limits.
    bool SetAcceleration(float acceleration) override;
    void Rotate(int32_t ms) override;
    void Update(int32_t now) override;

    // The player let go of the speed key: the ship keeps its speed. False when there
    // was nothing to stop or the ship is in hit mode.
    bool StopAcceleration();
    // Flung forward by a hit, then slowing back to the speed it had (at most MaxSpeed).
    void EnterHitMode();
    void UpdateSpeed(int32_t ms);

    bool hit_mode = false;
    float hit_target_speed = MinSpeed;
    EventTrigger accelerate;
    EventTrigger slowdown;
    EventTrigger hit;
    EventTrigger collision;

private:
    // Ends a speed change that ran into its limit; slowdown stops only while the
    // ship still moves when `onlyWhileMoving` is set.
    void EndAcceleration(bool onlyWhileMoving);
};

class Bullet : public PathMover {
public:
    bool SetAcceleration(float acceleration) override;
    void Rotate(int32_t ms) override;
    // Tilts the bullet 10 degrees about z towards the side its player turns to,
    // and levels it again when the player goes straight.
    void Tilt();

    Vec3 level_rotation;  // the bullet's rotation when it is not tilted
};

// The heading of a model turned by `rotation` (degrees about x, then y, then z).
Vec3 HeadingOf(const Vec3& rotation);
// An angle difference brought into [-180, 180].
float WrapDegrees(float degrees);
