#include "gui/message_box.h"

#include <gtest/gtest.h>

#include "widget_driving.h"

namespace {

TEST(MessageBoxLayout, StartsWithItsDefaultCaptionAndText) {
    MessageBox box;
    EXPECT_EQ(box.Caption().Text(), "No information");
    ASSERT_EQ(box.Text().LineCount(), 1);
    EXPECT_EQ(box.Text().View().Line(0), "Nothing");
}

TEST(MessageBoxLayout, CentresItselfInItsParentAndTheListInItsClientPanel) {
    Widget root;
    Place(root, 0, 0, 640, 480);
    MessageBox box;
    root.AddChild(&box);
    box.Resize();
    EXPECT_EQ(box.X(), (640 - box.Width()) / 2);
    EXPECT_EQ(box.Y(), (480 - box.Height()) / 2);
    const Widget::AbsoluteRect& client = box.ClientPanel().Absolute();
    EXPECT_EQ(box.Text().Absolute().x1, client.x1) << "the list fills the client panel";
    EXPECT_EQ(box.Text().Width(), client.width);
    EXPECT_EQ(box.Text().Height(), client.height);
}

TEST(MessageBoxLayout, AListWithALargerMinimumIsCentredOverThePanel) {
    MessageBox box;
    box.Text().SetMinSize(400, 20);
    box.Resize();
    const Widget::AbsoluteRect& client = box.ClientPanel().Absolute();
    EXPECT_EQ(box.Text().Width(), 400) << "the list is at least its minimum size";
    EXPECT_EQ(box.Text().Absolute().x1, client.x1 + (client.width - 400) / 2);
}

TEST(MessageBoxLayout, LongMessagesWrapAtTheListsWidth) {
    MessageBox box;
    box.Text().Clear();
    box.Text().AddText(std::string(100, 'x'));
    EXPECT_GT(box.Text().LineCount(), 1);
    EXPECT_EQ(box.Text().View().Line(0).size(), static_cast<size_t>(box.Text().View().WrapWidth()));
}

}  // namespace
