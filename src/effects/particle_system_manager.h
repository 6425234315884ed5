#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/spin_lock.h"
#include "base/vec3.h"
#include "effects/emitter.h"
#include "effects/particle_definition.h"
#include "effects/ranged_value.h"

// A copy of one emitter's state, for callers that need to look without drawing.
struct EmitterSnapshot {
    bool stopped = true;
    unsigned texture = 0;
    std::vector<Particle> particles;
};

// Holds every particle emitter of the process. Emitters are reached by handle: the
// index in the table, 0 meaning none (entry 0 is reserved and always empty). The table
// is guarded by the manager's flag, each emitter's particles by the emitter's lock,
// always taken in that order.
//
// The application owns the game's one and lends it out; tests make their own and
// inject the clock and the random source. Textures come from the loader the owner
// sets (none until then: particles are then drawn untextured).
class ParticleSystemManager {
public:
    ParticleSystemManager();
    // Destroys.
    ~ParticleSystemManager();
    ParticleSystemManager(const ParticleSystemManager&) = delete;
    ParticleSystemManager& operator=(const ParticleSystemManager&) = delete;

    // Both are safe to repeat.
    bool Init();
    void Destroy();

    // Particle textures are found under this directory (initially "data").
    void SetTextureDirectory(const std::string& directory);
    // A stopped emitter following the three vectors (null: a zero vector), or 0 when
    // the definition names no known "type" or the manager is not initialised.
    int AddEmitter(const ParticleDefinition& definition, const Vec3* position = nullptr, const Vec3* rotation = nullptr,
                   const Vec3* velocity = nullptr);
    // Handle 0, unknown and already removed handles are ignored.
    void RemoveEmitter(int handle);
    void RestartEmitter(int handle);
    void StopEmitter(int handle);

    void UpdateAll();
    // GL: draws every running emitter with additive blending, after the scene.
    void DrawAll();

    // The table size counting the reserved entry 0.
    size_t TableSize() const;
    std::optional<EmitterSnapshot> Inspect(int handle) const;

    void SetClock(std::function<int64_t()> clock);
    void SetRandomSource(RandomSource random);
    void SetTextureLoader(TextureLoader loader);

private:
    Emitter* Find(int handle) const;

    mutable SpinLock flag_;
    bool initialised_ = false;
    std::vector<std::unique_ptr<Emitter>> emitters_;
    std::string textureDirectory_ = "data";
    std::function<int64_t()> clock_;
    RandomSource random_;
    TextureLoader loadTexture_;
};
