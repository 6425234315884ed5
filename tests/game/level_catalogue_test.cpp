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

TEST_F(LevelCatalogue, AValidLevelBecomesAnEntry) {
    dir.Write("data/canyon/canyon.ini", kValidLevel);
    std::vector<LevelEntry> levels = Scan();
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].name, "Canyon");
    EXPECT_EQ(levels[0].directory, Data() + "/canyon");
    EXPECT_EQ(levels[0].iniPath, Data() + "/canyon/canyon.ini");
    EXPECT_EQ(levels[0].maxPlayers, 2);
    EXPECT_EQ(levels[0].crc, 1234) << "integers read like atoi";
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(LevelCatalogue, HiddenDirectoriesPlainFilesAndDirectoriesWithoutIniAreSkippedSilently) {
    dir.Write("data/.default/default.ini", kValidLevel);
    dir.Write("data/readme.ini", kValidLevel);
    dir.Write("data/empty/notes.txt", "nothing");
    EXPECT_TRUE(Scan().empty());
    EXPECT_TRUE(capture.Lines().empty()) << capture.Joined();
}

TEST_F(LevelCatalogue, EveryFaultIsNamedAndTheScanGoesOn) {
    dir.Write("data/two/a.ini", kValidLevel);
    dir.Write("data/two/b.ini", kValidLevel);
    dir.Write("data/nogeneral/x.ini", "[level]\nlevel_name=X\n");
    dir.Write("data/noname/x.ini", "[general]\nmax_players=2\n");
    dir.Write("data/good/x.ini", "[level]\nscript=a.scr\n[general]\nlevel_name=Late general\n");
    std::vector<LevelEntry> levels = Scan();
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].name, "Late general") << "general need not be the first section";
    EXPECT_TRUE(capture.Contains(Data() + "/two has multiple ini files, skipped"));
    EXPECT_TRUE(capture.Contains(Data() + "/nogeneral/x.ini does not have general as a first section"));
    EXPECT_TRUE(capture.Contains(Data() + "/noname/x.ini does not have level name defined in section \"general\""));
}

TEST_F(LevelCatalogue, AnUnreadableDescriptionIsReported) {
    dir.Write("data/locked/readme.txt", "");
    // A link to nowhere cannot be opened, even by root.
    std::filesystem::create_symlink(dir.File("nowhere.ini"), dir.File("data/locked/x.ini"));
    EXPECT_TRUE(Scan().empty());
    EXPECT_TRUE(capture.Contains(Data() + "/locked/x.ini could not be read"));
}

TEST_F(LevelCatalogue, SameNamesAreKeptAndMissingNumbersReadAsZero) {
    dir.Write("data/a/x.ini", "[general]\nlevel_name=Twin\n");
    dir.Write("data/b/x.ini", "[general]\nlevel_name=Twin\n");
    std::vector<LevelEntry> levels = Scan();
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0].name, "Twin");
    EXPECT_EQ(levels[1].name, "Twin");
    EXPECT_EQ(levels[0].maxPlayers, 0);
    EXPECT_EQ(levels[0].crc, 0);
}

}  // namespace
