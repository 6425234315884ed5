// Drawing of models: one array draw and one full material set per mesh.
#include <GL/gl.h>

#include <algorithm>

#include "scene/frame.h"
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

// The eye sits at the origin of eye space, looking down -z.
bool EyeOutsideBox(const GLfloat (&modelview)[16], const Bounds& bounds) {
    float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    for (int corner = 0; corner < 8; ++corner) {
        const float x = corner & 1 ? bounds.high.x : bounds.low.x;
        const float y = corner & 2 ? bounds.high.y : bounds.low.y;
        const float z = corner & 4 ? bounds.high.z : bounds.low.z;
        for (int axis = 0; axis < 3; ++axis) {
            const float eye =
                modelview[axis] * x + modelview[4 + axis] * y + modelview[8 + axis] * z + modelview[12 + axis];
            low[axis] = corner == 0 ? eye : std::min(low[axis], eye);
            high[axis] = corner == 0 ? eye : std::max(high[axis], eye);
        }
    }
    // The near plane's corners are a little further than kSceneNear from the eye; where
    // it cuts into a model, the model's inside shows.
    const float margin = static_cast<float>(2 * kSceneNear);
    for (int axis = 0; axis < 3; ++axis)
        if (low[axis] - margin > 0 || high[axis] + margin < 0) return true;
    return false;
}

// The faces of a closed model that face its inside hide behind those that face out
// wherever the eye is outside the model; culling them spares filling them. GL_BACK or
// GL_FRONT, whichever faces in; 0 when nothing may be culled.
GLenum InwardFaces(const Model& model) {
    if (model.outsideWinding == SurfaceWinding::kOpen) return 0;
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float determinant =
        m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) + m[8] * (m[1] * m[6] - m[5] * m[2]);
    if (determinant == 0 || !EyeOutsideBox(m, model.bounds)) return 0;
    // GL's front faces run counter-clockwise on the screen; a mirroring transform turns
    // the model's windings around on the way there.
    const bool outsideIsFront = (model.outsideWinding == SurfaceWinding::kCounterClockwise) == (determinant > 0);
    return outsideIsFront ? GL_BACK : GL_FRONT;
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
    const GLenum culled = InwardFaces(*this);
    if (culled != 0) {
        glCullFace(culled);
        glEnable(GL_CULL_FACE);
    }

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
    if (culled != 0) glDisable(GL_CULL_FACE);

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
