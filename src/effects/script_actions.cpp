#include "effects/script_actions.h"

#include "effects/particle_system_manager.h"
#include "effects/sound_manager.h"

void SoundAction::Release() { sound_.UnloadSound(handle_); }

void PlaySoundAction::Start() { sound_.PlaySound(handle_, looping_); }

void PlaySoundAction::Stop() { sound_.StopSound(handle_); }

void StopSoundAction::Start() { sound_.StopSound(handle_); }

void EmitterAction::Release() {
    particles_.RemoveEmitter(handle_);
    handle_ = 0;
}

void StartPtsAction::Start() { particles_.RestartEmitter(handle_); }

void StartPtsAction::Stop() { particles_.StopEmitter(handle_); }

void StopPtsAction::Start() { particles_.StopEmitter(handle_); }

namespace {

using ActionMaker = std::unique_ptr<ScriptedAction> (*)(const EffectServices& services, int handle, std::string name);

struct ActionStatement {
    const char* key;
    ActionKind kind;
    ActionMaker make;
};

using Services = const EffectServices&;

const ActionStatement kActionStatements[] = {
    {"PlaySound", ActionKind::kSound,
     [](Services s, int h, std::string n) -> std::unique_ptr<ScriptedAction> {
         return std::make_unique<PlaySoundAction>(s.sound, h, std::move(n), false);
     }},
    {"LoopSound", ActionKind::kSound,
     [](Services s, int h, std::string n) -> std::unique_ptr<ScriptedAction> {
         return std::make_unique<PlaySoundAction>(s.sound, h, std::move(n), true);
     }},
    {"StopSound", ActionKind::kSound,
     [](Services s, int h, std::string n) -> std::unique_ptr<ScriptedAction> {
         return std::make_unique<StopSoundAction>(s.sound, h, std::move(n));
     }},
    {"StartPts", ActionKind::kEmitter,
     [](Services s, int h, std::string n) -> std::unique_ptr<ScriptedAction> {
         return std::make_unique<StartPtsAction>(s.particles, h, std::move(n));
     }},
    {"StopPts", ActionKind::kEmitter,
     [](Services s, int h, std::string n) -> std::unique_ptr<ScriptedAction> {
         return std::make_unique<StopPtsAction>(s.particles, h, std::move(n));
     }},
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

std::unique_ptr<ScriptedAction> MakeScriptAction(const EffectServices& services, const std::string& key, int handle,
                                                 std::string name) {
    const ActionStatement* statement = FindStatement(key);
    return statement ? statement->make(services, handle, std::move(name)) : nullptr;
}
