#include "effects/effect_services.h"

#include "base/report.h"
#include "effects/particle_system_manager.h"
#include "effects/sound_manager.h"

EffectsStartup StartupOf(const EffectServices& services) {
    return {[&sound = services.sound] { return sound.Init(); },
            [&particles = services.particles] { return particles.Init(); }};
}

void StartEffects(const EffectsStartup& startup) {
    if (!startup.initSound()) Report(LogModule::kScript, LogLevel::kFatal, "Could not initialize sound manager");
    if (!startup.initParticles())
        Report(LogModule::kScript, LogLevel::kFatal, "Could not initialize particle system manager");
}
