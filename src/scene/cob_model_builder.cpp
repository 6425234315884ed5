#include "scene/cob_model_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>

#include "base/report.h"
#include "scene/cob_material_rules.h"

namespace {

constexpr double kDegreesPerRadian = 57.2957795131;
constexpr double kNearlyZero = 1e-7;

// An angle as the modeller shows it: negatives turned positive, a full turn is none.
float NormalisedAngle(double degrees) {
    float angle = static_cast<float>(degrees);
    if (angle < 0) angle += 360;
    if (angle == 360 || angle == -360 || angle == 0) angle = 0;  // and never -0 in the log
    return angle;
}

struct Vec3d {
    double x, y, z;
};

Vec3d Minus(const Vec3d& a, const Vec3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3d Cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3d Normalised(const Vec3d& v) {
    double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0) return v;
    return {v.x / length, v.y / length, v.z / length};
}

// The material of number `materialNumber` of the polyhedron, or false (with the reason
// logged) when the scene does not describe it in a way we can draw.
bool MakeMaterial(const CobReader& reader, const CobPolH& polyhedron, int16_t materialNumber, ModelMaterial* out) {
    CobMaterialChoice choice = ChooseCobMaterial(reader, polyhedron.id, materialNumber);
    if (choice.material == nullptr) {
        Report(LogModule::kDraw, LogLevel::kError, "%s", choice.error.c_str());
        return false;
    }
    const CobMat1& mat1 = *choice.material;
    const float df = choice.diffuseFactor;

    ModelMaterial material;
    material.baseColour[0] = mat1.red;
    material.baseColour[1] = mat1.green;
    material.baseColour[2] = mat1.blue;
    material.ambient = {mat1.ka, mat1.ka, mat1.ka, 1};
    material.diffuse = {mat1.red * df, mat1.green * df, mat1.blue * df, 1};
    material.specular = {mat1.exp, mat1.exp, mat1.exp, 1};
    material.emission = {0, 0, 0, 1};
    material.shininess = mat1.ks * 128;
    if (mat1.textureMap) {
        material.textureFile = CobTextureFileName(*mat1.textureMap);
        material.repeatU = mat1.textureMap->uRepeats;
        material.repeatV = mat1.textureMap->vRepeats;
        // Textured faces take ten times the diffuse colour (GL clamps it), so the
        // texture shows at full brightness instead of darkened by the material colour.
        material.diffuse.r *= 10;
        material.diffuse.g *= 10;
        material.diffuse.b *= 10;
    }
    *out = material;
    return true;
}

bool CornerIsValid(const CobPolH& polyhedron, const CobFaceCorner& corner) {
    return corner.vertexIndex >= 0 && static_cast<size_t>(corner.vertexIndex) < polyhedron.vertices.size() &&
           corner.textureVertexIndex >= 0 &&
           static_cast<size_t>(corner.textureVertexIndex) < polyhedron.textureVertices.size();
}

// What the faces are built into, and what the build learns of their edges on the way.
struct FaceBuild {
    const CobPolH& polyhedron;
    Model& model;
    std::vector<uint64_t> vertexHashes;  // EdgeBalance::CornerHash of each model vertex
    EdgeBalance balance;
    BoundsGrowth bounds;
};

Vec3 Position(const FaceBuild& build, const CobFaceCorner& corner) {
    const ModelVertex& vertex = build.model.vertices[static_cast<size_t>(corner.vertexIndex)];
    return {vertex.x, vertex.y, vertex.z};
}

Vec3d Widened(const Vec3& v) { return {v.x, v.y, v.z}; }

// The corners the run of faces from `first` on fills, when they all go into one mesh:
// the faces up to the next drawn face of another material. The run may turn out longer
// (past a face whose material cannot be made), never shorter; this only sizes the mesh.
size_t RunCorners(const std::vector<CobFace>& faces, size_t first) {
    size_t corners = 0;
    for (size_t i = first; i < faces.size(); ++i) {
        const CobFace& face = faces[i];
        if (face.flags != 0) continue;
        if (face.materialIndex != faces[first].materialIndex) break;
        if (face.corners.size() > 2) corners += 3 * (face.corners.size() - 2);
    }
    return corners;
}

// The mesh the face at `faceIndex` goes into: the last one when it has the same
// material, so that a run of faces is one draw, else a new one. Faces stay in their
// order, so overlapping faces cover each other as they always did.
ModelMesh& MeshFor(FaceBuild& build, size_t faceIndex, int32_t materialIndex) {
    std::vector<ModelMesh>& meshes = build.model.meshes;
    if (meshes.empty() || meshes.back().materialIndex != materialIndex) {
        meshes.emplace_back();
        meshes.back().materialIndex = materialIndex;
        meshes.back().corners.reserve(RunCorners(build.polyhedron.faces, faceIndex));
    }
    return meshes.back();
}

// Appends the face's fan of triangles on its first corner to the mesh of its material.
void AddFace(FaceBuild& build, size_t faceIndex, int32_t materialIndex) {
    const CobPolH& polyhedron = build.polyhedron;
    const ModelMaterial& material = build.model.materials[static_cast<size_t>(materialIndex)];
    const std::vector<CobFaceCorner>& c = polyhedron.faces[faceIndex].corners;
    ModelMesh& mesh = MeshFor(build, faceIndex, materialIndex);
    for (size_t i = 2; i < c.size(); ++i) {
        const CobFaceCorner* corners[3] = {&c[0], &c[i - 1], &c[i]};
        if (!std::all_of(std::begin(corners), std::end(corners),
                         [&](const CobFaceCorner* corner) { return CornerIsValid(polyhedron, *corner); })) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Face of %s refers to a missing vertex",
                   polyhedron.name.c_str());
            continue;
        }
        const Vec3 first = Position(build, c[0]);
        const Vec3 previous = Position(build, c[i - 1]);
        const Vec3 current = Position(build, c[i]);
        const Vec3d normal =
            Normalised(Cross(Minus(Widened(previous), Widened(current)), Minus(Widened(first), Widened(previous))));
        const float n[3] = {static_cast<float>(normal.x), static_cast<float>(normal.y), static_cast<float>(normal.z)};
        for (const CobFaceCorner* corner : corners) {
            const CobTextureVertex& uv = polyhedron.textureVertices[static_cast<size_t>(corner->textureVertexIndex)];
            const ModelVertex& vertex = build.model.vertices[static_cast<size_t>(corner->vertexIndex)];
            mesh.corners.push_back(
                {uv.u * material.repeatU, uv.v * material.repeatV, {n[0], n[1], n[2]}, vertex.x, vertex.y, vertex.z});
            build.bounds.Add({vertex.x, vertex.y, vertex.z});
        }
        const auto hash = [&](const CobFaceCorner& corner) {
            return build.vertexHashes[static_cast<size_t>(corner.vertexIndex)];
        };
        build.balance.Add(first, previous, current, hash(c[0]), hash(c[i - 1]), hash(c[i]));
    }
}

}  // namespace

PositionParts DecomposePositionMatrix(const CobPositionMatrix& matrix) {
    const float(&r)[3][4] = matrix.rows;
    const double m0 = r[0][0], m1 = r[0][1], m2 = r[0][2], m3 = r[0][3];
    const double m4 = r[1][0], m5 = r[1][1], m6 = r[1][2], m7 = r[1][3];
    const double m8 = r[2][0], m10 = r[2][2], m11 = r[2][3];

    PositionParts parts;
    parts.location = {static_cast<float>(m3), static_cast<float>(m7), static_cast<float>(m11)};

    const double a = std::asin(m2);
    const double c = std::cos(a);
    const double y = a * kDegreesPerRadian;
    double x = 0, z = 0, t = 0, u = 0, st = 0, cu = 0;
    if (std::fabs(c) > 0.005) {
        t = -m6 / c;
        u = m1 / c;
        x = std::atan2(t, m10 / c) * kDegreesPerRadian;
        z = std::atan2(-m1 / c, m0 / c) * kDegreesPerRadian;
        st = std::sin(std::asin(t));
        cu = std::cos(std::asin(u));
    } else {
        z = std::atan2(m4, -m8) * kDegreesPerRadian;
    }

    const double s = cu * c;
    double sx = std::fabs(s) < kNearlyZero ? m0 : m0 / s;
    if (std::fabs(sx) < kNearlyZero) sx = -m4;

    const double d = st * cu - t * u * a;
    double sy;
    if (d == 0)
        sy = std::fabs(m5) >= kNearlyZero ? m5 : m1;
    else
        sy = m5 / d;

    const double e = st * c;
    const double sz = std::fabs(e) < kNearlyZero ? m10 : m10 / e;

    parts.rotation = {NormalisedAngle(-x), NormalisedAngle(-y), NormalisedAngle(-z)};
    parts.scale = {static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz)};

    Report(LogModule::kDraw, LogLevel::kInfo, "Location: %g,%g,%g", parts.location.x, parts.location.y,
           parts.location.z);
    Report(LogModule::kDraw, LogLevel::kInfo, "Rotation: %g,%g,%g", parts.rotation.x, parts.rotation.y,
           parts.rotation.z);
    Report(LogModule::kDraw, LogLevel::kInfo, "Scale: %g,%g,%g", parts.scale.x, parts.scale.y, parts.scale.z);
    return parts;
}

void BuildCobModel(const CobReader& reader, const CobPolH& polyhedron, Model* model) {
    Report(LogModule::kDraw, LogLevel::kInfo, "Getting %s PolH", polyhedron.name.c_str());
    model->name = polyhedron.name;

    PositionParts parts = DecomposePositionMatrix(polyhedron.positionMatrix);
    model->location = parts.location;
    model->rotation = parts.rotation;
    model->rotation.z = -model->rotation.z;

    // The scale goes into the vertices; the model itself stays unscaled.
    model->vertices.clear();
    model->vertices.reserve(polyhedron.vertices.size());
    for (const Vec3& v : polyhedron.vertices)
        model->vertices.push_back({0, v.x * parts.scale.x, v.y * parts.scale.y, v.z * parts.scale.z});

    FaceBuild build{polyhedron, *model, {}, {}, {}};
    build.vertexHashes.reserve(model->vertices.size());
    for (const ModelVertex& v : model->vertices) build.vertexHashes.push_back(EdgeBalance::CornerHash({v.x, v.y, v.z}));

    std::map<int16_t, int32_t> materialOfNumber;  // material number -> index in model->materials
    for (size_t faceIndex = 0; faceIndex < polyhedron.faces.size(); ++faceIndex) {
        const CobFace& face = polyhedron.faces[faceIndex];
        if (face.flags != 0) continue;  // holes and any other marked face are not drawn
        auto known = materialOfNumber.find(face.materialIndex);
        int32_t materialIndex;
        if (known != materialOfNumber.end()) {
            materialIndex = known->second;
        } else {
            ModelMaterial material;
            if (!MakeMaterial(reader, polyhedron, face.materialIndex, &material)) continue;
            materialIndex = static_cast<int32_t>(model->materials.size());
            model->materials.push_back(std::move(material));
            materialOfNumber[face.materialIndex] = materialIndex;
        }
        AddFace(build, faceIndex, materialIndex);
    }

    model->scale = {1, 1, 1};
    model->RefreshTextures();
    model->SetShape(build.balance, build.bounds.Box());
}
