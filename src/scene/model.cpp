#include "scene/model.h"

#include "scene/texture_manager.h"

void Model::RefreshTextures() {
    TextureManager& textures = TextureManager::Instance();
    for (ModelMaterial& material : materials)
        material.texture = material.textureFile.empty() ? 0 : textures.GetTexture(material.textureFile, false);
}
