#include "effects/rotation.h"

#include <cmath>

namespace {

constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;

}  // namespace

Vec3 RotateXyz(const Vec3& v, const Vec3& degrees) {
    float cz = std::cos(degrees.z * kRadiansPerDegree), sz = std::sin(degrees.z * kRadiansPerDegree);
    Vec3 afterZ{cz * v.x - sz * v.y, sz * v.x + cz * v.y, v.z};
    float cy = std::cos(degrees.y * kRadiansPerDegree), sy = std::sin(degrees.y * kRadiansPerDegree);
    Vec3 afterY{cy * afterZ.x + sy * afterZ.z, afterZ.y, -sy * afterZ.x + cy * afterZ.z};
    float cx = std::cos(degrees.x * kRadiansPerDegree), sx = std::sin(degrees.x * kRadiansPerDegree);
    return {afterY.x, cx * afterY.y - sx * afterY.z, sx * afterY.y + cx * afterY.z};
}
