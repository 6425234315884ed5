#include "scene/model.h"

#include "scene/texture_manager.h"

void Model::RefreshTextures() {
    for (ModelMaterial& material : materials) {
        const bool textured = textures != nullptr && !material.textureFile.empty();
        material.texture = textured ? textures->GetTexture(material.textureFile, false) : 0;
    }
}
