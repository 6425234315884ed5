#include "scene/closed_surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using Edge = std::array<float, 6>;  // from x, y, z, to x, y, z

bool Same(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

bool HasNoArea(const Vec3& a, const Vec3& b, const Vec3& c) { return Same(a, b) || Same(b, c) || Same(c, a); }

Edge MakeEdge(const Vec3& from, const Vec3& to) { return {from.x, from.y, from.z, to.x, to.y, to.z}; }

Edge Reversed(const Edge& edge) { return {edge[3], edge[4], edge[5], edge[0], edge[1], edge[2]}; }

uint64_t Mixed(uint64_t value) {
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdULL;
    value ^= value >> 33;
    value *= 0xc4ceb9fe1a85ec53ULL;
    return value ^ (value >> 33);
}

uint64_t Bits(float coordinate) {
    const float plus = coordinate + 0.0f;  // -0 is the same place as 0
    uint32_t bits;
    std::memcpy(&bits, &plus, sizeof bits);
    return bits;
}

// An edge's weight run one way minus its weight run the other way, from the hashes of
// its ends.
uint64_t EdgeImbalance(uint64_t from, uint64_t to) {
    const auto rotated = [](uint64_t hash) { return hash << 29 | hash >> 35; };
    return from * rotated(to) - to * rotated(from);
}

bool IsFinite(const Vec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Six times the signed volume of the tetrahedron from the origin to the triangle.
double TripleProduct(const Vec3& a, const Vec3& b, const Vec3& c) {
    const double cx = static_cast<double>(b.y) * c.z - static_cast<double>(b.z) * c.y;
    const double cy = static_cast<double>(b.z) * c.x - static_cast<double>(b.x) * c.z;
    const double cz = static_cast<double>(b.x) * c.y - static_cast<double>(b.y) * c.x;
    return a.x * cx + a.y * cy + a.z * cz;
}

Bounds BoundsOf(const std::vector<Vec3>& points) {
    BoundsGrowth growth;
    for (const Vec3& p : points) growth.Add(p);
    return growth.Box();
}

}  // namespace

uint64_t EdgeBalance::CornerHash(const Vec3& p) {
    return Mixed(Bits(p.x) * 0x9e3779b97f4a7c15ULL + Bits(p.y) * 0xbf58476d1ce4e5b9ULL + Bits(p.z));
}

void EdgeBalance::Add(const Vec3& a, const Vec3& b, const Vec3& c, uint64_t hashA, uint64_t hashB, uint64_t hashC) {
    // A corner that is no number has no place to close round, and it would leave the
    // sort of ClosedSurfaceWinding without an order.
    if (!IsFinite(a) || !IsFinite(b) || !IsFinite(c)) finite_ = false;
    if (!finite_ || HasNoArea(a, b, c)) return;
    imbalance_ += EdgeImbalance(hashA, hashB) + EdgeImbalance(hashB, hashC) + EdgeImbalance(hashC, hashA);
}

SurfaceWinding ClosedSurfaceWinding(const std::vector<Vec3>& corners) {
    EdgeBalance balance;
    for (size_t i = 0; i + 2 < corners.size(); i += 3) balance.Add(corners[i], corners[i + 1], corners[i + 2]);
    if (!balance.MayClose()) return SurfaceWinding::kOpen;

    std::vector<Edge> edges;
    edges.reserve(corners.size());
    double volume = 0;
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        const Vec3& a = corners[i];
        const Vec3& b = corners[i + 1];
        const Vec3& c = corners[i + 2];
        if (HasNoArea(a, b, c)) continue;
        edges.push_back(MakeEdge(a, b));
        edges.push_back(MakeEdge(b, c));
        edges.push_back(MakeEdge(c, a));
        volume += TripleProduct(a, b, c);
    }
    if (edges.empty()) return SurfaceWinding::kOpen;
    std::sort(edges.begin(), edges.end());
    // An edge run twice the same way is where more than two triangles meet, or where
    // the winding flips: the surface is not one closed shell there.
    if (std::adjacent_find(edges.begin(), edges.end()) != edges.end()) return SurfaceWinding::kOpen;
    for (const Edge& edge : edges)
        if (!std::binary_search(edges.begin(), edges.end(), Reversed(edge))) return SurfaceWinding::kOpen;
    // A sheet drawn from both sides pairs its edges too, but encloses nothing: its two
    // faces lie on each other, and which one shows depends on the drawing order.
    const Bounds bounds = BoundsOf(corners);
    const double box = (static_cast<double>(bounds.high.x) - bounds.low.x) *
                       (static_cast<double>(bounds.high.y) - bounds.low.y) *
                       (static_cast<double>(bounds.high.z) - bounds.low.z);
    if (!(box > 0) || std::abs(volume / 6) <= box * 1e-6) return SurfaceWinding::kOpen;
    return volume > 0 ? SurfaceWinding::kCounterClockwise : SurfaceWinding::kClockwise;
}
