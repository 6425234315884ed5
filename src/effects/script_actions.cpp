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

namespace {

using ActionMaker = std::unique_ptr<ScriptedAction> (*)(int handle, std::string name);

struct ActionStatement {
    const char* key;
    ActionKind kind;
    ActionMaker make;
};

template <typename Action, typename... Extra>
std::unique_ptr<ScriptedAction> Make(int handle, std::string name, Extra... extra) {
    return std::make_unique<Action>(handle, std::move(name), extra...);
}

const ActionStatement kActionStatements[] = {
    {"PlaySound", ActionKind::kSound, [](int h, std::string n) { return Make<PlaySoundAction>(h, std::move(n), false); }},
    {"LoopSound", ActionKind::kSound, [](int h, std::string n) { return Make<PlaySoundAction>(h, std::move(n), true); }},
    {"StopSound", ActionKind::kSound, [](int h, std::string n) { return Make<StopSoundAction>(h, std::move(n)); }},
    {"StartPts", ActionKind::kEmitter, [](int h, std::string n) { return Make<StartPtsAction>(h, std::move(n)); }},
    {"StopPts", ActionKind::kEmitter, [](int h, std::string n) { return Make<StopPtsAction>(h, std::move(n)); }},
};

const ActionStatement* FindStatement(const std::string& key) {
    for (const ActionStatement& statement : kActionStatements)
        if (key == statement.key) return &statement;
    return nullptr;
}

}  // namespace

std::optional<ActionKind> ActionKindOf(const std::string& key) {
    const ActionStatement* statement = FindStatement(key);
    return statement ? std::optional<ActionKind>(statement->kind) : std::nullopt;
}

std::unique_ptr<ScriptedAction> MakeScriptAction(const std::string& key, int handle, std::string name) {
    const ActionStatement* statement = FindStatement(key);
    return statement ? statement->make(handle, std::move(name)) : nullptr;
}
