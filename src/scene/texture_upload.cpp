// The GL side of the texture manager: one 2D texture per picture, level 0 only, linear
// filters, the wrap modes left at GL's default (repeat).
#include <GL/gl.h>

#include "base/report.h"
#include "scene/texture_manager.h"

namespace {

class GlTextureUploader : public TextureUploader {
public:
    uint32_t Upload(const BmpImage& image, bool withAlpha, const std::string& path) override {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        if (texture == 0) {
            if (glGetError() == GL_INVALID_OPERATION)
                Report(LogModule::kTexture, LogLevel::kError, "Error generating texture name for: %s", path.c_str());
            return 0;
        }
        glBindTexture(GL_TEXTURE_2D, texture);
        // Decoded rows are tightly packed, whatever their width.
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        const GLsizei width = static_cast<GLsizei>(image.width);
        const GLsizei height = static_cast<GLsizei>(image.height);
        if (withAlpha) {
            std::vector<uint8_t> rgba = image.RgbaPixels();
            glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, image.pixels.data());
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        return texture;
    }

    void Delete(uint32_t texture) override {
        GLuint name = texture;
        glDeleteTextures(1, &name);
    }
};

}  // namespace

std::unique_ptr<TextureUploader> MakeGlTextureUploader() { return std::make_unique<GlTextureUploader>(); }
