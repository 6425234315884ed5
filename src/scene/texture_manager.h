#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/bmp_decoder.h"

// Turns decoded pictures into GL textures. The game uses the GL one; tests count calls.
class TextureUploader {
public:
    virtual ~TextureUploader() = default;
    // A new texture holding the picture (with an opaque alpha channel when asked), or 0
    // when GL gave no texture name; `path` names the file in the log.
    virtual uint32_t Upload(const BmpImage& image, bool withAlpha, const std::string& path) = 0;
    virtual void Delete(uint32_t texture) = 0;
};

std::unique_ptr<TextureUploader> MakeGlTextureUploader();

// How a picture that cannot be decoded is shown to the user: a message box.
using MessageBoxFunction = std::function<void(const std::string& title, const std::string& text)>;

// Hands out GL texture names for BMP files, one texture per resolved file path, shared
// by everyone who asks for that file. Textures made in keep mode (the menu background's)
// survive DeleteAllTextures, which a level unload calls.
//
// The application owns the game's one (uploading with GL) and lends it to the scenes;
// tools and tests make their own with other uploaders.
class TextureManager {
public:
    explicit TextureManager(std::unique_ptr<TextureUploader> uploader);
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    // The texture of the file `name`, looked for first in the texture path and then as
    // given; 0 when it cannot be had (the reason is logged).
    uint32_t GetTexture(const std::string& name, bool withAlpha);
    uint32_t GetTextureWithAlpha(const std::string& name) { return GetTexture(name, true); }

    void SetTexturePath(const std::string& directory) { texturePath_ = directory; }
    const std::string& TexturePath() const { return texturePath_; }
    void SetKeepMode(bool on) { keepMode_ = on; }
    bool KeepMode() const { return keepMode_; }

    // Deletes every texture not made in keep mode and forgets them all; a kept texture
    // stays valid in GL, but a later request for its file makes a new one.
    void DeleteAllTextures();
    // Deletes every texture made in keep mode; a later request for its file makes a new one.
    void DeleteKeptTextures();

    // Number of files with a live texture.
    size_t TextureCount() const { return textures_.size(); }

    // Returns the uploader it replaces.
    std::unique_ptr<TextureUploader> SetUploader(std::unique_ptr<TextureUploader> uploader);
    // Decoding errors go to the window system's message box unless replaced.
    void SetMessageBox(MessageBoxFunction messageBox) { messageBox_ = std::move(messageBox); }

private:
    uint32_t LoadTexture(const std::string& path, bool withAlpha);

    std::unique_ptr<TextureUploader> uploader_;
    MessageBoxFunction messageBox_;
    std::string texturePath_;
    std::map<std::string, uint32_t> textures_;  // resolved path -> texture
    std::vector<uint32_t> kept_;
    bool keepMode_ = false;
};
