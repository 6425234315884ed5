#include "scene/cob_model_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "file_builders.h"
#include "scene/texture_manager.h"
#include "support/report_capture.h"

namespace {

CobPositionMatrix Matrix(std::initializer_list<float> values) {
    CobPositionMatrix matrix;
    auto value = values.begin();
    for (auto& row : matrix.rows)
        for (float& cell : row) cell = *value++;
    return matrix;
}

TEST(PositionMatrix, TurnsComeOutOfTheMatrixInDegrees) {
    // Rows of Rx(20) * Ry(-40) as the modeller stores them.
    const double a = 20 * M_PI / 180, b = -40 * M_PI / 180;
    const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const struct {
        const char* rule;
        CobPositionMatrix matrix;
        Vec3 rotation;
    } cases[] = {
        {"turns about x and y are found from the matrix",
         Matrix({cb, 0, sb, 0, sa * sb, ca, -sa * cb, 0, -ca * sb, sa, ca * cb, 0}),
         {340, 40, 0}},
        // m2 = 1: the cosine of the y angle is 0, so x is 0 and z comes from m4 and m8.
        {"an upright y turn uses the other branch", Matrix({0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0}), {0, 270, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ReportCapture capture;
        const Vec3 rotation = DecomposePositionMatrix(c.matrix).rotation;
        EXPECT_NEAR(rotation.x, c.rotation.x, 1e-3);
        EXPECT_NEAR(rotation.y, c.rotation.y, 1e-3);
        EXPECT_NEAR(rotation.z, c.rotation.z, 1e-3);
    }
}

using Points = std::vector<std::vector<float>>;

// Where a mesh's corners are, one triangle after another: tells which vertices each uses.
Points Positions(const ModelMesh& mesh) {
    Points positions;
    for (const ModelCorner& corner : mesh.corners) positions.push_back({corner.x, corner.y, corner.z});
    return positions;
}

// One square polyhedron (a quad face over four corners counter-clockwise seen from +z);
// material i has id 10 + i under the polyhedron and a shader box under it.
class CobModelTest : public ::testing::Test {
protected:
    Model Build() {
        CobFileBuilder file;
        file.Chunk("PolH", 0, 4, 1, 0, Encoded(WriteCobPolH, square, int16_t{4}));
        for (size_t i = 0; i < materials.size(); ++i) {
            const int32_t id = 10 + static_cast<int32_t>(i);
            file.Chunk("Mat1", 0, 0, id, 1, Encoded(WriteCobMat1, materials[i]))
                .Chunk("ShBx", 0, 0, id + 10, id, Encoded(WriteCobShBx, lookShader, phong));
        }
        file.End();
        EXPECT_TRUE(reader.LoadFromMemory(file.Bytes().data(), file.Bytes().size(), "test.cob"));
        capture.Clear();
        Model model;
        model.textures = &textures;
        BuildCobModel(reader, reader.Polyhedra().at(0), &model);
        return model;
    }

    CobPolHSpec square = CobSquare("Cube");
    std::vector<CobMat1Spec> materials{1};
    std::string lookShader = "phong";
    std::vector<CobParameterSpec> phong = CobPhongParameters(1);
    CobReader reader;
    ReportCapture capture;
    TextureManager textures{nullptr};
};

TEST_F(CobModelTest, QuadBecomesAFanOfTwoTrianglesInOneMeshWithFlatUnitNormals) {
    square.vertices = {{0, 0, 0}, {2, 0, 0}, {2, 0, 3}, {0, 0, 3}};  // a quad in the x-z plane
    Model model = Build();
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(Positions(model.meshes[0]), (Points{{0, 0, 0}, {2, 0, 0}, {2, 0, 3}, {0, 0, 0}, {2, 0, 3}, {0, 0, 3}}))
        << "vertices 0 1 2, then 0 2 3";
    EXPECT_EQ(model.DrawnTriangleCount(), 2u);
    for (const ModelCorner& corner : model.meshes[0].corners)  // (P1 - P2) x (P0 - P1) from +x towards +z is +y
        EXPECT_EQ(std::vector<float>(corner.normal, corner.normal + 3), (std::vector<float>{0, 1, 0}));
}

TEST_F(CobModelTest, ScaleGoesIntoTheVerticesAndTheZAngleIsNegatedForDrawing) {
    const float c = std::cos(30 * M_PI / 180), s = std::sin(30 * M_PI / 180);
    const float matrix[12] = {2 * c, -2 * s, 0, 5, 2 * s, 2 * c, 0, 0, 0, 0, 4, 0};
    std::copy(matrix, matrix + 12, square.matrix);
    square.vertices[3] = {0, 0, 1};
    Model model = Build();
    EXPECT_FLOAT_EQ(model.vertices.at(3).z, 4) << "the scale goes into the vertices";
    EXPECT_FLOAT_EQ(model.location.x, 5);
    EXPECT_NEAR(model.rotation.z, -330, 1e-3) << "the z angle is negated for drawing";
}

TEST_F(CobModelTest, MaterialsComeFromMat1AndTexturesTakeTenTimesTheDiffuse) {
    materials[0].ks = 0.5f;
    phong = CobPhongParameters(0.8f);
    ModelMaterial m = Build().materials.at(0);
    EXPECT_FLOAT_EQ(m.diffuse.r, 0.4f) << "diffuse is the colour times the diffuse factor";
    EXPECT_FLOAT_EQ(m.shininess, 64) << "shininess is ks * 128";

    materials[0].subRecords = CobTextureSubRecord("C:\\textures/sub\\hull.bmp", 2, 3);
    Model model = Build();
    EXPECT_FLOAT_EQ(model.materials.at(0).diffuse.r, 4) << "ten times, not one";
    const ModelCorner& vertex2 = model.meshes.at(0).corners.at(4);  // the second triangle's, on vertices 0, 2, 3
    EXPECT_FLOAT_EQ(vertex2.s, 2) << "texture repeats scale the coordinates";
    EXPECT_TRUE(capture.Contains("Texture file does not exist hull.bmp")) << "named without its directory";
}

TEST_F(CobModelTest, ARunOfFacesOfOneMaterialIsOneMeshInFaceOrder) {
    materials.push_back(CobMat1Spec());
    materials[1].number = 1;
    square.faces = {{0, 1, {{0, 0}, {1, 1}, {2, 2}}},
                    {0, 0, {{0, 0}, {2, 2}, {3, 3}}},
                    {0, 1, {{0, 0}, {1, 1}, {3, 3}}},
                    {0, 1, {{1, 1}, {2, 2}, {3, 3}}}};
    Model model = Build();
    ASSERT_EQ(model.materials.size(), 2u) << "a material is made once per build";
    ASSERT_EQ(model.meshes.size(), 3u) << "material 1 comes back after material 0, so its faces stay behind it";
    EXPECT_EQ(model.meshes[2].materialIndex, 0);
    EXPECT_EQ(Positions(model.meshes[2]), (Points{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}))
        << "the last two faces, in their order";
}

TEST_F(CobModelTest, HolesFlaggedFacesAndCornersOutsideTheListsAreLeftOut) {
    // A hole carries no material index: the faces after it are only right when it is read without one.
    square.faces = {{kCobFaceHole, 0, {{0, 0}, {1, 1}, {2, 2}}},
                    {0x01, 0, {{0, 0}, {1, 1}, {2, 2}}},
                    {0, 0, {{0, 0}, {1, 1}, {7, 2}, {3, 3}}},   // vertex 7: both triangles use it
                    {0, 0, {{0, 0}, {1, 1}, {2, 2}, {3, 9}}}};  // texture vertex 9: the second one
    Model model = Build();
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(Positions(model.meshes[0]), (Points{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}));
    EXPECT_EQ(capture.Count("Face of Cube refers to a missing vertex"), 3);
}

}  // namespace
