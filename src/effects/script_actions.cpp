#include "effects/script_actions.h"

#include "effects/particle_system_manager.h"
#include "effects/sound_manager.h"

namespace {

ParticleSystemManager& Particles() { return ParticleSystemManager::Instance(); }

}  // namespace

void SoundAction::Release() { UnloadSound(handle_); }

void PlaySoundAction::Start() { PlaySound(handle_, looping_); }

void PlaySoundAction::Stop() { StopSound(handle_); }

void StopSoundAction::Start() { StopSound(handle_); }

void EmitterAction::Release() {
    Particles().RemoveEmitter(handle_);
    handle_ = 0;
}

void StartPtsAction::Start() { Particles().RestartEmitter(handle_); }

void StartPtsAction::Stop() { Particles().StopEmitter(handle_); }

void StopPtsAction::Start() { Particles().StopEmitter(handle_); }

std::optional<ActionKind> ActionKindOf(const std::string& key) {
    if (key == "PlaySound" || key == "LoopSound" || key == "StopSound") return ActionKind::kSound;
    if (key == "StartPts" || key == "StopPts") return ActionKind::kEmitter;
    return std::nullopt;
}

std::unique_ptr<ScriptedAction> MakeScriptAction(const std::string& key, int handle, std::string name) {
    if (key == "PlaySound") return std::make_unique<PlaySoundAction>(handle, std::move(name), false);
    if (key == "LoopSound") return std::make_unique<PlaySoundAction>(handle, std::move(name), true);
    if (key == "StopSound") return std::make_unique<StopSoundAction>(handle, std::move(name));
    if (key == "StartPts") return std::make_unique<StartPtsAction>(handle, std::move(name));
    if (key == "StopPts") return std::make_unique<StopPtsAction>(handle, std::move(name));
    return nullptr;
}
