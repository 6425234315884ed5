#include "gui/widget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window.h"

namespace {

// Writes what happens to it into a shared journal, so a test can check the order.
class Probe : public Widget {
public:
    Probe(std::vector<std::string>& journal, std::string name) : journal_(journal), name_(std::move(name)) {}

    void DrawSelf() override { Log("draw"); }
    void OnKeyDown(KeyEvent* event) override { Log("key " + std::to_string(event->code)); }
    void OnKeyUp(KeyEvent* event) override { Log("up " + std::to_string(event->code)); }
    void OnFocusGained() override { Log("focus"); }
    void OnFocusLost() override { Log("unfocus"); }
    void OnMouseEnter() override { Log("enter"); }
    void OnMouseLeave() override { Log("leave"); }
    void OnShown() override { Log("shown"); }
    void OnHidden() override { Log("hidden"); }

    void Place(int x, int y, int width, int height) {
        SetSize(width, height);
        SetPosition(x, y);
    }

private:
    void Log(const std::string& what) { journal_.push_back(name_ + " " + what); }

    std::vector<std::string>& journal_;
    std::string name_;
};

class WidgetRouting : public testing::Test {
protected:
    WidgetRouting() {
        root.Place(0, 0, 640, 480);
        root.AddChild(&left);
        root.AddChild(&right);
        left.Place(10, 10, 100, 50);
        right.Place(200, 10, 100, 50);
        root.Draw();  // the children join the draw order at the end of a frame
        journal.clear();
    }

    void Click(int x, int y, int code = kMouseLeft) {
        SetMousePosition(x, y);
        KeyEvent event{code};
        root.KeyDown(&event);
    }

    std::vector<std::string> journal;
    Probe root{journal, "root"};
    Probe left{journal, "left"};
    Probe right{journal, "right"};
};

TEST_F(WidgetRouting, AClickHoversFocusesAndDeliversThenTheParentHookRuns) {
    Click(20, 20);
    EXPECT_EQ(root.HoveredChild(), &left);
    EXPECT_EQ(root.FocusedChild(), &left);
    EXPECT_EQ(journal, (std::vector<std::string>{"left enter", "left focus", "left key 385", "root key 385"}));
}

TEST_F(WidgetRouting, FocusIsLostBeforeItIsGainedAndHoverEntersBeforeItLeaves) {
    Click(20, 20);
    journal.clear();
    Click(210, 20);
    EXPECT_EQ(journal, (std::vector<std::string>{"right enter", "left leave", "left unfocus", "right focus",
                                                 "right key 385", "root key 385"}));
}

TEST_F(WidgetRouting, AClickOnADisabledChildOnTopIsSwallowed) {
    Probe cover{journal, "cover"};
    root.AddChild(&cover);
    cover.Place(0, 0, 640, 480);
    cover.SetEnabled(false);
    root.Draw();
    journal.clear();
    Click(20, 20);
    for (const auto& line : journal) EXPECT_EQ(line.find("key"), std::string::npos) << line;
    EXPECT_EQ(root.FocusedChild(), nullptr);
    root.RemoveChild(&cover);
}

TEST_F(WidgetRouting, APressedFocusedChildKeepsHoverAndTheNextClick) {
    Click(20, 20);
    left.SetPressed(true);
    root.MouseMove(210, 20);
    EXPECT_EQ(root.HoveredChild(), &left) << "hover must not move away from a pressed child";
    journal.clear();
    Click(210, 20);
    EXPECT_EQ(journal, (std::vector<std::string>{"left key 385", "root key 385"}));
}

TEST_F(WidgetRouting, KeysGoToTheFocusedChildAndConsumedKeysNowhere) {
    Click(20, 20);
    journal.clear();
    KeyEvent key{'a'};
    root.KeyDown(&key);
    root.KeyUp(&key);
    EXPECT_EQ(journal, (std::vector<std::string>{"left key 97", "root key 97", "left up 97", "root up 97"}));
    journal.clear();
    KeyEvent consumed{KEY_CONSUMED};
    root.KeyDown(&consumed);
    root.KeyUp(&consumed);
    EXPECT_TRUE(journal.empty());
}

TEST_F(WidgetRouting, HidingTheFocusedWidgetClearsTheChainDeepestFirst) {
    Probe inner{journal, "inner"};
    Probe innermost{journal, "innermost"};
    left.AddChild(&inner);
    inner.AddChild(&innermost);
    root.SetFocusChild(&left);
    left.SetFocusChild(&inner);
    inner.SetFocusChild(&innermost);
    journal.clear();
    left.SetVisible(false);
    EXPECT_EQ(journal, (std::vector<std::string>{"left hidden", "innermost unfocus", "inner unfocus", "left unfocus"}));
    EXPECT_EQ(root.FocusedChild(), nullptr);
    EXPECT_EQ(inner.FocusedChild(), nullptr);
}

TEST_F(WidgetRouting, TheHoveredChildNoticesByItselfThatTheMouseLeft) {
    root.MouseMove(20, 20);
    EXPECT_EQ(root.HoveredChild(), &left);
    root.MouseMove(210, 20);  // goes to the hovered child, which finds the mouse outside
    EXPECT_EQ(root.HoveredChild(), nullptr);
    root.MouseMove(211, 20);
    EXPECT_EQ(root.HoveredChild(), &right);
    root.MouseMove(500, 400);
    EXPECT_EQ(root.HoveredChild(), nullptr);
    EXPECT_EQ(journal, (std::vector<std::string>{"left enter", "left leave", "right enter", "right leave"}));
}

TEST_F(WidgetRouting, TreeChangesDuringADrawTakeEffectOnTheNextFrame) {
    Probe added{journal, "added"};
    root.AddChild(&added);
    root.RemoveChild(&right);
    root.Draw();
    EXPECT_EQ(journal, (std::vector<std::string>{"root draw", "left draw", "right draw"}));
    journal.clear();
    root.Draw();
    EXPECT_EQ(journal, (std::vector<std::string>{"root draw", "left draw", "added draw"}));
    root.RemoveChild(&added);
}

TEST_F(WidgetRouting, BringToFrontChangesTheDrawOrderAndTheHitTest) {
    right.SetPosition(50, 10);  // now overlapping left, below it in the draw order
    root.BringToFront(&left);
    root.Draw();
    EXPECT_EQ(root.DrawOrder(), (std::vector<Widget*>{&right, &left}));
    Click(60, 20);
    EXPECT_EQ(root.FocusedChild(), &left);
}

TEST(WidgetGeometry, SizesClampToTheMinimumAndClientAreasNeverGoNegative) {
    Widget::SetDefaultMinSize(0, 0);
    InsetWidget box;
    box.SetMinSize(10, 10);
    box.SetWidth(5);
    EXPECT_EQ(box.Width(), 10);
    box.SetBorderWidth(8);
    box.SetSize(12, 40);
    box.SetPosition(3, 4);
    EXPECT_EQ(box.Client().width, 0);
    EXPECT_EQ(box.Client().height, 24);
    EXPECT_EQ(box.Right(), 15);
    EXPECT_EQ(box.Bottom(), 44);
}

TEST(WidgetGeometry, AbsoluteRectanglesAddUpAndContainsIsInclusive) {
    Widget root;
    InsetWidget child;
    root.SetSize(640, 480);
    root.SetPosition(20, 50);
    root.AddChild(&child);
    child.SetSize(100, 30);
    child.SetPosition(5, 6);
    EXPECT_EQ(child.Absolute().x1, 25);
    EXPECT_EQ(child.Absolute().y2, 86);
    EXPECT_TRUE(child.Contains(125, 86));
    EXPECT_FALSE(child.Contains(126, 86));
}

TEST(WidgetChildren, IterationFollowsInsertionOrder) {
    Widget root;
    Widget a, b, c;
    root.AddChild(&a);
    root.AddChild(&b);
    root.AddChild(&c);
    EXPECT_EQ(root.FirstChild(), &a);
    EXPECT_EQ(root.NextChild(&a), &b);
    EXPECT_EQ(root.NextChild(&c), nullptr);
    EXPECT_EQ(root.NextChild(nullptr), nullptr);
    EXPECT_EQ(root.PrevChild(&b), &a);
    EXPECT_EQ(root.PrevChild(&a), nullptr);
    EXPECT_EQ(root.LastChild(), &c);
    EXPECT_NE(a.Id(), b.Id());
}

}  // namespace
