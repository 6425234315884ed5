#include "effects/script_parser.h"

#include <gtest/gtest.h>

#include "support/report_capture.h"

namespace {

using Statements = std::vector<std::pair<std::string, std::string>>;

class ScriptParserTest : public ::testing::Test {
protected:
    bool Parse(const std::string& text) { return ParseScript(CleanScriptText(text), blocks_); }
    std::vector<std::string> Errors() const {
        std::vector<std::string> errors;
        for (const std::string& line : log_.Lines())
            if (line.rfind("scr E ", 0) == 0) errors.push_back(line.substr(6));
        return errors;
    }

    ReportCapture log_;
    std::vector<ScriptBlock> blocks_;
};

TEST_F(ScriptParserTest, BlocksHoldTypeNameAndStatementsInOrder) {
    ASSERT_TRUE(Parse("sound = shot { file = shot.wav; }\n"
                      "action = fire { PlaySound = shot; StartPts = sparks; PlaySound = shot; }"));
    ASSERT_EQ(blocks_.size(), 2u);
    EXPECT_EQ(blocks_[0].type, "sound");
    EXPECT_EQ(blocks_[0].name, "shot");
    EXPECT_EQ(blocks_[0].statements, (Statements{{"file", "shot.wav"}}));
    EXPECT_EQ(blocks_[1].statements,
              (Statements{{"PlaySound", "shot"}, {"StartPts", "sparks"}, {"PlaySound", "shot"}}));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ScriptParserTest, EmptyScriptsAndUnknownBlockTypesAreFine) {
    EXPECT_TRUE(Parse(""));
    EXPECT_TRUE(Parse("  \n\t // only a comment"));
    EXPECT_TRUE(blocks_.empty());
    ASSERT_TRUE(Parse("light = lamp { colour = red; } action = fire {}"));
    ASSERT_EQ(blocks_.size(), 2u) << "blocks of other types are kept";
    EXPECT_EQ(blocks_[0].type, "light");
    EXPECT_TRUE(blocks_[1].statements.empty());
}

TEST_F(ScriptParserTest, SpacesAroundTokensGoAndSpacesInsideStay) {
    ASSERT_TRUE(Parse("  action\t=\r\n  big  bang \n{\n\tPlaySound =  shot one ;\n}\n"));
    ASSERT_EQ(blocks_.size(), 1u);
    EXPECT_EQ(blocks_[0].type, "action");
    EXPECT_EQ(blocks_[0].name, "big  bang") << "a name of two words keeps the spaces between them";
    EXPECT_EQ(blocks_[0].statements, (Statements{{"PlaySound", "shot one"}}));
}

TEST_F(ScriptParserTest, ControlAndNonAsciiCharactersCountAsSpaces) {
    ASSERT_TRUE(Parse("sound\x01=\x7f\xe9shot\tloud\x1f{file=\xff" "a.wav\x80;}"));
    EXPECT_EQ(blocks_[0].name, "\x7f shot loud") << "127 is kept, tabs and bytes above 127 become spaces";
    EXPECT_EQ(blocks_[0].statements, (Statements{{"file", "a.wav"}}));
}

TEST_F(ScriptParserTest, TokensMayBeEmpty) {
    ASSERT_TRUE(Parse("= { = ; }"));
    ASSERT_EQ(blocks_.size(), 1u);
    EXPECT_EQ(blocks_[0].type, "");
    EXPECT_EQ(blocks_[0].statements, (Statements{{"", ""}}));
}

TEST_F(ScriptParserTest, CommentsRunToTheEndOfTheLine) {
    ASSERT_TRUE(Parse("// a ship\nsound = shot { // the gun\n file = shot.wav; // loud\n}// end"));
    ASSERT_EQ(blocks_.size(), 1u);
    EXPECT_EQ(blocks_[0].statements, (Statements{{"file", "shot.wav"}}));
    ASSERT_TRUE(Parse("sound = a { file = x.wav; } // sound = b { file = y.wav; }"));
    EXPECT_EQ(blocks_.size(), 1u) << "a comment without a line end runs to the end of the text";
}

TEST_F(ScriptParserTest, FileLinesLoseTheirCommentsAndJoinWithSpaces) {
    EXPECT_EQ(CleanScriptLines({"sound = a // first", "{ file = x.wav;\r", "}"}), "sound = a  { file = x.wav;  } ");
    ASSERT_TRUE(ParseScript(CleanScriptLines({"action = big", "bang { StartPts = trail; }"}), blocks_));
    EXPECT_EQ(blocks_[0].name, "big bang") << "a line end is a space";
}

TEST_F(ScriptParserTest, MissingEqualsAfterTheType) {
    EXPECT_FALSE(Parse("sound shot { file = a.wav; }"));
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Missing = after sound shot", "Bad block 1"}));
    ASSERT_FALSE(Parse("sound"));
    EXPECT_EQ(Errors().at(2), "Missing = after sound") << "the text ran out";
}

TEST_F(ScriptParserTest, MissingBraceAfterTheName) {
    EXPECT_FALSE(Parse("sound = shot; file = a.wav; }"));
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Missing { after sound", "Bad block 1"}))
        << "the message names the type, not the name";
}

TEST_F(ScriptParserTest, StatementWithoutEquals) {
    EXPECT_FALSE(Parse("action = fire { PlaySound shot; }"));
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Missign = after PlaySound shot", "Bad statement 1", "Bad block 1"}));
}

TEST_F(ScriptParserTest, StatementWithoutSemicolon) {
    EXPECT_FALSE(Parse("action = fire { StartPts = trail; PlaySound = shot }"));
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Missing ; after shot", "Bad statement 2", "Bad block 1"}));
}

TEST_F(ScriptParserTest, BlockThatNeverCloses) {
    EXPECT_FALSE(Parse("sound = shot { file = a.wav;"));
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Missign = after ", "Bad statement 2", "Bad block 1"}));
}

TEST_F(ScriptParserTest, BlocksBeforeAnErrorAreKept) {
    EXPECT_FALSE(Parse("sound = a { file = a.wav; } sound = b { file = b.wav; } action = fire { PlaySound a; }"));
    EXPECT_EQ(Errors().back(), "Bad block 3");
    ASSERT_EQ(blocks_.size(), 2u);
    EXPECT_EQ(blocks_[1].name, "b");
}

TEST_F(ScriptParserTest, EachParseReplacesThePreviousBlocks) {
    ASSERT_TRUE(Parse("sound = a { file = a.wav; }"));
    ASSERT_TRUE(Parse("sound = b { file = b.wav; }"));
    ASSERT_EQ(blocks_.size(), 1u);
    EXPECT_EQ(blocks_[0].name, "b");
    EXPECT_FALSE(Parse("junk"));
    EXPECT_TRUE(blocks_.empty());
}

TEST_F(ScriptParserTest, TextAfterTheLastStatementIsIgnored) {
    ASSERT_TRUE(Parse("sound = a { file = a.wav; stray words }"));
    EXPECT_EQ(blocks_[0].statements, (Statements{{"file", "a.wav"}}));
}

}  // namespace
