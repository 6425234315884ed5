#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

IniFile Parsed(const std::string& text, int maxLines = 0) {
    IniFile ini;
    ini.Parse(text, maxLines);
    return ini;
}

// ToText() writes back every section and entry kept, each entry as key=value.
TEST(IniFileSyntax, KeysAndValuesKeepTheirBlanksSplitAtTheFirstEqualsAndLoseATrailingReturn) {
    IniFile ini = Parsed("[a]\r\nkey = value\nx=1=2\nempty=\nno equals here\ncr=v\r\n");
    EXPECT_EQ(ini.ToText(), "[a]\nkey = value\nx=1=2\nempty=\ncr=v\n\n") << "a line without = is no entry";
    EXPECT_FALSE(ini.HasKey("a", "key"));
    EXPECT_EQ(ini.GetString("a", "key "), " value");
    EXPECT_EQ(ini.GetString("a", "x"), "1=2");
}

TEST(IniFileSyntax, CommentsOnlyAtTheFirstCharacter) {
    EXPECT_EQ(Parsed("[a]\n;k=1\n  ;k=2\n  ; no equals\n").ToText(), "[a]\n  ;k=2\n\n");
}

TEST(IniFileSyntax, EntriesBeforeTheFirstHeaderAndUnderEmptyHeadersAreDropped) {
    EXPECT_EQ(Parsed("lost=1\n[]\nalso=2\n[kept]\n[b]\nx=3\n").ToText(), "[kept]\n\n[b]\nx=3\n\n");
}

TEST(IniFileSyntax, FirstMatchWinsAndDuplicatesStay) {
    IniFile ini = Parsed("[Keys]\nA=1\nA=2\n[Keys]\nB=3\n");
    EXPECT_EQ(ini.GetInt("Keys", "A"), 1);
    EXPECT_FALSE(ini.HasKey("Keys", "B"));
    EXPECT_EQ(ini.ToText(), "[Keys]\nA=1\nA=2\n\n[Keys]\nB=3\n\n");
}

TEST(IniFileSyntax, MaxLinesCountsHeadersAndEntries) {
    EXPECT_EQ(Parsed("[a]\n; comment\nx=1\ny=2\n", 2).ToText(), "[a]\nx=1\n\n");
}

TEST(IniFileValues, ConvertLikeTheCLibrary) {
    IniFile ini = Parsed("[a]\nnum=42abc\nword=abc\nf=2.5x\ntwo=2\n");
    EXPECT_EQ(ini.GetInt("a", "num"), 42);
    EXPECT_EQ(ini.GetInt("a", "word"), 0);
    EXPECT_DOUBLE_EQ(ini.GetFloat("a", "f"), 2.5);
    EXPECT_TRUE(ini.GetBool("a", "two"));
}

TEST(IniFileValues, SetValueCreatesOnlyWhenAsked) {
    IniFile ini = Parsed("[a]\nx=1\n");
    EXPECT_FALSE(ini.SetValue("a", "y", "2", false));
    EXPECT_TRUE(ini.SetValue("a", "x", "5", false));
    EXPECT_TRUE(ini.SetInt("a", "y", 2, true));
    EXPECT_TRUE(ini.SetFloat("b", "f", 0.5, true));
    EXPECT_EQ(ini.ToText(), "[a]\nx=5\ny=2\n\n[b]\nf=0.5\n\n");
}

TEST(IniFileFiles, SaveRewritesTheFileWhole) {
    TempDir dir;
    dir.Write("kav.ini", "; comment\n[General]\nPlayer1Name=Ann\n");
    IniFile ini(dir.File("kav.ini"));
    ASSERT_TRUE(ini.SetValue("NetSetup", "ServerAddr", "host:4077", true));
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(dir.Read("kav.ini"), "[General]\nPlayer1Name=Ann\n\n[NetSetup]\nServerAddr=host:4077\n\n");
}

TEST(IniFileFiles, MissingFileIsAnEmptyStoreAndUnwritableSaveFails) {
    TempDir dir;
    IniFile ini;
    ini.SetFileName(dir.File("none.ini"));
    EXPECT_FALSE(ini.Load());
    ini.SetFileName(dir.File("no/such/dir/x.ini"));
    ini.SetValue("a", "b", "c", true);
    IniSaveFailure failure;
    EXPECT_FALSE(ini.Save(&failure));
    EXPECT_FALSE(failure.readOnly);
    EXPECT_EQ(failure.reason, "No such file or directory");
}

TEST(IniFileFiles, AReplacedFileKeepsItsMode) {
    TempDir dir;
    dir.Write("kav.ini", "[General]\nPlayer1Name=Ann\n");
    IniFile ini(dir.File("kav.ini"));
    ini.SetValue("General", "Player1Name", "Bob", true);
    namespace fs = std::filesystem;
    fs::permissions(dir.File("kav.ini"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(dir.Read("kav.ini"), "[General]\nPlayer1Name=Bob\n\n");
    EXPECT_EQ(fs::status(dir.File("kav.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1) << "no temporary file stays behind";
}

}  // namespace
