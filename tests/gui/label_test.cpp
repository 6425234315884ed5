#include "gui/label.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

TEST(LabelLayout, StartsAsOneCellHighUnfocusableLabel) {
    Label label;
    EXPECT_EQ(label.Text(), "Label");
    EXPECT_EQ(label.Height(), 16) << "height is one cell plus the borders";
    EXPECT_FALSE(label.IsFocusable()) << "labels never take focus";
    EXPECT_FLOAT_EQ(label.Scale(), 1.0f);
}

TEST(LabelLayout, AlignmentOffsetsFollowTheRectangle) {
    Label label("abcd");  // 4 characters of 16 pixels: 64 wide
    Place(label, 0, 0, 100, 40);
    EXPECT_EQ(label.TextOffsetX(), 18) << "centre: half the spare width";
    EXPECT_EQ(label.TextOffsetY(), 12) << "middle: half the spare height";
    label.SetAlignment(Label::kAlignRight, Label::kAlignBottom);
    EXPECT_EQ(label.TextOffsetX(), 36) << "right: all the spare width";
    EXPECT_EQ(label.TextOffsetY(), 24) << "bottom: height minus one cell";
    label.SetAlignment(Label::kAlignLeft, Label::kAlignTop);
    EXPECT_EQ(label.TextOffsetX(), 0);
    EXPECT_EQ(label.TextOffsetY(), 0);
}

TEST(LabelLayout, TextThatDoesNotFitIsCutWithoutEllipsisFromTheLeftEdge) {
    Label label("abcdefghij");  // 160 pixels
    Place(label, 0, 0, 100, 16);
    EXPECT_EQ(label.VisibleCharacters(), 6) << "100 / 16 whole cells are shown";
    EXPECT_EQ(label.TextOffsetX(), 0) << "centred text that does not fit starts at the left";
    label.SetAlignment(Label::kAlignRight, Label::kAlignMiddle);
    EXPECT_EQ(label.TextOffsetX(), 0) << "right-aligned text that does not fit starts at the left";
    label.SetText("abc");
    EXPECT_EQ(label.VisibleCharacters(), 3) << "a text change lays the label out again";
}

TEST(LabelLayout, TheBorderInsetsTheTextRectangleAndCellSizeScales) {
    Label label("ab");
    label.SetBorderWidth(2);
    label.SetCellSize(8);
    Place(label, 10, 20, 40, 20);
    EXPECT_FLOAT_EQ(label.Scale(), 0.5f) << "scale is cell size / 16";
    EXPECT_EQ(label.TextRect().x1, 12);
    EXPECT_EQ(label.TextRect().width, 36);
    EXPECT_EQ(label.TextOffsetX(), 10) << "(36 - 2 * 8) / 2";
    EXPECT_EQ(label.TextOffsetY(), 4) << "(16 - 8) / 2";
}

}  // namespace
