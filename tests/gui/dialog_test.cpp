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
        Mount(root, dialog, 100, 100, 300, 200);
        dialog.Resize();
        root.SetFocusChild(&dialog);
        root.SetHoverChild(&dialog);
    }

    Widget root;
    CountingDialog dialog;
};

TEST_F(DialogInput, OkClickAndEnterOnTheFocusedOkSubmitWithoutClosing) {
    Click(dialog.OkButton());
    EXPECT_EQ(dialog.applied, 1);
    EXPECT_TRUE(dialog.IsVisible()) << "without close-on-submit the dialog stays";
    dialog.ResetClicks();
    Type(dialog, kKeyEnter);
    EXPECT_EQ(dialog.applied, 2) << "Enter goes down the focus chain to the OK button";
}

TEST_F(DialogInput, CancelAndEscapeWithCloseOnSubmitApplyAndHide) {
    dialog.SetCloseOnSubmit(true);
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel click");
        dialog.ResetClicks();
        dialog.SetVisible(true);
        if (escape) {
            EXPECT_EQ(ReleaseOn(dialog, kKeyEscape), KEY_CONSUMED);
        } else {
            Click(dialog.CancelButton());
        }
        EXPECT_TRUE(dialog.CancelButton().Clicked());
        EXPECT_FALSE(dialog.IsVisible());
        EXPECT_EQ(root.FocusedChild(), nullptr) << "a hidden dialog gives up its parent's focus";
    }
    EXPECT_EQ(dialog.applied, 2);
}

}  // namespace
