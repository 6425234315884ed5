#include "effects/script_manager.h"

#include <fstream>

#include "base/report.h"
#include "effects/particle_system_manager.h"
#include "effects/script_parser.h"
#include "effects/sound_manager.h"

ScriptManager::ScriptManager(const EffectServices& services) : services_(services) {
    Report(LogModule::kScript, LogLevel::kInfo, "Script manager is initialized");
}

ScriptManager::~ScriptManager() { Report(LogModule::kScript, LogLevel::kInfo, "Script manager is destroyed"); }

bool ScriptManager::ReadScriptFile(const std::string& name, const std::string& path) {
    Report(LogModule::kScript, LogLevel::kInfo, "Reading script %s from file %s", name.c_str(), path.c_str());
    scriptName_ = name;
    std::ifstream file(path);
    if (!file) {
        Report(LogModule::kScript, LogLevel::kError, "Could not open input file: %s", path.c_str());
        blocks_.clear();  // the previous script's actions must not be bound under this name
        return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(std::move(line));
    return ParseScript(CleanScriptLines(lines), blocks_);
}

bool ScriptManager::ReadScriptText(const std::string& name, const std::string& text) {
    Report(LogModule::kScript, LogLevel::kInfo, "Reading script %s", name.c_str());
    scriptName_ = name;
    return ParseScript(CleanScriptText(text), blocks_);
}

void ScriptManager::BindEvent(const std::string& event, EventTrigger& trigger, const Vec3* position,
                              const Vec3* rotation, const Vec3* velocity) {
    const ScriptBlock* block = FindBlock("action", event);
    if (!block) return;
    for (const auto& [key, value] : block->statements) {
        std::optional<ActionKind> kind = ActionKindOf(key);
        if (!kind) continue;
        int handle = *kind == ActionKind::kSound ? FindSound(value, position, velocity)
                                                 : FindEmitter(value, position, rotation, velocity);
        std::unique_ptr<ScriptedAction> action = MakeScriptAction(services_, key, handle, scriptName_ + value);
        trigger.Bind(action.get());
        actions_.push_back(std::move(action));
    }
}

int ScriptManager::FindSound(const std::string& name, const Vec3* position, const Vec3* velocity) {
    if (const ScriptedAction* shared = FindAction(ActionKind::kSound, name)) return shared->Handle();
    const ScriptBlock* block = FindBlock("sound", name);
    if (!block) {
        Report(LogModule::kScript, LogLevel::kError, "Unreferenced sound %s at script %s", LoggedToken(name).c_str(),
               scriptName_.c_str());
        return 0;
    }
    for (const auto& [key, value] : block->statements) {
        if (key == "file") return services_.sound.LoadSound(dataDirectory_ + "/" + value, position, velocity);
    }
    Report(LogModule::kScript, LogLevel::kWarning, "Sound %s at script %s is missing file location",
           LoggedToken(name).c_str(), scriptName_.c_str());
    return 0;
}

int ScriptManager::FindEmitter(const std::string& name, const Vec3* position, const Vec3* rotation,
                               const Vec3* velocity) {
    if (const ScriptedAction* shared = FindAction(ActionKind::kEmitter, name)) return shared->Handle();
    const ScriptBlock* block = FindBlock("pts", name);
    if (!block) {
        Report(LogModule::kScript, LogLevel::kError, "Unreferenced particle emitter %s at script %s",
               LoggedToken(name).c_str(), scriptName_.c_str());
        return 0;
    }
    services_.particles.SetTextureDirectory(dataDirectory_);
    return services_.particles.AddEmitter(ParticleDefinition{block->name, block->statements}, position, rotation,
                                          velocity);
}

void ScriptManager::Reset() {
    for (const auto& action : actions_) action->Release();
    actions_.clear();
}

void ScriptManager::Tick() {
    services_.sound.UpdatePositions();
    services_.particles.UpdateAll();
}

void ScriptManager::Draw() { services_.particles.DrawAll(); }

const ScriptBlock* ScriptManager::FindBlock(const std::string& type, const std::string& name) const {
    for (const ScriptBlock& block : blocks_) {
        if (block.type == type && block.name == name) return &block;
    }
    return nullptr;
}

// The level script is read under the empty name, so its actions carry the bare name and
// every ship script that names the same sound or emitter finds them.
const ScriptedAction* ScriptManager::FindAction(ActionKind kind, const std::string& name) const {
    for (const auto& action : actions_) {
        if (action->Kind() == kind && (action->Name() == name || action->Name() == scriptName_ + name))
            return action.get();
    }
    return nullptr;
}
