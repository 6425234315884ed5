#include "effects/particle_system_manager.h"

#include "base/clock.h"
#include "base/report.h"

ParticleSystemManager::ParticleSystemManager()
    : clock_(NowMs), random_(LinearRandom()), loadTexture_([](const std::string&) { return 0u; }) {}

ParticleSystemManager::~ParticleSystemManager() { Destroy(); }

bool ParticleSystemManager::Init() {
    SpinLockGuard guard(flag_);
    if (initialised_) return true;
    emitters_.clear();
    emitters_.emplace_back();  // entry 0: handle 0 means no emitter
    Report(LogModule::kParticles, LogLevel::kInfo, "Particle system manager is initialized");
    initialised_ = true;
    return true;
}

void ParticleSystemManager::Destroy() {
    SpinLockGuard guard(flag_);
    if (!initialised_) return;
    emitters_.clear();
    Report(LogModule::kParticles, LogLevel::kInfo, "Particle system manager is destroyed");
    initialised_ = false;
}

void ParticleSystemManager::SetTextureDirectory(const std::string& directory) {
    SpinLockGuard guard(flag_);
    textureDirectory_ = directory;
}

int ParticleSystemManager::AddEmitter(const ParticleDefinition& definition, const Vec3* position, const Vec3* rotation,
                                      const Vec3* velocity) {
    SpinLockGuard guard(flag_);
    if (!initialised_) return 0;
    std::string type = definition.Get("type");
    if (type.empty()) {
        Report(LogModule::kParticles, LogLevel::kError, "Type is not defined for %s", definition.name.c_str());
        return 0;
    }
    std::unique_ptr<Emitter> emitter = MakeEmitter(type, random_);
    if (!emitter) {
        Report(LogModule::kParticles, LogLevel::kError, "Type is uknown for %s", definition.name.c_str());
        return 0;
    }
    emitter->Attach(position, rotation, velocity);
    emitter->Load(definition, textureDirectory_, loadTexture_);
    emitters_.push_back(std::move(emitter));
    return static_cast<int>(emitters_.size() - 1);
}

// Handles of other emitters never change: only empty entries at the end are dropped.
void ParticleSystemManager::RemoveEmitter(int handle) {
    SpinLockGuard guard(flag_);
    if (!Find(handle)) return;
    emitters_[static_cast<size_t>(handle)].reset();
    while (emitters_.size() > 1 && !emitters_.back()) emitters_.pop_back();
}

void ParticleSystemManager::RestartEmitter(int handle) {
    SpinLockGuard guard(flag_);
    if (Emitter* emitter = Find(handle)) emitter->Restart(clock_());
}

void ParticleSystemManager::StopEmitter(int handle) {
    SpinLockGuard guard(flag_);
    if (Emitter* emitter = Find(handle)) emitter->Stop();
}

void ParticleSystemManager::UpdateAll() {
    SpinLockGuard guard(flag_);
    int64_t now = clock_();
    for (const auto& emitter : emitters_) {
        if (emitter) emitter->Tick(now);
    }
}

size_t ParticleSystemManager::TableSize() const {
    SpinLockGuard guard(flag_);
    return emitters_.size();
}

std::optional<EmitterSnapshot> ParticleSystemManager::Inspect(int handle) const {
    SpinLockGuard guard(flag_);
    const Emitter* emitter = Find(handle);
    if (!emitter) return std::nullopt;
    return EmitterSnapshot{emitter->IsStopped(), emitter->Texture(), emitter->Particles()};
}

void ParticleSystemManager::SetClock(std::function<int64_t()> clock) {
    SpinLockGuard guard(flag_);
    clock_ = std::move(clock);
}

void ParticleSystemManager::SetRandomSource(RandomSource random) {
    SpinLockGuard guard(flag_);
    random_ = std::move(random);
}

void ParticleSystemManager::SetTextureLoader(TextureLoader loader) {
    SpinLockGuard guard(flag_);
    loadTexture_ = std::move(loader);
}

Emitter* ParticleSystemManager::Find(int handle) const {
    if (handle <= 0 || static_cast<size_t>(handle) >= emitters_.size()) return nullptr;
    return emitters_[static_cast<size_t>(handle)].get();
}
