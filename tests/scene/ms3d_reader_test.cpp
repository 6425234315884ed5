#include "scene/ms3d_reader.h"

#include <gtest/gtest.h>

#include "file_builders.h"

namespace {

std::string TwoTriangleModel(int32_t version = 3, const std::string& texture = ".\\hull.bmp") {
    return Ms3dFile(version, 4, {{{0, 1, 2}, {0.25f, 0, 1}}, {{0, 2, 3}, {0.5f, 0.5f, 0.5f}}}, {{{0, 1}, 0}, {{1}, -1}},
                    {{texture, 32}});
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
    EXPECT_EQ(data.vertices.at(3).y, 6);
    EXPECT_EQ(data.triangles.at(1).vertexIndices[2], 3u);
    EXPECT_FLOAT_EQ(data.triangles[0].t[0], 0.75f) << "t is stored as 1 - t";
    EXPECT_EQ(data.meshes.at(0).triangleIndices, (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(data.meshes.at(1).materialIndex, -1) << "a group without material draws without one";
    EXPECT_EQ(data.materials.at(0).shininess, 32);
}

TEST(Ms3dReader, TextureNamesStartingWithDotBackslashFollowTheModel) {
    const struct {
        std::string texture, path, expected;
    } cases[] = {
        {".\\hull.bmp", "data/lvl/ship.ms3d", "data/lvl\\hull.bmp"},
        {"deck.bmp", "data/lvl/ship.ms3d", "deck.bmp"},
        {std::string(200, 'n'), "ship.ms3d", std::string(128, 'n')},  // an unterminated name ends with its field
    };
    for (const auto& c : cases) {
        MilkshapeData data;
        ASSERT_TRUE(Load(TwoTriangleModel(3, c.texture), data, nullptr, c.path));
        EXPECT_EQ(data.materials[0].textureFile, c.expected) << c.texture << " in " << c.path;
    }
}

TEST(Ms3dReader, BadFilesAreRefusedWithTheirReason) {
    std::string wrongMagic = TwoTriangleModel();
    wrongMagic[4] = 'X';
    const struct {
        std::string bytes, error;
    } cases[] = {
        {TwoTriangleModel(2), "MS3D version 2 is older than 3"},
        {wrongMagic, "not an MS3D file"},
        {Ms3dFile(3, 3, {{{0, 1, 3}, {0, 0, 0}}}, {}, {}), "triangle 0 uses vertex 3 of 3"},
        {Ms3dFile(3, 3, {{{0, 1, 2}, {0, 0, 0}}}, {{{0}, 1}}, {{"a.bmp"}}), "group 0 uses material 1 of 1"},
    };
    for (const auto& c : cases) {
        MilkshapeData data;
        std::string error;
        ASSERT_TRUE(Load(TwoTriangleModel(), data));
        EXPECT_FALSE(Load(c.bytes, data, &error)) << c.error;
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(data.triangles.empty()) << "a refused file leaves nothing behind";
    }
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
