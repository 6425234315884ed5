#include "gui/focus_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/button.h"
#include "gui/dialog.h"
#include "widget_driving.h"

namespace {

// A dialog whose buttons were added out of reading order, with OK and Cancel in the
// bar below them.
class FocusWalk : public testing::Test {
protected:
    FocusWalk() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&dialog);
        Place(dialog, 100, 100, 300, 200);
        for (Button* button : {&lower, &upperLeft, &upperRight, &hidden, &disabled}) dialog.AddClientChild(button);
        Place(lower, 10, 60, 80, 20);
        Place(upperRight, 120, 10, 80, 20);
        Place(upperLeft, 10, 10, 80, 20);
        Place(hidden, 10, 90, 80, 20);
        Place(disabled, 120, 60, 80, 20);
        hidden.SetVisible(false);
        disabled.SetEnabled(false);
        dialog.Resize();
        root.SetFocusChild(&dialog);
    }

    // The caption of the button at the end of the focus chain from the root.
    std::string Focused() {
        Widget* leaf = &root;
        while (leaf->FocusedChild() != nullptr) leaf = leaf->FocusedChild();
        Button* button = dynamic_cast<Button*>(leaf);
        return button != nullptr ? button->Caption().Text() : "none";
    }

    Widget root;
    Dialog dialog;
    Button lower{"lower"};
    Button upperLeft{"upper left"};
    Button upperRight{"upper right"};
    Button hidden{"hidden"};
    Button disabled{"disabled"};
};

TEST_F(FocusWalk, StepsGoThroughTheAvailableButtonsInReadingOrderAndWrapRound) {
    const std::vector<std::pair<int, std::string>> steps{
        {1, "upper left"}, {1, "upper right"}, {1, "lower"},   {1, "Cancel"}, {1, "OK"},
        {1, "upper left"}, {-1, "OK"},         {-1, "Cancel"}, {-1, "lower"},
    };
    for (const auto& [step, expected] : steps) {
        EXPECT_TRUE(MoveFocus(root, step));
        EXPECT_EQ(Focused(), expected) << "step " << step;
    }
}

TEST_F(FocusWalk, WithNothingFocusedUpGoesToTheLastButtonAndEnterClicksIt) {
    ASSERT_TRUE(MoveFocus(root, -1));
    EXPECT_EQ(Focused(), "OK");
    EXPECT_EQ(dialog.Buttons().HoveredChild(), &dialog.OkButton()) << "the focused button is drawn highlighted";
    PressOn(root, kKeyEnter);
    ReleaseOn(root, kKeyEnter);
    EXPECT_TRUE(dialog.OkButton().Clicked());
}

TEST_F(FocusWalk, AModalWidgetUpTakesTheWalkToItsOwnButtons) {
    Dialog inner;
    inner.SetModal(true);
    dialog.AddChild(&inner);
    Place(inner, 20, 20, 240, 100);
    inner.Resize();
    inner.SetVisible(false);
    ASSERT_TRUE(MoveFocus(root, 1));
    EXPECT_EQ(Focused(), "upper left") << "a hidden dialog inside is no part of the walk";

    inner.SetVisible(true);
    dialog.SetFocusChild(&inner);
    ASSERT_TRUE(MoveFocus(root, 1));
    EXPECT_EQ(inner.Buttons().FocusedChild(), &inner.CancelButton());
    ASSERT_TRUE(MoveFocus(root, 1));
    EXPECT_EQ(inner.Buttons().FocusedChild(), &inner.OkButton());
    EXPECT_EQ(dialog.FocusedChild(), &inner) << "the outer dialog's buttons are out of reach";
}

TEST(FocusWalkWithoutButtons, NothingToGoToIsFalse) {
    Widget root;
    Widget panel;
    Place(root, 0, 0, 640, 480);
    root.AddChild(&panel);
    root.SetFocusChild(&panel);
    EXPECT_FALSE(MoveFocus(root, 1));
}

}  // namespace
