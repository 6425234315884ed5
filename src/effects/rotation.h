#pragma once

#include "base/vec3.h"

// Rotates v by the three angles (degrees) the way models are turned when drawn:
// R = Rx(x) * Ry(y) * Rz(z), so the z rotation applies to v first.
Vec3 RotateXyz(const Vec3& v, const Vec3& degrees);

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(float s, const Vec3& v) { return {s * v.x, s * v.y, s * v.z}; }
