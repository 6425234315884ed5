#include "effects/particle_texture.h"

#include "scene/texture_manager.h"

unsigned LoadParticleTexture(const std::string& path) {
    return TextureManager::Instance().GetTextureWithAlpha(path);
}
