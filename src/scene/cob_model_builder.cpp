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

Vec3d Position(const Model& model, const CobFaceCorner& corner) {
    const ModelVertex& vertex = model.vertices[static_cast<size_t>(corner.vertexIndex)];
    return {vertex.x, vertex.y, vertex.z};
}

// The mesh the next face of this material goes into: the last one when it has the
// same material, so that a run of faces is one draw, else a new one. Faces stay in
// their order, so overlapping faces cover each other as they always did.
ModelMesh& MeshFor(int32_t materialIndex, Model* model) {
    if (model->meshes.empty() || model->meshes.back().materialIndex != materialIndex) {
        model->meshes.emplace_back();
        model->meshes.back().materialIndex = materialIndex;
    }
    return model->meshes.back();
}

// Appends the face's fan of triangles on its first corner to the mesh of its material.
void AddFace(const CobPolH& polyhedron, const CobFace& face, int32_t materialIndex, Model* model) {
    const ModelMaterial& material = model->materials[static_cast<size_t>(materialIndex)];
    const std::vector<CobFaceCorner>& c = face.corners;
    ModelMesh& mesh = MeshFor(materialIndex, model);
    for (size_t i = 2; i < c.size(); ++i) {
        const CobFaceCorner* corners[3] = {&c[0], &c[i - 1], &c[i]};
        if (!std::all_of(std::begin(corners), std::end(corners),
                         [&](const CobFaceCorner* corner) { return CornerIsValid(polyhedron, *corner); })) {
            Report(LogModule::kDraw, LogLevel::kWarning, "Face of %s refers to a missing vertex",
                   polyhedron.name.c_str());
            continue;
        }
        Vec3d first = Position(*model, c[0]);
        Vec3d previous = Position(*model, c[i - 1]);
        Vec3d current = Position(*model, c[i]);
        Vec3d normal = Normalised(Cross(Minus(previous, current), Minus(first, previous)));

        ModelTriangle triangle;
        for (int k = 0; k < 3; ++k) {
            const CobFaceCorner& corner = *corners[k];
            const CobTextureVertex& uv = polyhedron.textureVertices[static_cast<size_t>(corner.textureVertexIndex)];
            triangle.normals[k][0] = static_cast<float>(normal.x);
            triangle.normals[k][1] = static_cast<float>(normal.y);
            triangle.normals[k][2] = static_cast<float>(normal.z);
            triangle.s[k] = uv.u * material.repeatU;
            triangle.t[k] = uv.v * material.repeatV;
            triangle.vertexIndices[k] = static_cast<uint32_t>(corner.vertexIndex);
        }
        mesh.triangleIndices.push_back(static_cast<uint32_t>(model->triangles.size()));
        model->triangles.push_back(triangle);
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

    size_t triangleCount = 0;
    for (const CobFace& face : polyhedron.faces) triangleCount += face.corners.size() > 2 ? face.corners.size() - 2 : 0;
    model->triangles.reserve(triangleCount);

    std::map<int16_t, int32_t> materialOfNumber;  // material number -> index in model->materials
    for (const CobFace& face : polyhedron.faces) {
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
        AddFace(polyhedron, face, materialIndex, model);
    }

    model->scale = {1, 1, 1};
    model->RefreshTextures();
    model->PrepareDrawing();
}
