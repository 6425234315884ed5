#include "scene/model.h"

#include "scene/texture_manager.h"

void Model::RefreshTextures() {
    for (ModelMaterial& material : materials) {
        const bool textured = textures != nullptr && !material.textureFile.empty();
        material.texture = textured ? textures->GetTexture(material.textureFile, false) : 0;
    }
}

namespace {

// Model files are untrusted: a triangle naming a vertex that is not there is left out whole.
bool HasValidCorners(const Model& model, const ModelTriangle& triangle) {
    for (uint32_t vertexIndex : triangle.vertexIndices)
        if (vertexIndex >= model.vertices.size()) return false;
    return true;
}

}  // namespace

void Model::PrepareDrawing() {
    for (ModelMesh& mesh : meshes) {
        mesh.corners.clear();
        mesh.corners.reserve(mesh.triangleIndices.size() * 3);
        for (uint32_t triangleIndex : mesh.triangleIndices) {
            if (triangleIndex >= triangles.size()) continue;
            const ModelTriangle& triangle = triangles[triangleIndex];
            if (!HasValidCorners(*this, triangle)) continue;
            for (int corner = 0; corner < 3; ++corner) {
                const ModelVertex& vertex = vertices[triangle.vertexIndices[corner]];
                const float* normal = triangle.normals[corner];
                mesh.corners.push_back({triangle.s[corner],
                                        triangle.t[corner],
                                        {normal[0], normal[1], normal[2]},
                                        vertex.x,
                                        vertex.y,
                                        vertex.z});
            }
        }
    }
    size_t cornerCount = 0;
    for (const ModelMesh& mesh : meshes) cornerCount += mesh.corners.size();
    std::vector<Vec3> positions;
    positions.reserve(cornerCount);
    for (const ModelMesh& mesh : meshes)
        for (const ModelCorner& corner : mesh.corners) positions.push_back({corner.x, corner.y, corner.z});
    outsideWinding = ClosedSurfaceWinding(positions);
    bounds = BoundsOf(positions);
}
