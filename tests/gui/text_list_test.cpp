#include "gui/text_list.h"

#include <gtest/gtest.h>

#include <string>

#include "widget_driving.h"

namespace {

class TextListLayout : public testing::Test {
protected:
    TextListLayout() {
        Place(list, 10, 20, 200, 60);  // five 12-pixel rows, sixteen columns
        list.Resize();
    }

    void AddLines(int count) {
        for (int line = 0; line < count; ++line) list.AddText("line " + std::to_string(list.LineCount()));
        list.Tick();
    }

    TextList list;
};

TEST_F(TextListLayout, FollowTailKeepsTheNewestLineInViewAndWithoutItTheViewStays) {
    list.SetFollowTail(true);
    AddLines(3);
    EXPECT_EQ(list.View().FirstVisibleRow(), 0) << "no scrolling while the lines fit";
    AddLines(7);
    EXPECT_EQ(list.View().FirstVisibleRow(), 7) << "ten lines: the value advances by the seven new ones";
    list.SetFollowTail(false);
    AddLines(4);
    EXPECT_EQ(list.View().FirstVisibleRow(), 7) << "without follow-tail the view stays";
}

}  // namespace
