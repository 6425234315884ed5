#pragma once

// Helpers for the tests that load whole levels without a display: textures are decoded
// but never uploaded, sound and particles stay off, and shipped levels are copied into
// a temporary directory so the game may write into them.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "effects/effect_services.h"
#include "effects/particle_system_manager.h"
#include "effects/script_manager.h"
#include "effects/sound_manager.h"
#include "game/game_manager.h"
#include "scene/texture_manager.h"

class NoGlUploader : public TextureUploader {
public:
    uint32_t Upload(const BmpImage&, bool, const std::string&) override { return ++lastName_; }
    void Delete(uint32_t) override {}

private:
    uint32_t lastName_ = 0;
};

// A test's own services. A picture that cannot be decoded shows no box; scripts still read
// and bind, with no sound or particle handles.
class QuietServices {
public:
    QuietServices() : textures(std::make_unique<NoGlUploader>()) {
        textures.SetMessageBox([](const std::string&, const std::string&) {});
    }
    EffectServices Lend() { return {sound, particles, textures}; }

    SoundManager sound;
    ParticleSystemManager particles;
    TextureManager textures;
};

// The game's message lines, kept for the test to read.
class RecordedLines : public MessageLines {
public:
    void AddLine(const std::string& line) override { lines.push_back(line); }
    void ClearLines() override { lines.clear(); }
    std::vector<std::string> lines;
};

// Copies data/<level> (relative to the repository root) to <root>/<level>.
inline std::string CopyShippedLevel(const std::string& level, const std::string& root) {
    const std::string target = root + "/" + level;
    std::filesystem::copy("data/" + level, target, std::filesystem::copy_options::recursive);
    std::filesystem::remove(target + "/saved.ini.all");
    return target;
}
