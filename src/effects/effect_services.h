#pragma once

#include <functional>

class ParticleSystemManager;
class SoundManager;
class TextureManager;

// The sound, particle and texture services of a program. Each has one owner (the
// application; a test or the level inspector its own), which starts and stops it once
// and lends it to the script managers, the game and the menu background; every
// borrower must be gone before the owner stops them.
struct EffectServices {
    SoundManager& sound;
    ParticleSystemManager& particles;
    TextureManager& textures;
};

// How an owner starts sound and particles; tests pass their own to watch the failures.
struct EffectsStartup {
    std::function<bool()> initSound;
    std::function<bool()> initParticles;
};
// Starting the owner's services.
EffectsStartup StartupOf(const EffectServices& services);
// Runs both starts; a failure is fatal (reported at kFatal).
void StartEffects(const EffectsStartup& startup);
