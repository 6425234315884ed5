#include "scene/model_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "file_builders.h"
#include "scene/texture_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

std::string CobWithPolyhedra(const std::vector<std::string>& names) {
    CobFileBuilder file;
    int32_t id = 1;
    for (const std::string& name : names)
        file.Chunk("PolH", 0, 4, id++, 0, Encoded(WriteCobPolH, CobSquare(name), int16_t{4}));
    return file.End().Bytes();
}

class ModelManagerTest : public ::testing::Test {
protected:
    TextureManager textures{nullptr};
    ModelManager scene{textures};
    ReportCapture capture;
    TempDir dir;
};

TEST_F(ModelManagerTest, CobFileGivesAModelOfItsFirstPolyhedronOrNoneAndOtherEndingsAreRefused) {
    dir.Write("TWO.COB", CobWithPolyhedra({"first", "second"}));
    dir.Write("empty.cob", CobWithPolyhedra({}));
    dir.Write("ship.3ds", "whatever");
    ModelObject* object = scene.LoadModelFile(dir.File("TWO.COB"));
    ASSERT_NE(object, nullptr) << "endings are compared without case";
    EXPECT_EQ(object->model.name, "first");
    EXPECT_TRUE(capture.Contains("More then one poly found loaded only first from " + dir.File("TWO.COB")));
    EXPECT_EQ(scene.LoadModelFile(dir.File("empty.cob")), nullptr);
    EXPECT_TRUE(capture.Contains("No poly was found in " + dir.File("empty.cob")));
    EXPECT_EQ(scene.LoadModelFile(dir.File("missing.cob")), nullptr);
    EXPECT_EQ(scene.LoadModelFile(dir.File("ship.3ds")), nullptr);
    EXPECT_TRUE(capture.Contains("Unsupported file format of " + dir.File("ship.3ds")));
    EXPECT_EQ(scene.Objects().size(), 1u) << "a file that cannot be read leaves no model";
}

TEST_F(ModelManagerTest, MilkshapeFileIsCopiedIntoTheModelOrLeavesAnEmptyOne) {
    dir.Write("ship.Ms3d", Ms3dFile(4, 4, {{{0, 1, 2}, {0, 0, 1}}, {{1, 2, 3}, {0, 0, 0}}}, {{{0, 1}, 0}}, {{"", 12}}));
    dir.Write("old.ms3d", Ms3dFile(2, 3, {{{0, 1, 2}, {0, 0, 0}}}, {}, {}));
    dir.Write("flat.ms3d", Ms3dFile(3, 3, {}, {}, {}));
    ModelObject* object = scene.LoadModelFile(dir.File("ship.Ms3d"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->model.triangles.at(1).vertexIndices[2], 3u);
    EXPECT_FLOAT_EQ(object->model.materials.at(0).shininess, 12);

    ModelObject* old = scene.LoadModelFile(dir.File("old.ms3d"));
    ModelObject* flat = scene.LoadModelFile(dir.File("flat.ms3d"));
    ASSERT_TRUE(old != nullptr && flat != nullptr) << "an unreadable Milkshape file still leaves a model";
    EXPECT_TRUE(flat->model.vertices.empty()) << "a file without triangles keeps nothing";
    EXPECT_TRUE(capture.Contains("Failed to load " + dir.File("old.ms3d")));
    EXPECT_TRUE(capture.Contains("No faceso in " + dir.File("flat.ms3d")));
}

TEST_F(ModelManagerTest, BuildModelAppendsEveryPolyhedronOfALevelSceneAndClearForgetsThem) {
    std::string bytes = CobWithPolyhedra({"floor", "wall"});
    CobReader reader;
    ASSERT_TRUE(reader.LoadFromMemory(bytes.data(), bytes.size(), "level.cob"));
    for (const CobPolH& polyhedron : reader.Polyhedra()) scene.BuildModel(reader, polyhedron);
    ASSERT_EQ(scene.Objects().size(), 2u);
    EXPECT_TRUE(scene.Objects()[1]->model.triangles.empty()) << "faces without a material are skipped";

    IniFile ini;
    ini.Parse(
        "[camera0]\nloc=0,0,1\nlook_at=0,0,0\nup_dir=0,1,0\n[light0]\ntype=2\nloc=0,0,1\nambient=1,1,1\n"
        "diffuse=1,1,1\nspecular=1,1,1\n");
    scene.LoadLightsFromIni(ini);
    ASSERT_TRUE(scene.LoadCamerasFromIni(ini));
    scene.Clear();
    EXPECT_TRUE(scene.Objects().empty() && scene.Cameras().empty() && scene.Lights().empty())
        << "Clear forgets them all";
}

}  // namespace
