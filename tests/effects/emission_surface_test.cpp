#include "effects/emission_surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include "particle_test_support.h"

namespace {

ParticleDefinition Surface(std::initializer_list<std::pair<std::string, std::string>> entries) {
    return ParticleDefinition{"surface", entries};
}

TEST(EmissionSurfaceTest, SurfaceTypeChoosesTheKind) {
    EXPECT_NE(dynamic_cast<VolumeSurface*>(MakeSurface(0).get()), nullptr) << "0 is the volume";
    EXPECT_NE(dynamic_cast<CircleSurface*>(MakeSurface(1).get()), nullptr) << "1 is the circle";
    EXPECT_NE(dynamic_cast<PointSurface*>(MakeSurface(-1).get()), nullptr) << "negative is the point";
    EXPECT_NE(dynamic_cast<PointSurface*>(MakeSurface(-7).get()), nullptr) << "negative is the point";
    EXPECT_EQ(MakeSurface(2), nullptr) << "above 1 there is no surface";
}

TEST(EmissionSurfaceTest, PointGivesTheLocationAndLocationAndRotationNeedAllSixNumbers) {
    PointSurface surface;
    surface.Load(Surface({{"surf_loc_rot", "1,2,3,10,20,30"}}));
    EXPECT_FLOAT_EQ(surface.Rotation().z, 30);
    Vec3 point = surface.NextPoint(Repeating({0}));
    EXPECT_FLOAT_EQ(point.x, 1) << "a point surface emits at its location";
    EXPECT_FLOAT_EQ(point.y, 2);
    EXPECT_FLOAT_EQ(point.z, 3);

    surface.Load(Surface({{"surf_loc_rot", "9,9,9,9,9"}}));
    EXPECT_FLOAT_EQ(surface.Location().x, 1) << "five numbers are not taken";
    EXPECT_FLOAT_EQ(surface.Rotation().x, 10);
}

TEST(EmissionSurfaceTest, VolumePointsSpanTheBoxAroundTheCentre) {
    VolumeSurface surface;
    surface.Load(Surface({{"volume_surf", "2,4,6"}}));
    Vec3 low = surface.NextPoint(Repeating({0}));
    EXPECT_FLOAT_EQ(low.x, -1);
    EXPECT_FLOAT_EQ(low.y, -2);
    EXPECT_FLOAT_EQ(low.z, -3);
    Vec3 high = surface.NextPoint(Repeating({32767}));
    EXPECT_NEAR(high.x, 1, 1e-4);
    EXPECT_NEAR(high.y, 2, 1e-4);
    EXPECT_NEAR(high.z, 3, 1e-4);
    Vec3 mixed = surface.NextPoint(Repeating({0, 32767, 0}));
    EXPECT_FLOAT_EQ(mixed.x, -1) << "x takes the first draw";
    EXPECT_NEAR(mixed.y, 2, 1e-4) << "y takes the second draw";
}

TEST(EmissionSurfaceTest, CircleWalksAroundInSteps) {
    CircleSurface surface;
    surface.Load(Surface({{"circ_rad_incs", "2,8"}}));
    const float kStep = 3.14159265f / 4;
    for (int i = 0; i < 20; ++i) {
        Vec3 point = surface.NextPoint(Repeating({0}));
        float angle = kStep * static_cast<float>(i % 8);
        EXPECT_NEAR(point.x, 2 * std::sin(angle), 1e-4) << "particle " << i << " sits at " << 45 * (i % 8) << " degrees";
        EXPECT_NEAR(point.y, 2 * std::cos(angle), 1e-4) << "particle " << i;
        EXPECT_FLOAT_EQ(point.z, 0);
    }
    CircleSurface seven;
    seven.Load(Surface({{"circ_rad_incs", "1,7"}}));
    seven.NextPoint(Repeating({0}));
    EXPECT_NEAR(seven.NextPoint(Repeating({0})).x, std::sin(51 * 3.14159265f / 180), 1e-5)
        << "the step is a whole number of degrees: 360 / 7 is 51";
}

TEST(EmissionSurfaceTest, CircleNeedsRadiusAndAtLeastOneIncrement) {
    CircleSurface surface;
    surface.Load(Surface({{"circ_rad_incs", "3,4"}}));
    for (const char* text : {"5", "5,0", "5,-2"}) {
        CircleSurface changed = surface;
        changed.Load(Surface({{"circ_rad_incs", text}}));
        changed.NextPoint(Repeating({0}));
        Vec3 second = changed.NextPoint(Repeating({0}));
        EXPECT_NEAR(second.x, 3, 1e-5) << text << " must keep radius 3 and 90 degree steps";
    }
}

}  // namespace
