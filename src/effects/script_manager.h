#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/vec3.h"
#include "effects/effect_services.h"
#include "effects/event_trigger.h"
#include "effects/script_actions.h"
#include "effects/script_parser.h"

// Reads the scripts of a level (from .scr files or scene notes) one at a time and binds
// their actions to the game's event triggers, creating the sounds and emitters the
// actions need, in the borrowed sound and particle managers (which it neither starts
// nor stops). Owns those actions until Reset. It also drives the sound and particle
// managers every game step and draws the particles.
class ScriptManager {
public:
    explicit ScriptManager(const EffectServices& services);
    ~ScriptManager();
    ScriptManager(const ScriptManager&) = delete;
    ScriptManager& operator=(const ScriptManager&) = delete;

    // The level directory: sound files and particle textures are found under it.
    void SetDataDirectory(const std::string& directory) { dataDirectory_ = directory; }

    // Each read replaces the blocks of the previous script, so bind its events first.
    // `name` is "" for the level script and the ship's name for a ship's script.
    bool ReadScriptFile(const std::string& name, const std::string& path);
    bool ReadScriptText(const std::string& name, const std::string& text);

    // Binds the actions of the current script's action block named `event` to the
    // trigger; no such block binds nothing. The sounds and emitters follow the given
    // vectors of the moving object (none for level events), which must outlive Reset.
    void BindEvent(const std::string& event, EventTrigger& trigger, const Vec3* position = nullptr,
                   const Vec3* rotation = nullptr, const Vec3* velocity = nullptr);

    // A sound or emitter an earlier action already refers to under `name` (bare, as the
    // level script names it, or with the current script's name) is shared; otherwise it
    // is created from the current script's block. 0 when neither exists.
    int FindSound(const std::string& name, const Vec3* position, const Vec3* velocity);
    int FindEmitter(const std::string& name, const Vec3* position, const Vec3* rotation, const Vec3* velocity);

    // Releases every sound and emitter and destroys the actions. The owners of the
    // triggers clear them in the same unload.
    void Reset();
    // Once per game step: sounds follow their objects, particles move.
    void Tick();
    // GL: the particles, after the scene.
    void Draw();

    const std::vector<ScriptBlock>& Blocks() const { return blocks_; }
    const std::vector<std::unique_ptr<ScriptedAction>>& Actions() const { return actions_; }

private:
    const ScriptBlock* FindBlock(const std::string& type, const std::string& name) const;
    const ScriptedAction* FindAction(ActionKind kind, const std::string& name) const;

    EffectServices services_;
    std::vector<ScriptBlock> blocks_;
    std::string scriptName_;
    std::string dataDirectory_;
    std::vector<std::unique_ptr<ScriptedAction>> actions_;
};
