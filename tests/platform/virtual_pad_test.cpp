#include "platform/virtual_pad.h"

#include <gtest/gtest.h>

#include <SDL_gamecontroller.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

TEST(VirtualPad, ScriptLinesAreReadStrictly) {
    using Verb = VirtualPadCommand::Verb;
    struct Case {
        const char* line;
        Verb verb;
        int pad;
        int index;
        int value;
    };
    const std::vector<Case> cases{
        {"attach", Verb::kAttach, 0, 0, 0},
        {"detach 2", Verb::kDetach, 1, 0, 0},
        {"press 1 a", Verb::kPress, 0, SDL_CONTROLLER_BUTTON_A, 0},
        {"release 4 dpup", Verb::kRelease, 3, SDL_CONTROLLER_BUTTON_DPAD_UP, 0},
        {"axis 1 lefty -32768", Verb::kAxis, 0, SDL_CONTROLLER_AXIS_LEFTY, -32768},
        {"axis 2 righttrigger 32767", Verb::kAxis, 1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767},
    };
    for (const Case& c : cases) {
        const VirtualPadCommand command = ParseVirtualPadCommand(c.line);
        EXPECT_EQ(command.verb, c.verb) << c.line;
        EXPECT_EQ(command.pad, c.pad) << c.line;
        EXPECT_EQ(command.index, c.index) << c.line;
        EXPECT_EQ(command.value, c.value) << c.line;
    }
    for (const char* line :
         {"", "jump", "detach", "detach 0", "detach 5", "press 1", "press 1 z", "press x a", "press 1 a b",
          "axis 1 lefty", "axis 1 lefty 32768", "axis 1 lefty 99999999999999999999", "axis 1 sideways 0"})
        EXPECT_EQ(ParseVirtualPadCommand(line).verb, Verb::kInvalid) << line;
}

class ScriptFile : public testing::Test {
protected:
    void Append(const std::string& text) {
        std::ofstream out(dir.File("pad.txt"), std::ios::app | std::ios::binary);
        out << text;
    }
    std::vector<std::string> Lines(VirtualPadScript& script) {
        std::vector<std::string> lines;
        std::string line;
        while (script.NextLine(line)) lines.push_back(line);
        return lines;
    }

    TempDir dir;
};

TEST_F(ScriptFile, LinesAreTakenAsTheyAreAppendedAndOverlongOnesSkipped) {
    ReportCapture capture;
    Append("attach\npress 1 ");
    VirtualPadScript script(dir.File("pad.txt"));
    ASSERT_TRUE(script.IsOpen());
    EXPECT_EQ(Lines(script), std::vector<std::string>{"attach"}) << "half a line waits for its end";
    Append("a\n" + std::string(VirtualPadScript::kMaxLine + 1, 'x') + "\nrelease 1 a\n");
    EXPECT_EQ(Lines(script), (std::vector<std::string>{"press 1 a", "release 1 a"}));
    EXPECT_EQ(capture.Count("Virtual pad line too long; skipped"), 1);

    Append(std::string(10 * VirtualPadScript::kMaxLine, 'y'));
    EXPECT_TRUE(Lines(script).empty()) << "a line without end is not kept whole";
    Append("yyy\ndetach 1\n");
    EXPECT_EQ(Lines(script), std::vector<std::string>{"detach 1"});
    EXPECT_EQ(capture.Count("Virtual pad line too long; skipped"), 2);
}

TEST_F(ScriptFile, AMissingFileGivesNoLines) {
    VirtualPadScript script(dir.File("none.txt"));
    EXPECT_FALSE(script.IsOpen());
    std::string line;
    EXPECT_FALSE(script.NextLine(line));
}

}  // namespace
