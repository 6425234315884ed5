#include "gui/dialog.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class CountingDialog : public Dialog {
public:
    void Apply() override { ++applied; }
    int applied = 0;
};

class DialogInput : public testing::Test {
protected:
    DialogInput() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&dialog);
        Place(dialog, 100, 100, 300, 200);
        dialog.Resize();
        root.SetFocusChild(&dialog);
        root.SetHoverChild(&dialog);
    }

    // The centre of a widget, in window pixels.
    static std::pair<int, int> Centre(Widget& widget) {
        return {(widget.Absolute().x1 + widget.Absolute().x2) / 2, (widget.Absolute().y1 + widget.Absolute().y2) / 2};
    }
    void Click(Widget& widget) { ClickAt(widget, Centre(widget).first, Centre(widget).second); }

    Widget root;
    CountingDialog dialog;
};

TEST_F(DialogInput, TheCaptionSitsOnTopTheButtonsAtTheBottomAndTheClientBetween) {
    EXPECT_EQ(dialog.Caption().Text(), "Dialog");
    EXPECT_EQ(dialog.Caption().Absolute().y1, 100);
    EXPECT_EQ(dialog.Caption().Width(), 300);
    EXPECT_EQ(dialog.Buttons().Height(), 40) << "the button bar is at least 40 high";
    EXPECT_EQ(dialog.Buttons().Absolute().y2, 300);
    EXPECT_EQ(dialog.ClientPanel().Absolute().y1, 116) << "the client panel starts below the caption";
    EXPECT_EQ(dialog.ClientPanel().Absolute().y2, 260) << "and ends at the button bar";
}

TEST_F(DialogInput, TheBorderInsetsTheLayout) {
    dialog.SetBorderWidth(4);
    dialog.Resize();
    EXPECT_EQ(dialog.Caption().Absolute().x1, 104);
    EXPECT_EQ(dialog.Caption().Width(), 292);
    EXPECT_EQ(dialog.Buttons().Absolute().y2, 296);
}

TEST_F(DialogInput, TheButtonBarHoldsCancelThenOkAgainstTheRightEdge) {
    EXPECT_EQ(dialog.Buttons().FirstChild(), &dialog.CancelButton());
    EXPECT_EQ(dialog.Buttons().NextChild(&dialog.CancelButton()), &dialog.OkButton());
    EXPECT_LT(dialog.CancelButton().Absolute().x2, dialog.OkButton().Absolute().x1);
    EXPECT_LE(dialog.OkButton().Absolute().x2, 400);
    EXPECT_GE(dialog.OkButton().Absolute().y1, dialog.Buttons().Absolute().y1);
}

TEST_F(DialogInput, TheMinimumSizeIs240By50) {
    Dialog small;
    small.SetSize(10, 10);
    EXPECT_EQ(small.Width(), 240);
    EXPECT_EQ(small.Height(), 50);
}

TEST_F(DialogInput, ClickingOkSubmits) {
    Click(dialog.OkButton());
    EXPECT_TRUE(dialog.OkButton().Clicked());
    EXPECT_EQ(dialog.applied, 1);
    EXPECT_TRUE(dialog.IsVisible()) << "without close-on-submit the dialog stays";
    EXPECT_TRUE(dialog.IsEnabled());
}

TEST_F(DialogInput, CloseOnSubmitDisablesAppliesAndHides) {
    dialog.SetCloseOnSubmit(true);
    Click(dialog.CancelButton());
    EXPECT_EQ(dialog.applied, 1);
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_FALSE(dialog.IsEnabled());
    EXPECT_EQ(root.FocusedChild(), nullptr) << "a hidden dialog gives up its parent's focus";
    dialog.ResetClicks();
    EXPECT_TRUE(dialog.IsEnabled()) << "ResetClicks enables the dialog again";
    EXPECT_FALSE(dialog.CancelButton().Clicked());
}

TEST_F(DialogInput, EscapeIsACancelClick) {
    dialog.SetCloseOnSubmit(true);
    EXPECT_EQ(ReleaseOn(dialog, kKeyEscape), KEY_CONSUMED);
    EXPECT_TRUE(dialog.CancelButton().Clicked());
    EXPECT_FALSE(dialog.OkButton().Clicked());
    EXPECT_EQ(dialog.applied, 1);
    EXPECT_FALSE(dialog.IsVisible());
}

TEST_F(DialogInput, EnterOnTheFocusedOkButtonSubmits) {
    Click(dialog.OkButton());
    dialog.ResetClicks();
    dialog.applied = 0;
    PressOn(dialog, kKeyEnter);
    ReleaseOn(dialog, kKeyEnter);
    EXPECT_TRUE(dialog.OkButton().Clicked()) << "Enter goes down the focus chain to the OK button";
    EXPECT_EQ(dialog.applied, 1);
}

TEST_F(DialogInput, TabMovesTheHoverToTheNextAvailableChildAndWraps) {
    EXPECT_EQ(PressOn(dialog, kKeyTab), KEY_CONSUMED);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.Buttons()) << "with nothing focused the first available child";
    dialog.SetFocusChild(&dialog.Buttons());
    PressOn(dialog, kKeyTab);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.ClientPanel()) << "the caption is skipped: it takes no focus";
    dialog.SetFocusChild(&dialog.ClientPanel());
    PressOn(dialog, kKeyTab);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.Buttons()) << "after the last child Tab wraps to the start";
}

TEST_F(DialogInput, TabKeepsAPressedFocusedChild) {
    dialog.SetFocusChild(&dialog.ClientPanel());
    dialog.ClientPanel().SetPressed(true);
    PressOn(dialog, kKeyTab);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.ClientPanel());
}

TEST_F(DialogInput, ShowingADialogRaisesHoversAndFocusesIt) {
    Panel other;
    root.AddChild(&other);
    dialog.SetVisible(false);
    root.SetFocusChild(&other);
    dialog.SetFocusChild(&dialog.ClientPanel());
    dialog.SetVisible(true);
    EXPECT_EQ(root.FocusedChild(), &dialog);
    EXPECT_EQ(root.HoveredChild(), &dialog);
    EXPECT_EQ(dialog.FocusedChild(), nullptr) << "its own focus starts afresh";
}

}  // namespace
