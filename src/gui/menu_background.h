#pragma once

#include <string>

#include "effects/event_trigger.h"
#include "effects/script_manager.h"
#include "scene/model_manager.h"

// The animated scene behind the main menu: its own models, cameras and lights, and its
// own script whose "start" actions (music, drifting particles) run while the menu shows.
// Its textures are made in the texture manager's keep mode, so level changes leave them.
class MenuBackground {
public:
    // Plays, draws and loads textures through the borrowed services.
    explicit MenuBackground(const EffectServices& services);

    // Reads "default.scn" (a COB scene) and "default.scr" from `directory`, whose
    // "texture" sub-directory holds the scene's textures. False when either fails; what
    // did load is still shown.
    bool Load(const std::string& directory);
    // While a race runs the background is not seen: Unload stops it and frees its models,
    // textures, music and particles; Reload reads them again from the same directory.
    void Unload();
    void Reload();

    void Start() const { start_.Start(); }
    // Once a frame while shown: sounds follow, particles move.
    void Tick() { scripts_.Tick(); }
    // GL, in the 3D pass: the scene, then its particles.
    void Draw();

    const ModelManager& Models() const { return models_; }
    const EventTrigger& StartTrigger() const { return start_; }

    static constexpr const char* kDirectory = "data/.default";

private:
    bool LoadScene(const std::string& path);
    bool LoadScript(const std::string& directory);

    TextureManager& textures_;
    ModelManager models_;
    ScriptManager scripts_;
    EventTrigger start_;
    std::string directory_;
    bool loaded_ = false;
};
