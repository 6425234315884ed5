#include "effects/rotation.h"

#include <gtest/gtest.h>

namespace {

void ExpectNear(const Vec3& actual, const Vec3& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-5) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-5) << what;
}

TEST(RotationTest, EachAxisTurnsCounterClockwiseByDegrees) {
    ExpectNear(RotateXyz({0, 1, 0}, {90, 0, 0}), {0, 0, 1}, "x turns y towards z");
    ExpectNear(RotateXyz({0, 0, 1}, {0, 90, 0}), {1, 0, 0}, "y turns z towards x");
    ExpectNear(RotateXyz({1, 0, 0}, {0, 0, 90}), {0, 1, 0}, "z turns x towards y");
}

TEST(RotationTest, TheZRotationAppliesFirstAsInModelDrawing) {
    // Rx(90) * Rz(90): x becomes y, which then becomes z.
    ExpectNear(RotateXyz({1, 0, 0}, {90, 0, 90}), {0, 0, 1}, "R = Rx * Ry * Rz");
}

}  // namespace
