// Immediate-mode drawing of models: one begin/end pair and one full material set per mesh.
#include <GL/gl.h>

#include "scene/model.h"
#include "scene/model_manager.h"

namespace {

void SetMaterialColour(GLenum which, const Colour& colour) {
    const GLfloat rgba[4] = {colour.r, colour.g, colour.b, colour.a};
    glMaterialfv(GL_FRONT_AND_BACK, which, rgba);
}

void SetMaterial(const ModelMaterial& material) {
    SetMaterialColour(GL_AMBIENT, material.ambient);
    SetMaterialColour(GL_DIFFUSE, material.diffuse);
    SetMaterialColour(GL_SPECULAR, material.specular);
    SetMaterialColour(GL_EMISSION, material.emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
    if (material.texture != 0) {
        glBindTexture(GL_TEXTURE_2D, material.texture);
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

// Model files are untrusted: a triangle naming a vertex that is not there is left out whole.
bool HasValidCorners(const Model& model, const ModelTriangle& triangle) {
    for (uint32_t vertexIndex : triangle.vertexIndices)
        if (vertexIndex >= model.vertices.size()) return false;
    return true;
}

void DrawMesh(const Model& model, const ModelMesh& mesh) {
    if (mesh.materialIndex < 0 || static_cast<size_t>(mesh.materialIndex) >= model.materials.size())
        glDisable(GL_TEXTURE_2D);
    else
        SetMaterial(model.materials[static_cast<size_t>(mesh.materialIndex)]);

    glBegin(GL_TRIANGLES);
    for (uint32_t triangleIndex : mesh.triangleIndices) {
        if (triangleIndex >= model.triangles.size()) continue;
        const ModelTriangle& triangle = model.triangles[triangleIndex];
        if (!HasValidCorners(model, triangle)) continue;
        for (int corner = 0; corner < 3; ++corner) {
            const ModelVertex& vertex = model.vertices[triangle.vertexIndices[corner]];
            glTexCoord2f(triangle.s[corner], triangle.t[corner]);
            glNormal3fv(triangle.normals[corner]);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    }
    glEnd();
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
    for (const ModelMesh& mesh : meshes) DrawMesh(*this, mesh);
    if (texturing)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);

    glPopMatrix();
}

void ModelManager::DrawScene() {
    SpinLockGuard guard(SceneLock());
    ApplyCameraView();
    SetUpLights();
    glEnable(GL_LIGHTING);
    for (const auto& object : objects_)
        if (object->model.visible) object->Draw();
    glDisable(GL_LIGHTING);
}
