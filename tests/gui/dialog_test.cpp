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

    Widget root;
    CountingDialog dialog;
};

TEST_F(DialogInput, OkClickAndEnterOnTheFocusedOkSubmitWithoutClosing) {
    Click(dialog.OkButton());
    EXPECT_TRUE(dialog.OkButton().Clicked());
    EXPECT_EQ(dialog.applied, 1);
    EXPECT_TRUE(dialog.IsVisible()) << "without close-on-submit the dialog stays";
    dialog.ResetClicks();
    PressOn(dialog, kKeyEnter);
    ReleaseOn(dialog, kKeyEnter);
    EXPECT_TRUE(dialog.OkButton().Clicked()) << "Enter goes down the focus chain to the OK button";
    EXPECT_EQ(dialog.applied, 2);
}

TEST_F(DialogInput, CancelAndEscapeWithCloseOnSubmitApplyAndHide) {
    dialog.SetCloseOnSubmit(true);
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel click");
        dialog.ResetClicks();
        EXPECT_TRUE(dialog.IsEnabled()) << "ResetClicks enables the dialog again";
        dialog.SetVisible(true);
        if (escape) {
            EXPECT_EQ(ReleaseOn(dialog, kKeyEscape), KEY_CONSUMED);
        } else {
            Click(dialog.CancelButton());
        }
        EXPECT_TRUE(dialog.CancelButton().Clicked());
        EXPECT_FALSE(dialog.OkButton().Clicked());
        EXPECT_FALSE(dialog.IsVisible());
        EXPECT_FALSE(dialog.IsEnabled());
        EXPECT_EQ(root.FocusedChild(), nullptr) << "a hidden dialog gives up its parent's focus";
    }
    EXPECT_EQ(dialog.applied, 2);
}

TEST_F(DialogInput, TabMovesTheHoverToTheNextAvailableChildAndWrapsButKeepsAPressedOne) {
    EXPECT_EQ(PressOn(dialog, kKeyTab), KEY_CONSUMED);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.Buttons()) << "with nothing focused the first available child";
    dialog.SetFocusChild(&dialog.Buttons());
    PressOn(dialog, kKeyTab);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.ClientPanel()) << "the caption is skipped: it takes no focus";
    dialog.SetFocusChild(&dialog.ClientPanel());
    PressOn(dialog, kKeyTab);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.Buttons()) << "after the last child Tab wraps to the start";
    dialog.SetFocusChild(&dialog.ClientPanel());
    dialog.ClientPanel().SetPressed(true);
    PressOn(dialog, kKeyTab);
    EXPECT_EQ(dialog.HoveredChild(), &dialog.ClientPanel()) << "a pressed focused child keeps the hover";
}

}  // namespace
