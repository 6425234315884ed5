#include "effects/emission_surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include "particle_test_support.h"

namespace {

Vec3 NthPoint(const char* radiusAndIncrements, int n) {
    CircleSurface surface;
    surface.Load(ParticleDefinition{"circle", {{"circ_rad_incs", "3,4"}}});
    surface.Load(ParticleDefinition{"circle", {{"circ_rad_incs", radiusAndIncrements}}});
    Vec3 point;
    for (int i = 0; i <= n; ++i) point = surface.NextPoint(Repeating({0}));
    return point;
}

TEST(EmissionSurfaceTest, CircleWalksAroundInWholeDegreeSteps) {
    const float kDegree = 3.14159265f / 180;
    struct Case {
        const char* text;
        int n;
        float degrees, radius;
    };
    const Case cases[] = {
        {"2,8", 0, 0, 2},  {"2,8", 3, 135, 2}, {"2,8", 9, 45, 2},   // round and round
        {"1,7", 1, 51, 1},                                          // 360 / 7 is 51
        {"5", 1, 90, 3},   {"5,0", 1, 90, 3},  {"5,-2", 1, 90, 3},  // bad counts keep the old circle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " point " + std::to_string(c.n));
        Vec3 point = NthPoint(c.text, c.n);
        EXPECT_NEAR(point.x, c.radius * std::sin(c.degrees * kDegree), 1e-4);
        EXPECT_NEAR(point.y, c.radius * std::cos(c.degrees * kDegree), 1e-4);
        EXPECT_FLOAT_EQ(point.z, 0);
    }
}

}  // namespace
