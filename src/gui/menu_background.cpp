#include "gui/menu_background.h"

#include "base/report.h"
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
    const bool sceneLoaded = LoadScene(directory + "/default.scn");
    const bool scriptRead = LoadScript(directory);
    return sceneLoaded && scriptRead;
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
