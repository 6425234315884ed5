#include "inspect_level.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/ini_file.h"
#include "game/level_test_support.h"
#include "support/temp_dir.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class InspectLevelTest : public ::testing::Test {
protected:
    TempDir data;
};

TEST_F(InspectLevelTest, ShippedLevelReportsWhatTheGameBuilds) {
    const std::string level = CopyShippedLevel("crossroads", data.Path());
    const Inspection inspection = InspectLevelDirectory(level + "/");
    const std::string json = inspection.details.ToJson();
    EXPECT_TRUE(inspection.loads) << inspection.reason;
    EXPECT_TRUE(Has(json, "\"name\":\"Crossroads\"")) << "the catalogue entry: " << json;
    EXPECT_TRUE(Has(json, "\"pointCount\":21,\"edgeCount\":48"));
    EXPECT_TRUE(Has(json, "\"0 at -6,-6,0; up 5, right 1, down -, left -\""));
    EXPECT_TRUE(Has(json, "\"startEdge\":\"8: 0 -> 1\"")) << "the red ship sets off to the right";
    EXPECT_TRUE(Has(json, "\"levelEvents\":{\"start\":2,\"finish\":2}"));
    EXPECT_TRUE(Has(json, "\"missingFiles\":[]"));
    EXPECT_TRUE(Has(json, "\"name\":\"High\"")) << "the cameras";
    EXPECT_TRUE(std::filesystem::exists(level + "/saved.ini.all")) << "the load writes what it built, as the game does";
}

TEST_F(InspectLevelTest, MissingFilesAreListedAndABrokenLevelDoesNotLoad) {
    const std::string level = CopyShippedLevel("crossroads", data.Path());
    IniFile ini(level + "/crossroads.ini");
    ASSERT_TRUE(ini.Load());
    ini.SetValue("ship1", "ship_file", "models/gone.cob", false);
    ASSERT_TRUE(ini.Save());
    std::filesystem::remove(level + "/sounds/shot.wav");

    const Inspection oneShip = InspectLevelDirectory(level);
    const std::string json = oneShip.details.ToJson();
    EXPECT_TRUE(oneShip.loads) << "one ship is enough to load: " << oneShip.reason;
    EXPECT_TRUE(Has(json, level + "/models/gone.cob ([ship1] ship_file)")) << json;
    EXPECT_TRUE(Has(json, level + "/sounds/shot.wav (read by the game)")) << json;

    ini.SetValue("path", "point3_nb", "1,2", false);
    ASSERT_TRUE(ini.Save());
    const Inspection broken = InspectLevelDirectory(level);
    EXPECT_FALSE(broken.loads);
    EXPECT_EQ(broken.reason, "error: Level was not loaded correctly");
    EXPECT_TRUE(Has(broken.details.ToJson(), "warning: Bad neigbourhood for point3_nb"));
}

TEST_F(InspectLevelTest, MenuBackgroundIsInspectedAsTheMenuLoadsIt) {
    const Inspection inspection = InspectLevelDirectory("data/.default");
    const std::string json = inspection.details.ToJson();
    EXPECT_TRUE(inspection.loads) << inspection.reason;
    EXPECT_TRUE(Has(json, "\"kind\":\"menu background\""));
    EXPECT_TRUE(Has(json, "\"missingFiles\":[]")) << json;
    EXPECT_FALSE(Has(json, "\"levelEvents\":{}")) << "the menu script binds start";
}

TEST_F(InspectLevelTest, DirectoryWithoutDescriptionIsNoLevel) {
    data.Write("empty/readme.txt", "nothing here");
    const Inspection inspection = InspectLevelDirectory(data.File("empty"));
    EXPECT_FALSE(inspection.loads);
    EXPECT_EQ(inspection.reason, "no level description file (*.ini) in the directory");
}

}  // namespace

namespace {

// Single files of shipped levels are read with the level's own texture directory.
TEST(InspectLevelFiles, FilesOfALevelFindTheLevelsTexturesAndTheMenuSceneIsACobScene) {
    const Inspection model = InspectPath("data/crossroads/models/shipred.ms3d");
    ASSERT_TRUE(model.loads) << model.reason;
    EXPECT_TRUE(Has(model.details.ToJson(), "{\"texture\":\"hull.bmp\",\"found\":true}"))
        << "textures come from the level's texture_path: " << model.details.ToJson();

    const Inspection menu = InspectPath("data/.default/default.scn");
    EXPECT_TRUE(menu.loads) << menu.reason;
    EXPECT_TRUE(Has(menu.details.ToJson(), "\"texturesMissing\":[]")) << menu.details.ToJson();
}

}  // namespace
