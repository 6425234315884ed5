#include "scene/closed_surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <utility>
#include <vector>

namespace {

// A tetrahedron's corners, counter-clockwise seen from outside.
const Vec3 kA{0, 0, 0}, kB{1, 0, 0}, kC{0, 1, 0}, kD{0, 0, 1};

std::vector<Vec3> Triangles(const std::vector<std::vector<Vec3>>& triangles) {
    std::vector<Vec3> corners;
    for (const auto& triangle : triangles) corners.insert(corners.end(), triangle.begin(), triangle.end());
    return corners;
}

std::vector<std::vector<Vec3>> Tetrahedron() { return {{kA, kC, kB}, {kA, kB, kD}, {kA, kD, kC}, {kB, kC, kD}}; }

std::vector<std::vector<Vec3>> TurnedInside(std::vector<std::vector<Vec3>> triangles) {
    for (auto& triangle : triangles) std::swap(triangle[1], triangle[2]);
    return triangles;
}

std::vector<std::vector<Vec3>> Joined(std::vector<std::vector<Vec3>> a, const std::vector<std::vector<Vec3>>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(ClosedSurface, TellsClosedShellsAndTheirWindingFromOpenOnes) {
    std::vector<std::vector<Vec3>> flipped = Tetrahedron();
    std::swap(flipped[0][1], flipped[0][2]);
    std::vector<std::vector<Vec3>> missing = Tetrahedron();
    missing.pop_back();
    const std::vector<std::vector<Vec3>> sheet = {{kA, kB, kC}, {kA, kC, kB}};
    const struct {
        std::string what;
        std::vector<std::vector<Vec3>> triangles;
        SurfaceWinding winding;
    } cases[] = {
        {"a tetrahedron", Tetrahedron(), SurfaceWinding::kCounterClockwise},
        {"a tetrahedron turned inside out", TurnedInside(Tetrahedron()), SurfaceWinding::kClockwise},
        {"a tetrahedron with an area-less triangle", Joined(Tetrahedron(), {{kA, kA, kB}}),
         SurfaceWinding::kCounterClockwise},
        {"a face missing", missing, SurfaceWinding::kOpen},
        {"one face turned", flipped, SurfaceWinding::kOpen},
        {"a face twice", Joined(Tetrahedron(), {Tetrahedron()[0]}), SurfaceWinding::kOpen},
        {"a sheet seen from both sides", sheet, SurfaceWinding::kOpen},
        {"nothing", {}, SurfaceWinding::kOpen},
        {"a corner written as -0",
         {{kC, kB, Vec3{-0.0f, 0, -0.0f}}, {kA, kB, kD}, {kA, kD, kC}, {kB, kC, kD}},
         SurfaceWinding::kCounterClockwise},
        {"a corner that is no number", Joined(Tetrahedron(), {{kA, kB, Vec3{NAN, 0, 0}}}), SurfaceWinding::kOpen},
    };
    for (const auto& c : cases) EXPECT_EQ(ClosedSurfaceWinding(Triangles(c.triangles)), c.winding) << c.what;
}
