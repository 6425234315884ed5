#include "gui/screen.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class ScreenMessages : public testing::Test {
protected:
    ScreenMessages() {
        Mount(root, screen, 100, 100, 300, 200);
        screen.Resize();
        Reshow(screen);
    }

    Widget root;
    Screen screen;
};

TEST_F(ScreenMessages, TheButtonsArgumentShowsOkOrCancelOrNeither) {
    struct Case {
        int buttons;
        bool ok;
        bool cancel;
    };
    for (const Case& c :
         {Case{Screen::kShowOk, true, false}, Case{Screen::kShowCancel, false, true}, Case{0, false, false}}) {
        SCOPED_TRACE(c.buttons);
        screen.ShowMessage("Error", "No servers selected", c.buttons);
        MessageBox& box = screen.Message();
        EXPECT_TRUE(box.IsVisible());
        EXPECT_EQ(box.OkButton().IsVisible(), c.ok);
        EXPECT_EQ(box.CancelButton().IsVisible(), c.cancel);
        ASSERT_EQ(box.Text().LineCount(), 1) << "the old text is cleared";
        EXPECT_EQ(screen.FocusedChild(), &box) << "the shown box takes the screen's focus";
    }
}

TEST_F(ScreenMessages, AnAcceptedScreenStaysUntilItsMessageIsClosed) {
    screen.SetOwner(&root);
    screen.Accept();
    screen.ShowMessage("Error", "Error with loading level", Screen::kShowOk);
    root.Tick();
    EXPECT_TRUE(screen.IsVisible()) << "the screen does not tick while its message shows";
    Click(screen.Message().OkButton());
    EXPECT_FALSE(screen.Message().IsVisible());
    root.Tick();
    EXPECT_FALSE(screen.IsVisible());
}

}  // namespace
