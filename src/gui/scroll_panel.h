#pragma once

#include "gui/scroll_bar.h"
#include "gui/widget.h"

// A container that scrolls its children when they reach beyond its client area and
// clips them to it. Its two bars are children too, but the child iteration skips them.
class ScrollPanel : public Panel {
public:
    ScrollPanel();

    ScrollBar& VerticalBar() { return verticalBar_; }
    ScrollBar& HorizontalBar() { return horizontalBar_; }
    bool Clips() const { return clip_; }
    int ViewWidth() const { return viewWidth_; }
    int ViewHeight() const { return viewHeight_; }
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }

    Widget* FirstChild() override;
    Widget* NextChild(Widget* child) override;
    Widget* LastChild() override;
    Widget* PrevChild(Widget* child) override;

    void Draw() override;
    // Its children may be clipped: none of them is sure to cover what it seems to.
    void MarkOpaqueAreas() override {}
    void OnResized() override;
    void OnKeyUp(KeyEvent* event) override;

private:
    bool IsBar(const Widget* child) const { return child == &verticalBar_ || child == &horizontalBar_; }
    // Moves the content to follow the bars' values.
    void FollowBars();

    ScrollBar verticalBar_{ScrollBar::kVertical};
    ScrollBar horizontalBar_{ScrollBar::kHorizontal};
    bool clip_ = false;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
};
