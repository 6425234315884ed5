#include "gui/text_list.h"

#include <gtest/gtest.h>

#include <string>

#include "widget_driving.h"

namespace {

class TextListLayout : public testing::Test {
protected:
    TextListLayout() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&list);
        Place(list, 10, 20, 200, 60);  // five 12-pixel rows, sixteen columns
        list.Resize();
    }

    void AddLines(int count) {
        for (int line = 0; line < count; ++line) list.AddText("line " + std::to_string(list.LineCount()));
    }

    Widget root;
    TextList list;
};

TEST_F(TextListLayout, TheViewUsesTwelvePixelCells) {
    EXPECT_EQ(list.View().CellSize(), 12);
    EXPECT_FLOAT_EQ(list.View().Scale(), 0.75f);
    EXPECT_EQ(list.View().VisibleRows(), 5);
}

TEST_F(TextListLayout, TheVerticalBarAppearsWhenTheLinesOutnumberTheRows) {
    AddLines(5);
    list.Tick();
    EXPECT_FALSE(list.VerticalBar().IsVisible()) << "five lines fit five rows";
    EXPECT_EQ(list.View().Width(), 200);
    AddLines(3);
    list.Tick();
    EXPECT_TRUE(list.VerticalBar().IsVisible());
    EXPECT_EQ(list.View().Width(), 184) << "the view narrows by the bar's width";
    EXPECT_EQ(list.VerticalBar().Absolute().x1, 10 + 184) << "the bar sits at the right edge";
    EXPECT_EQ(list.VerticalBar().Maximum(), 7) << "vertical range 0 .. line count - 1";
    EXPECT_FLOAT_EQ(list.VerticalBar().ThumbFraction(), 5.0f / 8.0f) << "rows / lines";
}

TEST_F(TextListLayout, VerticalScrollingCanBeForbiddenOrForced) {
    list.SetVerticalScrolling(false);
    AddLines(20);
    list.Tick();
    EXPECT_FALSE(list.VerticalBar().IsVisible()) << "without vertical scrolling there is no bar";
    TextList forced;
    forced.SetAlwaysShowVerticalBar(true);
    Place(forced, 0, 0, 200, 60);
    forced.Resize();
    EXPECT_TRUE(forced.VerticalBar().IsVisible()) << "always-show shows the bar for an empty list";
}

TEST_F(TextListLayout, TheHorizontalBarAppearsForLinesWiderThanTheView) {
    list.AddText(std::string(30, 'x'));
    list.Tick();
    EXPECT_TRUE(list.HorizontalBar().IsVisible());
    EXPECT_EQ(list.HorizontalBar().Absolute().y1, 20 + 60 - 16) << "the bar sits at the bottom";
    EXPECT_EQ(list.HorizontalBar().Maximum(), 29) << "horizontal range 0 .. longest - 1";
    EXPECT_FLOAT_EQ(list.HorizontalBar().ThumbFraction(), 15.0f / 30.0f) << "(columns - 1) / longest";
    list.SetHorizontalScrolling(false);
    list.Resize();
    EXPECT_FALSE(list.HorizontalBar().IsVisible());
}

TEST_F(TextListLayout, FollowTailAdvancesByTheNewLines) {
    list.SetFollowTail(true);
    AddLines(3);
    list.Tick();
    EXPECT_EQ(list.View().FirstVisibleRow(), 0) << "no scrolling while the lines fit";
    AddLines(7);
    list.Tick();
    EXPECT_EQ(list.View().FirstVisibleRow(), 7) << "ten lines: the value advances by the seven new ones";
    AddLines(1);
    list.Tick();
    EXPECT_EQ(list.View().FirstVisibleRow(), 8);
    const int newest = list.LineCount() - 1;
    EXPECT_LT(newest, list.View().FirstVisibleRow() + list.View().VisibleRows()) << "the newest line is in view";
}

TEST_F(TextListLayout, WithoutFollowTailTheViewStays) {
    AddLines(12);
    list.Tick();
    EXPECT_EQ(list.View().FirstVisibleRow(), 0);
}

TEST_F(TextListLayout, CursorKeysScrollByOneOnlyWhereTheListCanScroll) {
    AddLines(12);
    list.Tick();
    root.SetFocusChild(&list);
    EXPECT_EQ(PressOn(list, kKeyDown), KEY_CONSUMED);
    PressOn(list, kKeySpace);
    EXPECT_EQ(list.View().FirstVisibleRow(), 2) << "cursor down and Space scroll down by one";
    PressOn(list, kKeyUp);
    EXPECT_EQ(list.View().FirstVisibleRow(), 1);
    EXPECT_EQ(PressOn(list, kKeyRight), KEY_CONSUMED) << "consumed even when it cannot scroll";
    EXPECT_EQ(list.View().FirstVisibleColumn(), 0) << "no horizontal bar, no horizontal scrolling";
}

TEST_F(TextListLayout, AClickSelectsTheRowUnderTheMouseAndBelowTheLastLineTheLast) {
    list.SetRowsSelectable(true);
    AddLines(3);
    list.Tick();
    ClickAt(list.View(), 50, 20 + 13);
    EXPECT_EQ(list.SelectedRow(), 1) << "(mouse y - view top) / row height";
    ClickAt(list.View(), 50, 20 + 55);
    EXPECT_EQ(list.SelectedRow(), 2) << "a click below the last line selects the last line";
    EXPECT_EQ(list.View().SelectedRow(), 2);
}

TEST_F(TextListLayout, RowsAreNotSelectedUnlessSelectable) {
    AddLines(3);
    list.Tick();
    ClickAt(list.View(), 50, 20 + 13);
    EXPECT_EQ(list.SelectedRow(), -1);
}

}  // namespace
