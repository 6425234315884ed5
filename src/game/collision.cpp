#include "game/collision.h"

#include "game/path_mover.h"
#include "scene/model.h"

namespace {

struct Place {
    const PathEdge* edge;
    float distance;
};

Place Current(const PathMover& mover) { return {mover.edge, mover.distance}; }
Place Previous(const PathMover& mover) { return {mover.prev_edge, mover.prev_distance}; }

bool Within(const Vec3& a, const Vec3& b, float radius) {
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz <= radius * radius;
}

bool IsReverse(const PathEdge* x, const PathEdge* y) { return x->from == y->to && x->to == y->from; }

// Back to where the step began and, when asked, turned round on the spot.
void PushBack(PathMover& mover, bool turnAround) {
    if (mover.blocked) {
        mover.SetSpeed(0);
        return;
    }
    mover.passed_edges.clear();
    mover.SetEdge(mover.prev_edge, mover.prev_distance);
    if (turnAround && mover.edge != nullptr && mover.edge->next_back != nullptr)
        mover.SetEdge(mover.edge->next_back, mover.edge->length - mover.distance);
    mover.blocked = true;
}

// Both movers passed through the same edge in this step, or met on it from both ends.
bool CollideCrossing(PathMover& a, PathMover& b, bool isBullet) {
    for (const PathEdge* x : a.passed_edges) {
        for (const PathEdge* y : b.passed_edges) {
            if (IsReverse(x, y)) {
                Respond(a, b, true, true, isBullet);
                return true;
            }
            if (x == y) {
                if (a.speed <= b.speed && !isBullet)
                    Respond(a, b, true, false, false);
                else
                    Respond(a, b, false, true, isBullet);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void Respond(PathMover& a, PathMover& b, bool blockA, bool blockB, bool isBullet) {
    const bool differentPlayers = a.owner_id != b.owner_id;
    if (blockA && differentPlayers) PushBack(a, a.speed != 0 || isBullet);
    if (blockB && differentPlayers && !isBullet) PushBack(b, b.speed != 0);
}

bool Collide(PathMover& a, PathMover& b, float radius, bool isBullet) {
    if (a.model == nullptr || b.model == nullptr) return false;
    // Where the two met decides which places to compare: a mover that was already
    // there at the end of the last step is compared by where it stood then.
    Place placeA, placeB;
    if (Within(a.model->location, b.position, radius)) {
        placeA = Previous(a);
        placeB = Current(b);
    } else if (Within(b.model->location, a.position, radius)) {
        placeA = Current(a);
        placeB = Previous(b);
    } else if (Within(a.position, b.position, radius)) {
        placeA = Current(a);
        placeB = Current(b);
    } else {
        return CollideCrossing(a, b, isBullet);
    }
    if (placeA.edge == nullptr || placeB.edge == nullptr) return false;

    if (placeA.edge == placeB.edge) {
        // The one behind ran into the other.
        if (placeA.distance <= placeB.distance)
            Respond(a, b, true, false, isBullet);
        else
            Respond(a, b, false, true, isBullet);
    } else if (IsReverse(placeA.edge, placeB.edge)) {
        Respond(a, b, true, true, isBullet);
    } else if (placeB.edge->to != placeA.edge->from) {
        Respond(a, b, true, true, isBullet);
    } else {
        Respond(a, b, false, true, isBullet);
    }
    return true;
}
