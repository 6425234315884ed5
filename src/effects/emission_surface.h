#pragma once

#include <memory>

#include "base/vec3.h"
#include "effects/particle_definition.h"
#include "effects/ranged_value.h"

// Where an emitter's new particles appear, relative to the emitter. Every surface has
// a location and a rotation ("surf_loc_rot"); the kinds differ in the points they give.
class EmissionSurface {
public:
    virtual ~EmissionSurface() = default;

    // Reads "surf_loc_rot" and the kind's own keys; values that are incomplete keep
    // the defaults.
    virtual void Load(const ParticleDefinition& definition);
    // The local point of the next particle.
    virtual Vec3 NextPoint(const RandomSource& random) = 0;

    const Vec3& Location() const { return location_; }
    const Vec3& Rotation() const { return rotation_; }

private:
    Vec3 location_;
    Vec3 rotation_;
};

// A box of the "volume_surf" sizes centred on the surface; points are uniform in it.
class VolumeSurface : public EmissionSurface {
public:
    void Load(const ParticleDefinition& definition) override;
    Vec3 NextPoint(const RandomSource& random) override;

private:
    Vec3 size_;
};

// A circle of radius R in the surface's x-y plane; successive points walk around it in
// steps of 360 / increments degrees, starting at the top (0, R, 0).
class CircleSurface : public EmissionSurface {
public:
    void Load(const ParticleDefinition& definition) override;
    Vec3 NextPoint(const RandomSource& random) override;

private:
    float radius_ = 0;
    float stepRadians_ = 0;
    float angle_ = 0;
};

// A single point: the surface location itself.
class PointSurface : public EmissionSurface {
public:
    Vec3 NextPoint(const RandomSource& random) override;
};

// The surface for a "surf_type": 0 volume, 1 circle, negative point; above 1 there is
// none (nullptr), and an emitter without a surface emits nothing.
std::unique_ptr<EmissionSurface> MakeSurface(int surfaceType);
