// Drawing of models: one array draw and one full material set per mesh.
#include <GL/gl.h>

#include "scene/model.h"
#include "scene/model_manager.h"

namespace {

bool SameColour(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

bool SameColours(const ModelMaterial& a, const ModelMaterial& b) {
    return SameColour(a.ambient, b.ambient) && SameColour(a.diffuse, b.diffuse) && SameColour(a.specular, b.specular) &&
           SameColour(a.emission, b.emission) && a.shininess == b.shininess;
}

// The material whose colours the GL holds since the scene pass began (null: unknown).
// Every material change makes the driver validate its lighting anew before the next
// draw, and many meshes of a scene share their colours.
const ModelMaterial*& AppliedMaterial() {
    static const ModelMaterial* applied = nullptr;
    return applied;
}

void SetMaterialColour(GLenum which, const Colour& colour) {
    const GLfloat rgba[4] = {colour.r, colour.g, colour.b, colour.a};
    glMaterialfv(GL_FRONT_AND_BACK, which, rgba);
}

void SetMaterial(const ModelMaterial& material) {
    const ModelMaterial*& applied = AppliedMaterial();
    if (applied == nullptr || !SameColours(*applied, material)) {
        SetMaterialColour(GL_AMBIENT, material.ambient);
        SetMaterialColour(GL_DIFFUSE, material.diffuse);
        SetMaterialColour(GL_SPECULAR, material.specular);
        SetMaterialColour(GL_EMISSION, material.emission);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
        applied = &material;
    }
    if (material.texture != 0) {
        glBindTexture(GL_TEXTURE_2D, material.texture);
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

void DrawMesh(const Model& model, const ModelMesh& mesh) {
    if (mesh.materialIndex < 0 || static_cast<size_t>(mesh.materialIndex) >= model.materials.size())
        glDisable(GL_TEXTURE_2D);
    else
        SetMaterial(model.materials[static_cast<size_t>(mesh.materialIndex)]);
    if (mesh.corners.empty()) return;
    const ModelCorner& first = mesh.corners[0];
    glTexCoordPointer(2, GL_FLOAT, sizeof(ModelCorner), &first.s);
    glNormalPointer(GL_FLOAT, sizeof(ModelCorner), first.normal);
    glVertexPointer(3, GL_FLOAT, sizeof(ModelCorner), &first.x);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mesh.corners.size()));
}

}  // namespace

void Model::Draw(bool force) const {
    if (!visible || (attachedOnly && !force)) return;

    glPushMatrix();
    glTranslatef(location.x, location.y, location.z);
    glRotatef(rotation.x, 1, 0, 0);
    glRotatef(rotation.y, 0, 1, 0);
    glRotatef(rotation.z, 0, 0, 1);

    for (const Model& child : children) child.Draw(false);
    for (const Model* model : attached)
        if (model != nullptr) model->Draw(true);

    glScalef(scale.x, scale.y, scale.z);

    GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const ModelMesh& mesh : meshes) DrawMesh(*this, mesh);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (texturing)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);

    glPopMatrix();
}

void ModelManager::DrawScene() {
    SpinLockGuard guard(SceneLock());
    // Models may have gone since the last pass, and others may have set materials.
    AppliedMaterial() = nullptr;
    ApplyCameraView();
    SetUpLights();
    glEnable(GL_LIGHTING);
    for (const auto& object : objects_)
        if (object->model.visible) object->Draw();
    glDisable(GL_LIGHTING);
}
