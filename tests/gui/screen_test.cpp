#include "gui/screen.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

class CountingScreen : public Screen {
public:
    void OnTick() override { ++ticks; }
    int ticks = 0;
};

class ScreenLife : public testing::Test {
protected:
    ScreenLife() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&screen);
        Place(screen, 100, 100, 300, 200);
        screen.Resize();
        screen.SetVisible(false);
        screen.SetVisible(true);
    }

    void ClickOk() {
        Button& ok = screen.Message().OkButton();
        ClickAt(ok, (ok.Absolute().x1 + ok.Absolute().x2) / 2, (ok.Absolute().y1 + ok.Absolute().y2) / 2);
    }

    Widget root;
    CountingScreen screen;
};

TEST_F(ScreenLife, AScreenIsModalWithItsMessageBoxHidden) {
    EXPECT_TRUE(screen.IsModal());
    EXPECT_FALSE(screen.Message().IsVisible());
    EXPECT_EQ(root.FocusedChild(), &screen) << "a shown screen takes its parent's focus";
}

TEST_F(ScreenLife, ShowMessageWithOneShowsOnlyOk) {
    screen.ShowMessage("Error", "No servers selected", Screen::kShowOk);
    MessageBox& box = screen.Message();
    EXPECT_TRUE(box.IsVisible());
    EXPECT_TRUE(box.OkButton().IsVisible());
    EXPECT_FALSE(box.CancelButton().IsVisible());
    EXPECT_TRUE(box.ClosesOnSubmit());
    EXPECT_EQ(box.Caption().Text(), "Error");
    ASSERT_EQ(box.Text().LineCount(), 1) << "the old text is cleared";
    EXPECT_EQ(box.Text().View().Line(0), "No servers selected");
    EXPECT_EQ(screen.FocusedChild(), &box) << "the shown box takes the screen's focus";
}

TEST_F(ScreenLife, ShowMessageWithTwoShowsOnlyCancelAndOtherwiseNeither) {
    screen.ShowMessage("Note", "text", Screen::kShowCancel);
    EXPECT_FALSE(screen.Message().OkButton().IsVisible());
    EXPECT_TRUE(screen.Message().CancelButton().IsVisible());
    screen.ShowMessage("Note", "text", 0);
    EXPECT_FALSE(screen.Message().OkButton().IsVisible());
    EXPECT_FALSE(screen.Message().CancelButton().IsVisible());
}

TEST_F(ScreenLife, OkClosesTheMessageAndTheNextMessageStartsFresh) {
    screen.ShowMessage("Error", "first", Screen::kShowOk);
    ClickOk();
    EXPECT_FALSE(screen.Message().IsVisible()) << "the message box closes on submit";
    EXPECT_FALSE(screen.Message().IsEnabled());
    screen.ShowMessage("Error", "second", Screen::kShowOk);
    EXPECT_TRUE(screen.Message().IsEnabled()) << "a new message enables the box again";
    EXPECT_FALSE(screen.Message().OkButton().Clicked()) << "and resets the old click";
    EXPECT_TRUE(screen.Message().IsVisible());
}

TEST_F(ScreenLife, ATickDoesNothingWithoutAnOwnerOrWhileAMessageIsShown) {
    screen.Accept();
    root.Tick();
    EXPECT_EQ(screen.ticks, 0) << "no owner, no tick";
    EXPECT_TRUE(screen.IsVisible());
    screen.SetOwner(&root);
    screen.ShowMessage("Error", "wait", Screen::kShowOk);
    root.Tick();
    EXPECT_EQ(screen.ticks, 0) << "no tick while the message box is up";
    EXPECT_TRUE(screen.IsVisible());
}

TEST_F(ScreenLife, AnAcceptedScreenHidesOnItsNextTick) {
    screen.SetOwner(&root);
    root.Tick();
    EXPECT_EQ(screen.ticks, 1);
    screen.Accept();
    screen.SetEnabled(false);
    root.Tick();
    EXPECT_FALSE(screen.IsVisible());
    EXPECT_TRUE(screen.IsAccepted()) << "the owner reads the flag afterwards";
    EXPECT_TRUE(screen.IsEnabled()) << "the clicks were reset, which enables the screen again";
}

TEST_F(ScreenLife, ACloseRequestEndsTheScreenAsCancelled) {
    screen.SetOwner(&root);
    screen.RequestClose();
    root.Tick();
    EXPECT_FALSE(screen.IsVisible());
    EXPECT_TRUE(screen.IsCancelled());
    EXPECT_FALSE(screen.IsAccepted());
}

TEST_F(ScreenLife, ShowingAScreenClearsItsRequests) {
    screen.SetOwner(&root);
    screen.Cancel();
    root.Tick();
    ASSERT_TRUE(screen.IsCancelled());
    screen.SetVisible(true);
    EXPECT_FALSE(screen.IsCancelled());
    EXPECT_FALSE(screen.IsAccepted());
    root.Tick();
    EXPECT_TRUE(screen.IsVisible()) << "a reopened screen stays open";
}

}  // namespace
