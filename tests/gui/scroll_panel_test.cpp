#include "gui/scroll_panel.h"

#include <gtest/gtest.h>

#include "gui/clip.h"
#include "widget_driving.h"

namespace {

class ScrollPanelContent : public testing::Test {
protected:
    ScrollPanelContent() {
        panel.AddChild(&top);
        panel.AddChild(&bottom);
        Place(panel, 0, 0, 200, 100);
        Place(top, 10, 10, 50, 20);
        Place(bottom, 10, 60, 50, 20);
    }

    ScrollPanel panel;
    Panel top;
    Panel bottom;
};

TEST_F(ScrollPanelContent, ChildIterationSkipsTheBars) {
    EXPECT_EQ(panel.FirstChild(), &top);
    EXPECT_EQ(panel.NextChild(&top), &bottom);
    EXPECT_EQ(panel.NextChild(&bottom), nullptr);
    EXPECT_EQ(panel.LastChild(), &bottom);
    EXPECT_EQ(panel.PrevChild(&bottom), &top);
    EXPECT_EQ(panel.PrevChild(&top), nullptr);
    ScrollPanel empty;
    EXPECT_EQ(empty.FirstChild(), nullptr) << "a panel holding only its bars has no children to iterate";
    EXPECT_EQ(empty.LastChild(), nullptr);
}

TEST_F(ScrollPanelContent, ContentThatFitsNeedsNoBarsAndNoClip) {
    panel.Resize();
    EXPECT_FALSE(panel.VerticalBar().IsVisible());
    EXPECT_FALSE(panel.HorizontalBar().IsVisible());
    EXPECT_FALSE(panel.Clips());
    EXPECT_EQ(panel.ViewWidth(), 200);
    EXPECT_EQ(panel.ViewHeight(), 100);
}

TEST_F(ScrollPanelContent, TallContentShowsTheVerticalBarAndClips) {
    Place(bottom, 10, 150, 50, 20);  // content reaches down to 170
    panel.Resize();
    EXPECT_TRUE(panel.VerticalBar().IsVisible());
    EXPECT_FALSE(panel.HorizontalBar().IsVisible());
    EXPECT_TRUE(panel.Clips());
    EXPECT_EQ(panel.ViewWidth(), 184) << "the view narrows by the bar's thickness";
    EXPECT_EQ(panel.VerticalBar().Maximum(), 70) << "content height - view height";
    EXPECT_FLOAT_EQ(panel.VerticalBar().ThumbFraction(), 100.0f / 170.0f);
}

TEST_F(ScrollPanelContent, MovingABarMovesEveryChildButTheBars) {
    Place(bottom, 10, 150, 50, 20);
    panel.Resize();
    panel.VerticalBar().SetValue(30);
    KeyEvent release{kMouseLeft};
    panel.KeyUp(&release);
    EXPECT_EQ(top.Y(), -20);
    EXPECT_EQ(bottom.Y(), 120);
    EXPECT_EQ(panel.OffsetY(), 30);
    EXPECT_EQ(panel.VerticalBar().Y(), 0) << "the bar itself stays put";
    panel.VerticalBar().SetEnabled(false);
    panel.Resize();
    EXPECT_FALSE(panel.VerticalBar().IsVisible());
    EXPECT_EQ(panel.VerticalBar().Value(), 0) << "a hidden bar goes back to the start";
    EXPECT_EQ(top.Y(), 10) << "and the content with it";
}

TEST_F(ScrollPanelContent, WideContentShowsTheHorizontalBarUnlessItIsDisabled) {
    Place(bottom, 180, 60, 50, 20);  // reaches right to 230
    panel.Resize();
    EXPECT_TRUE(panel.HorizontalBar().IsVisible());
    EXPECT_EQ(panel.ViewHeight(), 84);
    EXPECT_EQ(panel.HorizontalBar().Maximum(), 30);
    panel.HorizontalBar().SetEnabled(false);
    panel.Resize();
    EXPECT_FALSE(panel.HorizontalBar().IsVisible()) << "a disabled bar is never shown";
    EXPECT_FALSE(panel.Clips());
}

TEST(ScrollPanelClip, TheBoxCountsFromTheWindowsBottomAndIsOnePixelLarger) {
    EXPECT_EQ(ClipBoxForView(10, 20, 100, 50, 480), (ClipBox{10, 410, 101, 51}));
}

TEST(ScrollPanelClip, NestedClipsIntersect) {
    const ClipBox outer{0, 0, 100, 100};
    const ClipBox inner{50, 60, 100, 100};
    ASSERT_TRUE(Intersect(outer, inner).has_value());
    EXPECT_EQ(*Intersect(outer, inner), (ClipBox{50, 60, 50, 40}));
    EXPECT_EQ(*Intersect(inner, outer), (ClipBox{50, 60, 50, 40})) << "the order does not matter";
}

TEST(ScrollPanelClip, AClipWhollyOutsideItsParentsIsEmpty) {
    EXPECT_FALSE(Intersect(ClipBox{0, 0, 100, 100}, ClipBox{200, 0, 50, 50}).has_value());
    EXPECT_FALSE(Intersect(ClipBox{0, 0, 100, 100}, ClipBox{100, 0, 50, 50}).has_value())
        << "boxes that only touch do not overlap";
}

}  // namespace
