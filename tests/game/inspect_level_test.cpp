#include "inspect_level.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/ini_file.h"
#include "game/level_test_support.h"
#include "support/temp_dir.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(InspectLevel, ShippedLevelsReportWhatTheGameBuilds) {
    TempDir data;
    const std::string level = CopyShippedLevel("crossroads", data.Path());
    const Inspection inspection = InspectLevelDirectory(level + "/");
    const std::string json = inspection.details.ToJson();
    EXPECT_TRUE(inspection.loads) << inspection.reason;
    EXPECT_TRUE(Has(json, "\"pointCount\":21,\"edgeCount\":48")) << json;
    EXPECT_TRUE(Has(json, "\"startEdge\":\"8: 0 -> 1\"")) << "the red ship sets off to the right";
}

TEST(InspectLevel, MissingFilesAreListedAndABrokenLevelDoesNotLoad) {
    TempDir data;
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

}  // namespace
