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

TEST_F(ScriptParserTest, SpacesAndCommentsGoWhileSpacesInsideTokensStay) {
    struct Case {
        const char* rule;
        std::string text;
        std::string type, name;
        Statements statements;
    };
    const Case cases[] = {
        {"spaces around tokens go, spaces inside stay",
         "  action\t=\r\n  big  bang \n{\n\tPlaySound =  shot one ; StartPts = a;\n}\n",
         "action",
         "big  bang",
         {{"PlaySound", "shot one"}, {"StartPts", "a"}}},
        {"control bytes, tabs and bytes above 127 count as spaces; 127 is kept",
         "sound\x01=\x7f\xe9shot\tloud\x1f{file=\xff"
         "a.wav\x80;}",
         "sound",
         "\x7f shot loud",
         {{"file", "a.wav"}}},
        {"comments run to the end of the line or text",
         "// a ship\nsound = shot { // the gun\n file = shot.wav; // loud\n}// sound = b { file = y.wav; }",
         "sound",
         "shot",
         {{"file", "shot.wav"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ASSERT_TRUE(Parse(c.text));
        ASSERT_EQ(blocks_.size(), 1u);
        EXPECT_EQ(blocks_[0].type, c.type);
        EXPECT_EQ(blocks_[0].name, c.name);
        EXPECT_EQ(blocks_[0].statements, c.statements);
    }
    EXPECT_EQ(CleanScriptLines({"sound = a // first", "{ file = x.wav;\r", "}"}), "sound = a  { file = x.wav;  } ")
        << "file lines lose their comments and line ends and join with spaces";
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ScriptParserTest, EachSyntaxErrorHasItsTextAndNamesTheBadStatementAndBlock) {
    struct Case {
        const char* text;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {"sound shot { file = a.wav; }", {"Missing = after sound shot", "Bad block 1"}},
        {"sound", {"Missing = after sound", "Bad block 1"}},  // the text ran out
        // The message names the type, not the name.
        {"sound = shot; file = a.wav; }", {"Missing { after sound", "Bad block 1"}},
        {"action = fire { PlaySound shot; }", {"Missign = after PlaySound shot", "Bad statement 1", "Bad block 1"}},
        {"action = fire { StartPts = trail; PlaySound = shot }",
         {"Missing ; after shot", "Bad statement 2", "Bad block 1"}},
        {"sound = shot { file = a.wav;", {"Missign = after ", "Bad statement 2", "Bad block 1"}},  // never closes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        log_.Clear();
        EXPECT_FALSE(Parse(c.text));
        EXPECT_EQ(Errors(), c.errors);
    }

    // A token without end is quoted in part: 200 characters and "...".
    const std::string endless(100000, 'x');
    log_.Clear();
    EXPECT_FALSE(Parse("sound = shot { file = " + endless));
    EXPECT_EQ(Errors().front(), "Missing ; after " + endless.substr(0, 200) + "...");
    log_.Clear();
    EXPECT_FALSE(Parse("sound = shot { file = " + endless.substr(0, 200) + " }"));
    EXPECT_EQ(Errors().front(), "Missing ; after " + endless.substr(0, 200)) << "200 characters are quoted whole";

    EXPECT_FALSE(Parse("sound = a { file = a.wav; } sound = b { file = b.wav; } action = fire { PlaySound a; }"));
    EXPECT_EQ(Errors().back(), "Bad block 3");
    ASSERT_EQ(blocks_.size(), 2u) << "blocks before an error are kept";
    EXPECT_EQ(blocks_[1].name, "b");
}

}  // namespace
