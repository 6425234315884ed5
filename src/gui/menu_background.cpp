#include "gui/menu_background.h"

#include "base/report.h"
#include "platform/process_usage.h"
#include "scene/cob_reader.h"
#include "scene/texture_manager.h"

namespace {

// Keep mode is on exactly while the background loads, even when a fatal report throws.
class KeepTextures {
public:
    explicit KeepTextures(TextureManager& textures) : textures_(textures) { textures_.SetKeepMode(true); }
    ~KeepTextures() { textures_.SetKeepMode(false); }
    KeepTextures(const KeepTextures&) = delete;
    KeepTextures& operator=(const KeepTextures&) = delete;

private:
    TextureManager& textures_;
};

}  // namespace

MenuBackground::MenuBackground(const EffectServices& services)
    : textures_(services.textures), models_(services.textures), scripts_(services) {}

bool MenuBackground::Load(const std::string& directory) {
    KeepTextures keep(textures_);
    textures_.SetTexturePath(directory + "/texture");
    directory_ = directory;
    loaded_ = true;
    const bool sceneLoaded = LoadScene(directory + "/default.scn");
    const bool scriptRead = LoadScript(directory);
    return sceneLoaded && scriptRead;
}

// The race's peak memory is reached while its first frames are drawn; what the menu
// holds would only add to it.
void MenuBackground::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    start_.Stop();
    start_.Clear();
    scripts_.Reset();
    {
        SpinLockGuard guard(models_.SceneLock());
        models_.Clear();
    }
    textures_.DeleteKeptTextures();
    // The freed pages would otherwise stay with the process while the race's first frames
    // compile their shaders.
    ReturnFreeMemory();
}

void MenuBackground::Reload() {
    if (loaded_ || directory_.empty()) return;
    // The level that follows sets its own texture path; the one before it keeps its own.
    const std::string texturePath = textures_.TexturePath();
    Load(directory_);
    textures_.SetTexturePath(texturePath);
}

bool MenuBackground::LoadScene(const std::string& path) {
    CobReader reader;
    if (!reader.Load(path)) {
        Report(LogModule::kGui, LogLevel::kError, "Could not load the menu background scene %s", path.c_str());
        return false;
    }
    for (const CobPolH& polyhedron : reader.Polyhedra()) models_.BuildModel(reader, polyhedron);
    models_.LoadLightsFromCob(reader);
    models_.LoadCamerasFromCob(reader);
    return true;
}

bool MenuBackground::LoadScript(const std::string& directory) {
    // The script names its sounds and textures relative to the background's directory.
    scripts_.SetDataDirectory(directory);
    if (!scripts_.ReadScriptFile("", directory + "/default.scr")) return false;
    scripts_.BindEvent("start", start_);
    return true;
}

void MenuBackground::Draw() {
    models_.DrawScene();
    scripts_.Draw();
}
