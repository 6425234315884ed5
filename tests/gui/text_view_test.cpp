#include "gui/text_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widget_driving.h"

namespace {

using Lines = std::vector<std::string>;

TEST(TextViewAddText, LineFeedsSplitOneTrailingLineEndIsDroppedAndOddBytesBecomeSpaces) {
    TextView view;
    view.AddText("one\r\n");
    view.AddText("two\r\nthree\n\nfive\n\n");
    view.AddText(std::string("a\tb\x01y\xe9z"));
    EXPECT_EQ(LinesOf(view), (Lines{"one", "two", "three", "", "five", "", "a    b y z"}))
        << "one trailing line end goes; tabs are four spaces, other odd bytes one";
}

TEST(TextViewWrapping, LongLinesBreakAfterABreakCharacterOrHardAtTheWidth) {
    struct Case {
        const char* name;
        bool indent;
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"after the last break character", false, "hello world again", {"hello ", "world ", "again"}},
        {"no break character: a hard cut", false, "abcdefghijklmn", {"abcdefghij", "klmn"}},
        {"continuations indent by three",
         true,
         "abcdefghijklmnopqrstuvwxyz",
         {"abcdefghij", "   klmnopq", "   rstuvwx", "   yz"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextView view;
        view.SetWrap(true, 10);
        view.SetIndentContinuation(c.indent);
        view.AddText(c.text);
        EXPECT_EQ(LinesOf(view), c.lines);
    }
}

}  // namespace
