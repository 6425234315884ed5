#include "gui/focus_walk.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "gui/button.h"
#include "gui/dialog.h"
#include "gui/scroll_bar.h"
#include "gui/text_list.h"
#include "widget_driving.h"

namespace {

// A dialog whose buttons were added out of reading order, with OK and Cancel in the bar
// below them; a list of four rows, two in view, between the upper buttons and "lower",
// and a slider below "lower".
TEST(FocusWalk, ArrowsChooseRowsAndMoveSlidersBeforeTheyWalkOn) {
    Widget root;
    Dialog dialog;
    Button lower, upperLeft, upperRight, hidden, disabled;
    TextList list;
    ScrollBar slider;
    Mount(root, dialog, 100, 100, 300, 200);
    for (Widget* child :
         std::initializer_list<Widget*>{&lower, &upperLeft, &upperRight, &hidden, &disabled, &list, &slider})
        dialog.AddClientChild(child);
    Place(lower, 10, 60, 80, 20);
    Place(upperRight, 120, 10, 80, 20);
    Place(upperLeft, 10, 10, 80, 20);
    Place(hidden, 10, 90, 80, 20);
    Place(disabled, 120, 60, 80, 20);
    Place(list, 10, 35, 200, 24);
    Place(slider, 10, 85, 150, 16);
    hidden.SetVisible(false);
    disabled.SetEnabled(false);
    root.SetFocusChild(&dialog);
    auto focusedLeaf = [&root] {
        Widget* leaf = &root;
        while (leaf->FocusedChild() != nullptr) leaf = leaf->FocusedChild();
        return leaf;
    };
    list.SetRowsSelectable(true);
    list.SetHorizontalScrolling(false);
    for (const char* row : {"canyon", "crossroads", "foundry", "twin orbit"}) list.AddText(row);
    slider.SetRange(0, 100);
    slider.SetValue(50);
    slider.SetArrowStep(5);
    dialog.Resize();
    list.Tick();

    struct Step {
        int arrow;
        Widget* focused;
        int row;
        int firstVisibleRow;
        int sliderValue;
    };
    Widget* const upper = &upperRight;
    const std::vector<Step> steps{
        {kKeyRight, upper, -1, 0, 50},  // a step to the right walks between buttons
        {kKeyDown, &list, -1, 0, 50},   // onto the list, nothing chosen yet
        {kKeyDown, &list, 0, 0, 50},
        {kKeyDown, &list, 1, 0, 50},
        {kKeyDown, &list, 2, 1, 50},  // the chosen row is scrolled into view
        {kKeyDown, &list, 3, 2, 50},
        {kKeyDown, &lower, 3, 2, 50},  // past the last row the walk goes on
        {kKeyUp, &list, 3, 2, 50},
        {kKeyUp, &list, 2, 2, 50},
        {kKeyLeft, upper, 2, 2, 50},  // sideways the list lets the walk go
        {kKeyRight, &list, 2, 2, 50},
        {kKeyRight, &lower, 2, 2, 50},
        {kKeyRight, &slider, 2, 2, 50},
        {kKeyRight, &slider, 2, 2, 55},
        {kKeyLeft, &slider, 2, 2, 50},
        {kKeyDown, &dialog.CancelButton(), 2, 2, 50},  // hidden and disabled buttons are skipped
        {kKeyRight, &dialog.OkButton(), 2, 2, 50},
        {kKeyRight, &upperLeft, 2, 2, 50},  // the walk wraps round both ways
        {kKeyLeft, &dialog.OkButton(), 2, 2, 50},
    };
    MoveFocus(root, 1);
    for (size_t i = 0; i < steps.size(); ++i) {
        WalkByArrow(root, steps[i].arrow);
        EXPECT_EQ(focusedLeaf(), steps[i].focused) << "step " << i;
        EXPECT_EQ(list.SelectedRow(), steps[i].row) << "step " << i;
        EXPECT_EQ(list.View().FirstVisibleRow(), steps[i].firstVisibleRow) << "step " << i;
        EXPECT_EQ(slider.Value(), steps[i].sliderValue) << "step " << i;
    }

    slider.SetValue(100);
    for (const int step : {-1, -1}) MoveFocus(root, step);
    ASSERT_EQ(focusedLeaf(), &slider);
    WalkByArrow(root, kKeyRight);
    EXPECT_EQ(focusedLeaf(), &slider) << "a slider at its end keeps the focus";
    EXPECT_EQ(slider.Value(), 100);
}

TEST(FocusWalkWithoutButtons, NothingToGoToIsFalse) {
    Widget root;
    Widget panel;
    Mount(root, panel, 0, 0, 100, 100);
    root.SetFocusChild(&panel);
    EXPECT_FALSE(MoveFocus(root, 1));
}

}  // namespace
