#include "game/level_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

const char* const kValidLevel = "[general]\nlevel_name=Canyon\nmax_players=2\ncrc=1234abc\n";

class LevelCatalogue : public testing::Test {
protected:
    std::string Data() const { return dir.File("data"); }
    std::vector<LevelEntry> Scan() { return LoadLevelList(Data()); }

    TempDir dir;
    ReportCapture capture;
};

TEST_F(LevelCatalogue, AMissingDataDirectoryGivesOneWarningAndNoLevels) {
    EXPECT_TRUE(Scan().empty());
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"gme w No levels to play"}));
}

TEST_F(LevelCatalogue, EachLevelDirectoryWithOneDescriptionBecomesAnEntry) {
    dir.Write("data/canyon/canyon.ini", kValidLevel);
    dir.Write("data/twin/x.ini", "[level]\nscript=a.scr\n[general]\nlevel_name=Canyon\n");
    dir.Write("data/.default/default.ini", kValidLevel);
    dir.Write("data/readme.ini", kValidLevel);
    dir.Write("data/empty/notes.txt", "nothing");
    std::vector<LevelEntry> levels = Scan();
    ASSERT_EQ(levels.size(), 2u) << "hidden directories, plain files and directories without ini are skipped";
    EXPECT_EQ(levels[0].name, "Canyon");
    EXPECT_EQ(levels[0].iniPath, Data() + "/canyon/canyon.ini");
    EXPECT_EQ(levels[0].maxPlayers, 2);
    EXPECT_EQ(levels[1].name, "Canyon") << "same names are kept; general need not be the first section";
    EXPECT_TRUE(capture.Lines().empty()) << capture.Joined();
}

TEST_F(LevelCatalogue, EveryFaultIsNamedAndTheScanGoesOn) {
    dir.Write("data/two/a.ini", kValidLevel);
    dir.Write("data/two/b.ini", kValidLevel);
    dir.Write("data/nogeneral/x.ini", "[level]\nlevel_name=X\n");
    dir.Write("data/noname/x.ini", "[general]\nmax_players=2\n");
    std::filesystem::create_directories(dir.File("data/locked"));
    // A link to nowhere cannot be opened, even by root.
    std::filesystem::create_symlink(dir.File("nowhere.ini"), dir.File("data/locked/x.ini"));
    dir.Write("data/good/x.ini", kValidLevel);
    ASSERT_EQ(Scan().size(), 1u);
    EXPECT_TRUE(capture.Contains(Data() + "/two has multiple ini files, skipped"));
    EXPECT_TRUE(capture.Contains(Data() + "/nogeneral/x.ini does not have general as a first section"));
    EXPECT_TRUE(capture.Contains(Data() + "/noname/x.ini does not have level name defined in section \"general\""));
    EXPECT_TRUE(capture.Contains(Data() + "/locked/x.ini could not be read"));
}

}  // namespace
