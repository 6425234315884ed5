#include "scene/cob_model_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "file_builders.h"
#include "support/report_capture.h"

namespace {

CobPositionMatrix Matrix(std::initializer_list<float> values) {
    CobPositionMatrix matrix;
    auto value = values.begin();
    for (auto& row : matrix.rows)
        for (float& cell : row) cell = *value++;
    return matrix;
}

TEST(PositionMatrix, LocationTurnsAndScalesComeOutOfTheMatrix) {
    const float c30 = std::cos(30 * M_PI / 180), s30 = std::sin(30 * M_PI / 180);
    // Rows of Rx(20) * Ry(-40) as the modeller stores them.
    const double a = 20 * M_PI / 180, b = -40 * M_PI / 180;
    const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    struct Case {
        const char* rule;
        CobPositionMatrix matrix;
        Vec3 rotation, scale;  // a NaN scale is not pinned: the modeller's formula is only exact without turns
    };
    const float any = std::nanf("");
    const Case cases[] = {
        {"a diagonal is a scale without rotation", Matrix({2, 0, 0, 7, 0, 3, 0, 8, 0, 0, 4, 9}), {0, 0, 0}, {2, 3, 4}},
        // With no x or y turn the y scale is taken as m5 unchanged.
        {"a turn about z comes out negated and positive (-30 -> 330)",
         Matrix({c30, -s30, 0, 0, s30, c30, 0, 0, 0, 0, 1, 0}), {0, 0, 330}, {1, c30, 1}},
        {"turns about x and y are found from the matrix",
         Matrix({cb, 0, sb, 0, sa * sb, ca, -sa * cb, 0, -ca * sb, sa, ca * cb, 0}), {340, 40, 0}, {any, any, any}},
        // m2 = 1: the cosine of the y angle is 0, so x is 0, z comes from m4 and m8, scale z is m10.
        {"an upright y turn uses the other branch", Matrix({0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0}), {0, 270, 0},
         {any, any, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ReportCapture capture;
        PositionParts parts = DecomposePositionMatrix(c.matrix);
        EXPECT_NEAR(parts.rotation.x, c.rotation.x, 1e-3);
        EXPECT_NEAR(parts.rotation.y, c.rotation.y, 1e-3);
        EXPECT_NEAR(parts.rotation.z, c.rotation.z, 1e-3);
        const float scale[3] = {parts.scale.x, parts.scale.y, parts.scale.z};
        const float expected[3] = {c.scale.x, c.scale.y, c.scale.z};
        for (int axis = 0; axis < 3; ++axis)
            if (!std::isnan(expected[axis])) {
                EXPECT_NEAR(scale[axis], expected[axis], 1e-5) << "scale axis " << axis;
            }
    }
    ReportCapture capture;
    EXPECT_FLOAT_EQ(DecomposePositionMatrix(cases[0].matrix).location.z, 9) << "the location is the last column";
}

// One square polyhedron (a quad face over four corners counter-clockwise seen from +z)
// with one phong material; the tests vary them.
class CobModelTest : public ::testing::Test {
protected:
    static constexpr int32_t kPolyhedronId = 1;

    struct Material {
        int32_t id = 10;
        int32_t parentId = kPolyhedronId;
        CobMat1Spec spec;
    };

    struct ShaderBox {
        int32_t id = 20;
        int32_t parentId = 10;
        std::string lookShader = "phong";
        std::vector<CobParameterSpec> parameters = CobPhongParameters(1);
    };

    CobModelTest() : square(CobSquare("Cube")) {}

    // Writes and loads the scene, then builds its first polyhedron.
    Model Build() {
        CobFileBuilder file;
        ByteWriter polh;
        WriteCobPolH(polh, square, 4);
        file.Chunk("PolH", 0, 4, kPolyhedronId, 0, polh);
        for (const Material& material : materials) {
            ByteWriter body;
            WriteCobMat1(body, material.spec);
            file.Chunk("Mat1", 0, 0, material.id, material.parentId, body);
        }
        for (const ShaderBox& box : boxes) {
            ByteWriter body;
            WriteCobShBx(body, box.lookShader, box.parameters);
            file.Chunk("ShBx", 0, 0, box.id, box.parentId, body);
        }
        file.End();
        EXPECT_TRUE(reader.LoadFromMemory(file.Bytes().data(), file.Bytes().size(), "test.cob"));
        capture.Clear();
        Model model;
        BuildCobModel(reader, reader.Polyhedra().at(0), &model);
        return model;
    }

    static CobFaceSpec Face(std::vector<std::pair<int32_t, int32_t>> corners, int16_t material = 0,
                            uint8_t flags = 0) {
        CobFaceSpec face;
        face.flags = flags;
        face.material = material;
        face.corners = std::move(corners);
        return face;
    }

    CobPolHSpec square;
    std::vector<Material> materials{Material{}};
    std::vector<ShaderBox> boxes{ShaderBox{}};
    CobReader reader;
    ReportCapture capture;
};

TEST_F(CobModelTest, QuadBecomesAFanOfTwoTrianglesInOneMeshWithFlatUnitNormals) {
    square.vertices = {{0, 0, 0}, {2, 0, 0}, {2, 0, 3}, {0, 0, 3}};  // a quad in the x-z plane
    Model model = Build();
    EXPECT_EQ(model.name, "Cube");
    ASSERT_EQ(model.triangles.size(), 2u);
    const uint32_t* second = model.triangles[1].vertexIndices;
    EXPECT_EQ(std::vector<uint32_t>(second, second + 3), (std::vector<uint32_t>{0, 2, 3}));
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.meshes[0].triangleIndices, (std::vector<uint32_t>{0, 1}));
    for (const ModelTriangle& triangle : model.triangles)
        for (int corner = 0; corner < 3; ++corner)  // (P1 - P2) x (P0 - P1) from +x towards +z points along +y
            EXPECT_EQ(std::vector<float>(triangle.normals[corner], triangle.normals[corner] + 3),
                      (std::vector<float>{0, 1, 0}));

    square.vertices = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    square.faces = {Face({{0, 0}, {1, 1}, {2, 2}})};
    model = Build();
    EXPECT_EQ(std::vector<float>(model.triangles.at(0).normals[0], model.triangles.at(0).normals[0] + 3),
              (std::vector<float>{0, 0, 0}))
        << "a degenerate triangle keeps a zero normal";
}

TEST_F(CobModelTest, ScaleGoesIntoTheVerticesAndTheZAngleIsNegatedForDrawing) {
    const float c = std::cos(30 * M_PI / 180), s = std::sin(30 * M_PI / 180);
    const float matrix[12] = {2 * c, -2 * s, 0, 5, 2 * s, 2 * c, 0, 0, 0, 0, 4, 0};
    std::copy(matrix, matrix + 12, square.matrix);
    square.vertices = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    square.faces = {Face({{0, 0}, {1, 1}, {2, 2}})};
    Model model = Build();
    ASSERT_EQ(model.vertices.size(), 3u);
    EXPECT_FLOAT_EQ(model.vertices[1].z, 4);
    EXPECT_FLOAT_EQ(model.location.x, 5);
    EXPECT_NEAR(model.rotation.z, -330, 1e-3);
    EXPECT_EQ(std::vector<float>({model.scale.x, model.scale.y, model.scale.z}), (std::vector<float>{1, 1, 1}))
        << "the model itself stays unscaled";
}

TEST_F(CobModelTest, PhongMaterialFromMat1Values) {
    CobMat1Spec& mat1 = materials[0].spec;
    mat1.red = 0.5f;
    mat1.green = 0.25f;
    mat1.blue = 1;
    mat1.ka = 0.3f;
    mat1.ks = 0.5f;
    mat1.exp = 0.7f;
    boxes[0].parameters = CobPhongParameters(0.8f);
    Model model = Build();
    const ModelMaterial& m = model.materials.at(0);
    EXPECT_FLOAT_EQ(m.ambient.r, 0.3f);
    EXPECT_FLOAT_EQ(m.diffuse.r, 0.4f) << "diffuse is the colour times the diffuse factor";
    EXPECT_FLOAT_EQ(m.diffuse.b, 0.8f);
    EXPECT_FLOAT_EQ(m.specular.g, 0.7f) << "specular is the highlight exponent";
    EXPECT_FLOAT_EQ(m.emission.r, 0);
    EXPECT_FLOAT_EQ(m.shininess, 64) << "shininess is ks * 128";
    EXPECT_EQ(m.texture, 0u);
}

TEST_F(CobModelTest, TexturedDiffuseIsTenTimesAndRepeatsScaleTheCoordinates) {
    CobMat1Spec& mat1 = materials[0].spec;
    mat1.red = mat1.green = mat1.blue = 0.5f;
    mat1.subRecords = CobTextureSubRecord("C:\\textures/sub\\hull.bmp", 2, 3);
    Model model = Build();
    const ModelMaterial& m = model.materials.at(0);
    EXPECT_FLOAT_EQ(m.diffuse.r, 5) << "ten times, not one";
    EXPECT_EQ(m.textureFile, "hull.bmp");
    EXPECT_EQ(m.texture, 0u) << "the texture file is not there";
    const ModelTriangle& second = model.triangles.at(1);  // corners 0, 2, 3
    EXPECT_FLOAT_EQ(second.s[1], 2);
    EXPECT_FLOAT_EQ(second.t[1], 3);
    EXPECT_FLOAT_EQ(second.s[2], 0);
    EXPECT_TRUE(capture.Contains("Texture file does not exist hull.bmp"));
}

// Which material a face gets and each error text are the material rules' own tests;
// here only that a refused material skips the face and logs once per face.
TEST_F(CobModelTest, OtherShadersSkipTheFaceOncePerFace) {
    boxes[0].lookShader = "metal";
    square.faces.push_back(square.faces[0]);
    Model model = Build();
    EXPECT_TRUE(model.triangles.empty());
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_EQ(capture.Count("Not a right shader (only phong and caligari phong are supported)"), 2);
}

TEST_F(CobModelTest, FacesShareAMaterialButEachHasItsMesh) {
    Material second;
    second.id = 11;
    second.spec.number = 1;
    ShaderBox secondBox;
    secondBox.id = 21;
    secondBox.parentId = 11;
    materials.push_back(second);
    boxes.push_back(secondBox);
    square.faces = {Face({{0, 0}, {1, 1}, {2, 2}}, 1), Face({{0, 0}, {2, 2}, {3, 3}}, 0),
                    Face({{0, 0}, {1, 1}, {3, 3}}, 1)};
    Model model = Build();
    ASSERT_EQ(model.materials.size(), 2u) << "a material is made once per build";
    ASSERT_EQ(model.meshes.size(), 3u);
    EXPECT_EQ(model.meshes[0].materialIndex, 0);
    EXPECT_EQ(model.meshes[1].materialIndex, 1);
    EXPECT_EQ(model.meshes[2].materialIndex, 0);
    EXPECT_EQ(model.meshes[2].triangleIndices, std::vector<uint32_t>{2});
}

TEST_F(CobModelTest, HolesFlaggedFacesAndCornersOutsideTheListsAreLeftOut) {
    // A hole carries no material index: the faces after it are only right when it is read without one.
    square.faces = {Face({{0, 0}, {1, 1}, {2, 2}}, 0, kCobFaceHole), Face({{0, 0}, {1, 1}, {2, 2}}, 0, 0x01),
                    Face({{0, 0}, {1, 1}, {7, 2}, {3, 3}}),   // vertex 7: both triangles use it
                    Face({{0, 0}, {1, 1}, {2, 2}, {3, 9}})};  // texture vertex 9: the second one
    Model model = Build();
    ASSERT_EQ(model.triangles.size(), 1u);
    EXPECT_EQ(std::vector<uint32_t>(model.triangles[0].vertexIndices, model.triangles[0].vertexIndices + 3),
              (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(capture.Count("Face of Cube refers to a missing vertex"), 3);
}

}  // namespace
