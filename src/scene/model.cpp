#include "scene/model.h"

#include "scene/texture_manager.h"

void Model::RefreshTextures() {
    for (ModelMaterial& material : materials) {
        const bool textured = textures != nullptr && !material.textureFile.empty();
        material.texture = textured ? textures->GetTexture(material.textureFile, false) : 0;
    }
}

namespace {

Vec3 PositionOf(const ModelCorner& corner) { return {corner.x, corner.y, corner.z}; }

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
    EdgeBalance balance;
    BoundsGrowth growth;
    for (const ModelMesh& mesh : meshes) {
        const std::vector<ModelCorner>& c = mesh.corners;
        for (size_t i = 0; i + 2 < c.size(); i += 3)
            balance.Add(PositionOf(c[i]), PositionOf(c[i + 1]), PositionOf(c[i + 2]));
        for (const ModelCorner& corner : c) growth.Add(PositionOf(corner));
    }
    SetShape(balance, growth.Box());
}

size_t Model::DrawnTriangleCount() const {
    size_t corners = 0;
    for (const ModelMesh& mesh : meshes) corners += mesh.corners.size();
    return corners / 3;
}

void Model::SetShape(const EdgeBalance& balance, const Bounds& box) {
    bounds = box;
    outsideWinding = SurfaceWinding::kOpen;
    // Only a surface that may close is worth the copy and the sort of the full test.
    if (!balance.MayClose()) return;
    std::vector<Vec3> positions;
    positions.reserve(DrawnTriangleCount() * 3);
    for (const ModelMesh& mesh : meshes)
        for (const ModelCorner& corner : mesh.corners) positions.push_back(PositionOf(corner));
    outsideWinding = ClosedSurfaceWinding(positions);
}
