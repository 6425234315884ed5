#include "scene/texture_manager.h"

#include <algorithm>
#include <fstream>
#include <strings.h>

#include "base/report.h"
#include "platform/message_box.h"

namespace {

bool CanOpen(const std::string& path) { return std::ifstream(path, std::ios::binary).is_open(); }

bool EndsWithBmp(const std::string& path) {
    return path.size() >= 3 && strcasecmp(path.c_str() + path.size() - 3, "bmp") == 0;
}

void ShowInMessageBox(const std::string& title, const std::string& text) {
    ShowMessageBox(title.c_str(), text.c_str(), MessageIcon::kError);
}

}  // namespace

TextureManager::TextureManager(std::unique_ptr<TextureUploader> uploader)
    : uploader_(std::move(uploader)), messageBox_(ShowInMessageBox) {}

std::unique_ptr<TextureUploader> TextureManager::SetUploader(std::unique_ptr<TextureUploader> uploader) {
    std::swap(uploader, uploader_);
    return uploader;
}

uint32_t TextureManager::GetTexture(const std::string& givenName, bool withAlpha) {
    // Models made on Windows name their textures with backslashes ("..\\hull.bmp").
    std::string name = givenName;
    std::replace(name.begin(), name.end(), '\\', '/');
    // Without a texture path there is nothing to look in but the name itself.
    std::string resolved = texturePath_.empty() ? name : texturePath_ + "/" + name;
    if (!CanOpen(resolved)) {
        resolved = name;
        if (!CanOpen(resolved)) {
            Report(LogModule::kTexture, LogLevel::kError, "Texture file does not exist %s", name.c_str());
            return 0;
        }
    }
    auto known = textures_.find(resolved);
    if (known != textures_.end()) return known->second;

    uint32_t texture = LoadTexture(resolved, withAlpha);
    if (texture != 0) {
        textures_[resolved] = texture;
        if (keepMode_) kept_.push_back(texture);
    }
    return texture;
}

uint32_t TextureManager::LoadTexture(const std::string& path, bool withAlpha) {
    if (!CanOpen(path)) {
        Report(LogModule::kTexture, LogLevel::kError, "Texture file does not exist %s", path.c_str());
        return 0;
    }
    if (!EndsWithBmp(path)) {
        Report(LogModule::kTexture, LogLevel::kError, "Unsupported file type(need bmp): %s", path.c_str());
        return 0;
    }
    BmpDecodeResult decoded = LoadBmpFile(path);
    if (!decoded.image) {
        if (messageBox_) messageBox_("Error", decoded.error);
        Report(LogModule::kTexture, LogLevel::kError, "Problem with loading texture: %s", path.c_str());
        return 0;
    }
    uint32_t texture = uploader_ ? uploader_->Upload(*decoded.image, withAlpha, path) : 0;
    if (texture != 0) Report(LogModule::kTexture, LogLevel::kInfo, "Texture is loadded: %s", path.c_str());
    return texture;
}

void TextureManager::DeleteAllTextures() {
    for (const auto& [path, texture] : textures_) {
        bool kept = std::find(kept_.begin(), kept_.end(), texture) != kept_.end();
        if (!kept && uploader_) uploader_->Delete(texture);
    }
    textures_.clear();
}

void TextureManager::DeleteKeptTextures() {
    for (auto known = textures_.begin(); known != textures_.end();) {
        if (std::find(kept_.begin(), kept_.end(), known->second) != kept_.end())
            known = textures_.erase(known);
        else
            ++known;
    }
    if (uploader_)
        for (uint32_t texture : kept_) uploader_->Delete(texture);
    kept_.clear();
}
