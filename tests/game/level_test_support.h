#pragma once

// Helpers for the tests that load whole levels without a display: textures are decoded
// but never uploaded, sound and particles stay off, and shipped levels are copied into
// a temporary directory so the game may write into them.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "effects/script_manager.h"
#include "scene/texture_manager.h"

class NoGlUploader : public TextureUploader {
public:
    uint32_t Upload(const BmpImage&, bool, const std::string&) override { return ++lastName_; }
    void Delete(uint32_t) override {}

private:
    uint32_t lastName_ = 0;
};

// Keeps GL out of the process-wide texture manager while it lives.
class HeadlessTextures {
public:
    HeadlessTextures() {
        TextureManager& textures = TextureManager::Instance();
        previous_ = textures.SetUploader(std::make_unique<NoGlUploader>());
        textures.SetMessageBox([](const std::string&, const std::string&) {});
    }
    ~HeadlessTextures() {
        TextureManager& textures = TextureManager::Instance();
        textures.DeleteAllTextures();
        textures.SetUploader(std::move(previous_));
    }
    HeadlessTextures(const HeadlessTextures&) = delete;
    HeadlessTextures& operator=(const HeadlessTextures&) = delete;

private:
    std::unique_ptr<TextureUploader> previous_;
};

// Sound and particles are not started: scripts still read and bind, with no handles.
inline EffectsStartup QuietEffects() {
    return {[] { return true; }, [] { return true; }};
}

// Copies data/<level> (relative to the repository root) to <root>/<level>.
inline std::string CopyShippedLevel(const std::string& level, const std::string& root) {
    const std::string target = root + "/" + level;
    std::filesystem::copy("data/" + level, target, std::filesystem::copy_options::recursive);
    std::filesystem::remove(target + "/saved.ini.all");
    return target;
}
