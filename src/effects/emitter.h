#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/spin_lock.h"
#include "base/vec3.h"
#include "effects/emission_surface.h"
#include "effects/particle_definition.h"
#include "effects/ranged_value.h"

struct Particle {
    Vec3 position;
    Colour colour;
    Vec3 velocity;
    Vec3 gravity;
    float life = 0;  // milliseconds left; below 0 the particle is dead
    float size = 0;  // half the side of the drawn square
};

// Turns a texture file path into a GL texture name (0: untextured).
using TextureLoader = std::function<unsigned(const std::string& path)>;

// One particle effect following three vectors of a game object. This class is the
// "moving" kind: particles leave the surface with their own velocity and the owner's.
// Other kinds change how a particle is placed and how it moves.
//
// Times are milliseconds of the manager's clock; `now` is passed in so the rules can be
// driven by tests. Operations on the particles hold the emitter's lock.
class Emitter {
public:
    // Draws come from `random`, which must outlive the emitter.
    explicit Emitter(const RandomSource& random);
    virtual ~Emitter() = default;
    Emitter(const Emitter&) = delete;
    Emitter& operator=(const Emitter&) = delete;

    // Any of the three may be null: the emitter then follows a zero vector instead.
    void Attach(const Vec3* position, const Vec3* rotation, const Vec3* velocity);
    // Reads the definition; the emitter ends up stopped and prepared.
    void Load(const ParticleDefinition& definition, const std::string& textureDirectory,
              const TextureLoader& loadTexture);

    // Starts a new burst from one fresh particle, the clock starting at `now`.
    void Restart(int64_t now);
    void Stop();
    // Advances the particles to `now` and emits new ones; a stopped emitter without
    // particles is left alone.
    void Tick(int64_t now);
    // GL: draws every particle as a textured square facing the viewer, all in one batch.
    void Draw();

    bool IsStopped() const;
    std::vector<Particle> Particles() const;
    unsigned Texture() const { return texture_; }

protected:
    virtual Particle InitParticle();
    virtual void AdvanceParticle(float dt, Particle& particle);

    // The draws every kind makes the same way.
    void DrawColour(Particle& particle) const;
    void DrawGravity(Particle& particle) const;
    void DrawLife(Particle& particle) const;
    void DrawSize(Particle& particle) const;

    const RandomSource& random_;
    std::unique_ptr<EmissionSurface> surface_;
    const Vec3* position_;
    const Vec3* rotation_;
    const Vec3* velocity_;
    RangedValue<float> xVel_, yVel_, zVel_;

private:
    void Prepare();
    void Update(float dt);
    void Cleanup();

    mutable SpinLock lock_;
    int64_t timer_ = 0;
    int64_t last_ = 0;
    bool stopped_ = true;
    bool regenerate_ = false;
    bool rotateAtEmission_ = false;
    std::vector<Particle> particles_;
    int maxParticles_ = 0;
    float accumulator_ = 0;
    size_t deadCount_ = 0;
    RangedValue<int> live_;
    RangedValue<float> genRate_, size_, red_, green_, blue_, alpha_;
    RangedValue<float> xGrv_, yGrv_, zGrv_;
    unsigned texture_ = 0;
};

// Marks (skid marks, scorch trails) stay where they were left: as "moving", without the
// owner's velocity.
class MarkingEmitter : public Emitter {
public:
    using Emitter::Emitter;

protected:
    Particle InitParticle() override;
};

// Particles that stay on the emitter, so the effect moves with its owner (glows).
class FollowerEmitter : public Emitter {
public:
    using Emitter::Emitter;

protected:
    void AdvanceParticle(float dt, Particle& particle) override;
};

// Particles that fly outwards from the centre of the surface, in the plane of the
// owner's rotation combined with the surface's (rings, shock waves).
class CircularEmitter : public Emitter {
public:
    using Emitter::Emitter;

protected:
    Particle InitParticle() override;
};

// The emitter of a "type" value ("moving", "circular", "marking", "follower"); nullptr
// for any other.
std::unique_ptr<Emitter> MakeEmitter(const std::string& type, const RandomSource& random);

// More particles than this per emitter would stall the frame; larger counts are capped.
constexpr int kMaxParticlesPerEmitter = 10000;
