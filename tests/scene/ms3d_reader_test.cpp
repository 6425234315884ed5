#include "scene/ms3d_reader.h"

#include <gtest/gtest.h>

#include "file_builders.h"
#include "support/temp_dir.h"

namespace {

std::string TwoTriangleModel(int32_t version = 3, const std::string& texture = ".\\hull.bmp") {
    return Ms3dFile(version, 4, {{{0, 1, 2}, {0.25f, 0, 1}}, {{0, 2, 3}, {0.5f, 0.5f, 0.5f}}},
                    {{{0, 1}, 0}, {{1}, -1}}, {{texture, 32}});
}

bool Load(const std::string& bytes, MilkshapeData& data, std::string* error = nullptr,
          const std::string& path = "data/lvl/ship.ms3d") {
    return LoadMilkshapeFromMemory(bytes.data(), bytes.size(), path, data, error);
}

}  // namespace

TEST(Ms3dReader, ReadsTheStaticMesh) {
    MilkshapeData data;
    std::string error;
    ASSERT_TRUE(Load(TwoTriangleModel(), data, &error)) << error;
    EXPECT_EQ(data.version, 3);
    ASSERT_EQ(data.vertices.size(), 4u);
    EXPECT_EQ(data.vertices[3].x, 3);
    EXPECT_EQ(data.vertices[3].y, 6);
    EXPECT_EQ(data.vertices[3].z, -3);
    EXPECT_EQ(data.vertices[0].flags, 0xFFFF) << "bone id -1 is kept sign-extended";
    EXPECT_EQ(data.vertices[1].flags, 2);

    ASSERT_EQ(data.triangles.size(), 2u);
    const ModelTriangle& first = data.triangles[0];
    EXPECT_EQ(first.vertexIndices[2], 2u);
    EXPECT_EQ(data.triangles[1].vertexIndices[2], 3u);
    EXPECT_EQ(first.normals[1][2], 1);
    EXPECT_FLOAT_EQ(first.s[1], 0.2f);
    EXPECT_FLOAT_EQ(first.t[0], 0.75f) << "t is stored as 1 - t";
    EXPECT_FLOAT_EQ(first.t[1], 1);
    EXPECT_FLOAT_EQ(first.t[2], 0);

    ASSERT_EQ(data.meshes.size(), 2u);
    EXPECT_EQ(data.meshes[0].materialIndex, 0);
    EXPECT_EQ(data.meshes[0].triangleIndices, (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(data.meshes[1].materialIndex, -1) << "a group without material draws without one";
    EXPECT_EQ(data.groupNames, (std::vector<std::string>{"group", "group"}));

    ASSERT_EQ(data.materials.size(), 1u);
    const ModelMaterial& material = data.materials[0];
    EXPECT_FLOAT_EQ(material.ambient.r, 0.1f);
    EXPECT_FLOAT_EQ(material.diffuse.a, 0.4f);
    EXPECT_FLOAT_EQ(material.emission.g, 0.2f);
    EXPECT_EQ(material.shininess, 32);
    EXPECT_EQ(material.baseColour[0], 1);
    EXPECT_EQ(material.texture, 0u);
    EXPECT_EQ(material.repeatU, 1);
}

TEST(Ms3dReader, VersionsFromThreeOnAreRead) {
    MilkshapeData v3, v4, data;
    ASSERT_TRUE(Load(TwoTriangleModel(3), v3));
    ASSERT_TRUE(Load(TwoTriangleModel(4), v4));
    EXPECT_EQ(v4.triangles.size(), v3.triangles.size());
    EXPECT_EQ(v4.materials[0].textureFile, v3.materials[0].textureFile);

    std::string error;
    EXPECT_FALSE(Load(TwoTriangleModel(2), data, &error));
    EXPECT_EQ(error, "MS3D version 2 is older than 3");
    std::string wrongMagic = TwoTriangleModel();
    wrongMagic[4] = 'X';
    EXPECT_FALSE(Load(wrongMagic, data, &error));
    EXPECT_EQ(error, "not an MS3D file");
    EXPECT_TRUE(data.triangles.empty()) << "a refused file leaves nothing behind";
}

TEST(Ms3dReader, TextureNamesStartingWithDotBackslashFollowTheModel) {
    MilkshapeData data;
    ASSERT_TRUE(Load(TwoTriangleModel(3, ".\\hull.bmp"), data));
    EXPECT_EQ(data.materials[0].textureFile, "data/lvl\\hull.bmp");
    ASSERT_TRUE(Load(TwoTriangleModel(3, "deck.bmp"), data));
    EXPECT_EQ(data.materials[0].textureFile, "deck.bmp");
    ASSERT_TRUE(Load(TwoTriangleModel(3, ".\\hull.bmp"), data, nullptr, "ship.ms3d"));
    EXPECT_EQ(data.materials[0].textureFile, ".\\hull.bmp") << "a model in the working directory keeps the name";
    const std::string longName(200, 'n');
    ASSERT_TRUE(Load(TwoTriangleModel(3, longName), data));
    EXPECT_EQ(data.materials[0].textureFile.size(), 128u) << "an unterminated name ends with its field";
}

TEST(Ms3dReader, AFileShorterThanItsCountsIsRefused) {
    const std::string full = TwoTriangleModel();
    for (size_t length = 0; length < full.size(); ++length) {
        MilkshapeData data;
        std::string error;
        EXPECT_FALSE(Load(full.substr(0, length), data, &error)) << "prefix " << length;
        EXPECT_FALSE(error.empty()) << "prefix " << length;
    }
    MilkshapeData data;
    EXPECT_TRUE(Load(full + "joints and animation", data)) << "what follows the materials is not read";
}

TEST(Ms3dReader, IndicesOutsideTheirTablesAreRefused) {
    MilkshapeData data;
    std::string error;
    EXPECT_FALSE(Load(Ms3dFile(3, 3, {{{0, 1, 3}, {0, 0, 0}}}, {}, {}), data, &error));
    EXPECT_EQ(error, "triangle 0 uses vertex 3 of 3");
    EXPECT_FALSE(Load(Ms3dFile(3, 3, {{{0, 1, 2}, {0, 0, 0}}}, {{{1}, -1}}, {}), data, &error));
    EXPECT_EQ(error, "group 0 uses triangle 1 of 1");
    EXPECT_FALSE(Load(Ms3dFile(3, 3, {{{0, 1, 2}, {0, 0, 0}}}, {{{0}, 1}}, {{"a.bmp"}}), data, &error));
    EXPECT_EQ(error, "group 0 uses material 1 of 1");
}

TEST(Ms3dReader, ReadsFromAFile) {
    TempDir dir;
    dir.Write("ship.ms3d", TwoTriangleModel());
    MilkshapeData data;
    std::string error;
    ASSERT_TRUE(LoadMilkshape(dir.File("ship.ms3d"), data, &error)) << error;
    EXPECT_EQ(data.materials[0].textureFile, dir.Path() + "\\hull.bmp");
    EXPECT_FALSE(LoadMilkshape(dir.File("none.ms3d"), data, &error));
    EXPECT_EQ(error, "cannot open " + dir.File("none.ms3d"));
    EXPECT_FALSE(LoadMilkshape(dir.Path(), data, &error)) << "a directory";
}
