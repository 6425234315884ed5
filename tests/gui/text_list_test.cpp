#include "gui/text_list.h"

#include <gtest/gtest.h>

#include <string>

#include "widget_driving.h"

namespace {

TEST(TextListLayout, FollowTailKeepsTheNewestLineInViewAndWithoutItTheViewStays) {
    TextList list;
    Place(list, 10, 20, 200, 60);  // five 12-pixel rows, sixteen columns
    list.Resize();
    auto addLines = [&list](int count) {
        for (int line = 0; line < count; ++line) list.AddText("line " + std::to_string(list.LineCount()));
        list.Tick();
    };
    list.SetFollowTail(true);
    addLines(3);
    EXPECT_EQ(list.View().FirstVisibleRow(), 0) << "no scrolling while the lines fit";
    addLines(7);
    EXPECT_EQ(list.View().FirstVisibleRow(), 7) << "ten lines: the value advances by the seven new ones";
    list.SetFollowTail(false);
    addLines(4);
    EXPECT_EQ(list.View().FirstVisibleRow(), 7) << "without follow-tail the view stays";
}

}  // namespace
