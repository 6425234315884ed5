#include "gui/widget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widget_driving.h"

namespace {

// Writes what happens to it into a shared journal, so a test can check the order.
class Probe : public Widget {
public:
    Probe(std::vector<std::string>& journal, std::string name) : journal_(journal), name_(std::move(name)) {}

    void DrawSelf() override { Log("draw"); }
    void OnKeyDown(KeyEvent* event) override { Log("key " + std::to_string(event->code)); }
    void OnFocusGained() override { Log("focus"); }
    void OnFocusLost() override { Log("unfocus"); }
    void OnMouseEnter() override { Log("enter"); }
    void OnMouseLeave() override { Log("leave"); }
    void OnHidden() override { Log("hidden"); }

private:
    void Log(const std::string& what) { journal_.push_back(name_ + " " + what); }

    std::vector<std::string>& journal_;
    std::string name_;
};

using Journal = std::vector<std::string>;

class WidgetRouting : public testing::Test {
protected:
    WidgetRouting() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&left);
        root.AddChild(&right);
        Place(left, 10, 10, 100, 50);
        Place(right, 200, 10, 100, 50);
        root.Draw();  // the children join the draw order at the end of a frame
        journal.clear();
    }

    void Click(int x, int y) {
        SetMousePosition(x, y);
        KeyEvent event{kMouseLeft};
        root.KeyDown(&event);
    }

    Journal journal;
    Probe root{journal, "root"};
    Probe left{journal, "left"};
    Probe right{journal, "right"};
};

TEST_F(WidgetRouting, ClicksHoverAndFocusLosingBeforeGainingAndKeysFollowTheFocus) {
    Click(20, 20);
    EXPECT_EQ(journal, (Journal{"left enter", "left focus", "left key 385", "root key 385"}))
        << "the child under the mouse is hovered, focused and gets the click before its parent";
    journal.clear();
    Click(210, 20);
    EXPECT_EQ(journal,
              (Journal{"right enter", "left leave", "left unfocus", "right focus", "right key 385", "root key 385"}))
        << "hover enters before it leaves; focus is lost before it is gained";
    journal.clear();
    KeyEvent key{'a'};
    root.KeyDown(&key);
    KeyEvent consumed{KEY_CONSUMED};
    root.KeyDown(&consumed);
    EXPECT_EQ(journal, (Journal{"right key 97", "root key 97"}))
        << "keys go to the focused child; consumed ones nowhere";
}

TEST_F(WidgetRouting, AClickOnADisabledChildOnTopIsSwallowed) {
    Probe cover{journal, "cover"};
    root.AddChild(&cover);
    Place(cover, 0, 0, 640, 480);
    cover.SetEnabled(false);
    root.Draw();
    journal.clear();
    Click(20, 20);
    for (const auto& line : journal) EXPECT_EQ(line.find("key"), std::string::npos) << line;
    root.RemoveChild(&cover);
}

TEST_F(WidgetRouting, APressedFocusedChildKeepsHoverAndTheNextClick) {
    Click(20, 20);
    left.SetPressed(true);
    root.MouseMove(210, 20);
    EXPECT_EQ(root.HoveredChild(), &left) << "hover must not move away from a pressed child";
    journal.clear();
    Click(210, 20);
    EXPECT_EQ(journal, (Journal{"left key 385", "root key 385"}));
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
    EXPECT_EQ(journal, (Journal{"left hidden", "innermost unfocus", "inner unfocus", "left unfocus"}));
    EXPECT_EQ(root.FocusedChild(), nullptr);
}

}  // namespace
