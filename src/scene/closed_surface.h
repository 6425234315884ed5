#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/vec3.h"

// The smallest box around some points; both corners at the origin when there are none.
struct Bounds {
    Vec3 low, high;
};

// That box, taken one point at a time.
class BoundsGrowth {
public:
    void Add(const Vec3& p) {
        if (empty_) box_.low = box_.high = p;
        empty_ = false;
        box_.low = {std::min(box_.low.x, p.x), std::min(box_.low.y, p.y), std::min(box_.low.z, p.z)};
        box_.high = {std::max(box_.high.x, p.x), std::max(box_.high.y, p.y), std::max(box_.high.z, p.z)};
    }
    const Bounds& Box() const { return box_; }

private:
    Bounds box_;
    bool empty_ = true;
};

// How the triangles of a closed surface run, seen from outside it.
enum class SurfaceWinding { kOpen, kCounterClockwise, kClockwise };

// Whether triangles (three corner positions each, in order) close around volumes, and
// which way round they run seen from outside: every edge must meet exactly one other
// triangle running the other way, and the enclosed volume must not be nil. Seen from
// outside such a surface, its inward faces are always behind its outward ones, so they
// can be culled without changing the picture. Triangles with two equal corners are
// left out: they have no area, and an edge that only they close leaves the surface open.
SurfaceWinding ClosedSurfaceWinding(const std::vector<Vec3>& corners);

// The quick half of that test, fed one triangle at a time where the corners lie: each
// edge weighs its run one way minus its run the other way, so the edges of a closed shell
// cancel out. Most open meshes (a terrain) leave a sum, or a corner that is no number,
// and need no closer look; a surface that may close goes to ClosedSurfaceWinding.
class EdgeBalance {
public:
    // What Add weighs a corner by; a builder that shares corners between triangles can
    // work it out once a corner and hand it to the second Add.
    static uint64_t CornerHash(const Vec3& p);

    void Add(const Vec3& a, const Vec3& b, const Vec3& c) { Add(a, b, c, CornerHash(a), CornerHash(b), CornerHash(c)); }
    void Add(const Vec3& a, const Vec3& b, const Vec3& c, uint64_t hashA, uint64_t hashB, uint64_t hashC);
    bool MayClose() const { return finite_ && imbalance_ == 0; }

private:
    uint64_t imbalance_ = 0;
    bool finite_ = true;
};
