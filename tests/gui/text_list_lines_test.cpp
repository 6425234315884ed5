#include "gui/text_list_lines.h"

#include <gtest/gtest.h>

namespace {

TEST(TextListLines, TheChosenRowStaysChosenWhenTheListIsFilledAgain) {
    TextList list;
    TextListLines lines(list);
    lines.AddLine("first: Crossroads");
    lines.AddLine("second: Crossroads");
    list.SetSelectedRow(1);
    lines.ClearLines();
    EXPECT_EQ(list.SelectedRow(), -1);
    lines.AddLine("first: Crossroads");
    EXPECT_EQ(list.SelectedRow(), -1);
    lines.AddLine("second: Crossroads");
    EXPECT_EQ(list.SelectedRow(), 1);
}

}  // namespace
