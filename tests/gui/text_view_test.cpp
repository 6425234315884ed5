#include "gui/text_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widget_driving.h"

namespace {

std::vector<std::string> LinesOf(const TextView& view) {
    std::vector<std::string> lines;
    for (int row = 0; row < view.LineCount(); ++row) lines.push_back(view.Line(row));
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TextViewAddText, TheEmptyStringAddsOneEmptyLine) {
    TextView view;
    view.AddText("");
    EXPECT_EQ(LinesOf(view), Lines{""});
}

TEST(TextViewAddText, OneTrailingLineEndIsDroppedAndLineFeedsSplit) {
    TextView view;
    view.AddText("one\r\n");
    EXPECT_EQ(LinesOf(view), Lines{"one"}) << "one trailing line feed, then one carriage return, go";
    view.AddText("two\r\nthree\n\nfive");
    EXPECT_EQ(LinesOf(view), (Lines{"one", "two", "three", "", "five"}))
        << "every piece between line feeds is a line, empty ones too";
    view.AddText("six\n\n");
    EXPECT_EQ(view.Line(5), "six");
    EXPECT_EQ(view.Line(6), "") << "only one trailing line feed is dropped";
    EXPECT_EQ(view.LineCount(), 7);
}

TEST(TextViewAddText, TabsBecomeFourSpacesAndOtherOddBytesOneSpace) {
    TextView view;
    view.AddText("a\tb\n");
    EXPECT_EQ(LinesOf(view), Lines{"a    b"});
    view.AddText(std::string("x\x01y\xe9z"));
    EXPECT_EQ(view.Line(1), "x y z") << "control bytes and bytes above 127 are spaces";
}

TEST(TextViewAddText, TheLongestLineIsTracked) {
    TextView view;
    view.AddText("abc\nabcdefg\nab");
    EXPECT_EQ(view.LongestLine(), 7);
    view.Clear();
    EXPECT_EQ(view.LineCount(), 0);
    EXPECT_EQ(view.LongestLine(), 0);
    EXPECT_EQ(view.Line(3), "") << "rows that do not exist read as empty";
}

TEST(TextViewWrapping, WithoutWrappingALongTextStaysOneLine) {
    TextView view;
    view.SetWrap(false, 10);
    view.AddText("hello world again");
    EXPECT_EQ(view.LineCount(), 1);
    view.SetWrap(true, 0);
    view.AddText("hello world again");
    EXPECT_EQ(view.LineCount(), 2) << "a wrap width of 0 does not wrap";
}

TEST(TextViewWrapping, LinesBreakJustAfterTheLastBreakCharacterWithinTheWidth) {
    TextView view;
    view.SetWrap(true, 10);
    view.AddText("hello world again");
    EXPECT_EQ(LinesOf(view), (Lines{"hello ", "world ", "again"}));
}

TEST(TextViewWrapping, IndentContinuationPrefixesThreeSpacesAndNarrowsTheLimit) {
    TextView view;
    view.SetWrap(true, 10);
    view.SetIndentContinuation(true);
    view.AddText("hello world again");
    EXPECT_EQ(LinesOf(view), (Lines{"hello ", "   world ", "   again"}));
    view.Clear();
    view.AddText("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(LinesOf(view), (Lines{"abcdefghij", "   klmnopq", "   rstuvwx", "   yz"}))
        << "continuation lines hold at most 7 characters of text";
}

TEST(TextViewWrapping, WithoutABreakCharacterTheLineIsCutHard) {
    TextView view;
    view.SetWrap(true, 10);
    view.AddText("abcdefghijklmn");
    EXPECT_EQ(LinesOf(view), (Lines{"abcdefghij", "klmn"}));
    view.Clear();
    view.AddText("path/to/some/file.txt");
    EXPECT_EQ(LinesOf(view), (Lines{"path/to/", "some/file.", "txt"})) << "punctuation breaks too";
}

TEST(TextViewGrid, VisibleRowsAndColumnsAreWholeCells) {
    TextView view;
    view.SetCellSize(12);
    Place(view, 0, 0, 100, 50);
    EXPECT_FLOAT_EQ(view.Scale(), 0.75f);
    EXPECT_EQ(view.VisibleColumns(), 8);
    EXPECT_EQ(view.VisibleRows(), 4);
}

}  // namespace
