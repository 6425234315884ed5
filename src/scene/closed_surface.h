#pragma once

#include <vector>

#include "base/vec3.h"

// The smallest box around the points; both corners at the origin when there are none.
struct Bounds {
    Vec3 low, high;
};
Bounds BoundsOf(const std::vector<Vec3>& points);

// How the triangles of a closed surface run, seen from outside it.
enum class SurfaceWinding { kOpen, kCounterClockwise, kClockwise };

// Whether triangles (three corner positions each, in order) close around volumes, and
// which way round they run seen from outside: every edge must meet exactly one other
// triangle running the other way, and the enclosed volume must not be nil. Seen from
// outside such a surface, its inward faces are always behind its outward ones, so they
// can be culled without changing the picture. Triangles with two equal corners are
// left out: they have no area, and an edge that only they close leaves the surface open.
SurfaceWinding ClosedSurfaceWinding(const std::vector<Vec3>& corners);
