#include "inspect_level.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "base/ini_file.h"
#include "game/level_test_support.h"
#include "support/temp_dir.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Overwrites the little-endian number of `size` bytes at `offset` of a file.
void PatchFile(const std::string& path, std::streamoff offset, uint32_t value, int size) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(offset);
    for (int i = 0; i < size; ++i) file.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

TEST(InspectLevel, MissingFilesOrABrokenPathStopALevel) {
    TempDir data;
    const std::string level = CopyShippedLevel("crossroads", data.Path());
    IniFile ini(level + "/crossroads.ini");
    ASSERT_TRUE(ini.Load());
    ini.SetValue("ship1", "ship_file", "models/gone.cob", false);
    ASSERT_TRUE(ini.Save());
    std::filesystem::remove(level + "/sounds/shot.wav");
    const Inspection oneShip = InspectLevelDirectory(level);
    const std::string json = oneShip.details.ToJson();
    EXPECT_FALSE(oneShip.loads) << "the game races one ship, but the player misses the other";
    EXPECT_EQ(oneShip.reason, "error: Missing file " + level + "/models/gone.cob ([ship1] ship_file)");
    EXPECT_TRUE(Has(json, level + "/models/gone.cob ([ship1] ship_file)")) << json;
    EXPECT_TRUE(Has(json, level + "/sounds/shot.wav (read by the game)")) << json;

    ini.SetValue("path", "point3_nb", "1,2", false);
    ASSERT_TRUE(ini.Save());
    const Inspection broken = InspectLevelDirectory(level);
    EXPECT_FALSE(broken.loads);
    EXPECT_EQ(broken.reason, "error: Level was not loaded correctly");
    EXPECT_TRUE(Has(broken.details.ToJson(), "warning: Bad neigbourhood for point3_nb"));
}

// Whatever the player would see or hear missing makes the level fail, with an error
// line that says what; kav-inspect's exit status and --json follow `loads`.
TEST(InspectLevel, DamagedFilesOfAShippedLevelFailWithAnErrorLine) {
    constexpr int kBmpWidthOffset = 18;
    constexpr int kMs3dVertexCountOffset = 14;  // after the "MS3D000000" id and the version
    const struct {
        const char* damage;
        std::function<void(const std::string& level)> apply;
        std::string reason;  // after the level directory's path
    } cases[] = {
        {"a texture 100000 pixels wide",
         [](const std::string& level) { PatchFile(level + "/texture/deck.bmp", kBmpWidthOffset, 100000, 4); },
         "error: Error: Image file conversion error."},
        {"a model with 0xFFFF vertices",
         [](const std::string& level) { PatchFile(level + "/models/lanes.ms3d", kMs3dVertexCountOffset, 0xFFFF, 2); },
         "error: Failed to load {level}/models/lanes.ms3d"},
        {"a level description of garbage",
         [](const std::string& level) { WriteFile(level + "/crossroads.ini", std::string("\x01\x02[\xff=\x00\n", 7)); },
         "error: {level}/crossroads.ini does not have general as a first section"},
        {"a .wav that is no WAV",
         [](const std::string& level) { WriteFile(level + "/sounds/fanfare.wav", "not a sound at all"); },
         "error: alutLoadWAVFile {level}/sounds/fanfare.wav : Unsupported file type"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        TempDir data;
        const std::string level = CopyShippedLevel("crossroads", data.Path());
        ASSERT_TRUE(InspectLevelDirectory(level).loads) << "the shipped level loads";
        c.apply(level);
        const Inspection inspection = InspectLevelDirectory(level);
        std::string reason = c.reason;
        if (reason.find("{level}") != std::string::npos) reason.replace(reason.find("{level}"), 7, level);
        EXPECT_FALSE(inspection.loads);
        EXPECT_EQ(inspection.reason, reason);
        const std::string json = inspection.details.ToJson();
        EXPECT_TRUE(Has(json, "\"loads\":false")) << json;
        EXPECT_TRUE(Has(json, "\"" + reason + "\"")) << "the reason is among the problems: " << json;
    }
}

}  // namespace
