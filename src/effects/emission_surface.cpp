#include "effects/emission_surface.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float kTwoPi = 6.28318530717959f;
constexpr float kRadiansPerDegree = kTwoPi / 360.0f;
// 1 / kRandomMax, as the volume formula has always been written.
constexpr float kRandomScale = 3.051851e-05f;

float UniformBetween(float lo, float hi, const RandomSource& random) {
    return (hi - lo) * kRandomScale * static_cast<float>(random()) + lo;
}

}  // namespace

void EmissionSurface::Load(const ParticleDefinition& definition) {
    Vec3 location, rotation;
    if (std::sscanf(definition.Get("surf_loc_rot").c_str(), "%g,%g,%g,%g,%g,%g", &location.x, &location.y, &location.z,
                    &rotation.x, &rotation.y, &rotation.z) == 6) {
        location_ = location;
        rotation_ = rotation;
    }
}

void VolumeSurface::Load(const ParticleDefinition& definition) {
    EmissionSurface::Load(definition);
    Vec3 size;
    if (std::sscanf(definition.Get("volume_surf").c_str(), "%g,%g,%g", &size.x, &size.y, &size.z) == 3) size_ = size;
}

Vec3 VolumeSurface::NextPoint(const RandomSource& random) {
    float x = UniformBetween(-size_.x / 2, size_.x / 2, random);
    float y = UniformBetween(-size_.y / 2, size_.y / 2, random);
    float z = UniformBetween(-size_.z / 2, size_.z / 2, random);
    return {x, y, z};
}

void CircleSurface::Load(const ParticleDefinition& definition) {
    EmissionSurface::Load(definition);
    float radius = 0, incrementsRead = 0;
    if (std::sscanf(definition.Get("circ_rad_incs").c_str(), "%g,%g", &radius, &incrementsRead) != 2) return;
    int increments = SaturatingInt(incrementsRead);
    // Fewer than one increment gives no meaningful step; the circle keeps its last one.
    if (increments > 0) {
        radius_ = radius;
        stepRadians_ = static_cast<float>(360 / increments) * kRadiansPerDegree;
    }
}

Vec3 CircleSurface::NextPoint(const RandomSource&) {
    Vec3 point{radius_ * std::sin(angle_), radius_ * std::cos(angle_), 0};
    angle_ += stepRadians_;
    if (angle_ > kTwoPi) angle_ -= kTwoPi;
    return point;
}

Vec3 PointSurface::NextPoint(const RandomSource&) { return Location(); }

std::unique_ptr<EmissionSurface> MakeSurface(int surfaceType) {
    if (surfaceType < 0) return std::make_unique<PointSurface>();
    if (surfaceType == 0) return std::make_unique<VolumeSurface>();
    if (surfaceType == 1) return std::make_unique<CircleSurface>();
    return nullptr;
}
