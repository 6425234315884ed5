#include "gui/scroll_panel.h"

#include <algorithm>

#include "gui/clip.h"

namespace {

float Fraction(int view, int content) {
    if (content <= 0) return 1.0f;
    return std::clamp(static_cast<float>(view) / content, 0.0f, 1.0f);
}

}  // namespace

ScrollPanel::ScrollPanel() {
    AddChild(&verticalBar_);
    AddChild(&horizontalBar_);
    verticalBar_.SetVisible(false);
    horizontalBar_.SetVisible(false);
}

Widget* ScrollPanel::FirstChild() {
    Widget* child = Panel::FirstChild();
    while (child != nullptr && IsBar(child)) child = Panel::NextChild(child);
    return child;
}

Widget* ScrollPanel::NextChild(Widget* child) {
    Widget* next = Panel::NextChild(child);
    while (next != nullptr && IsBar(next)) next = Panel::NextChild(next);
    return next;
}

Widget* ScrollPanel::LastChild() {
    Widget* child = Panel::LastChild();
    while (child != nullptr && IsBar(child)) child = Panel::PrevChild(child);
    return child;
}

Widget* ScrollPanel::PrevChild(Widget* child) {
    Widget* previous = Panel::PrevChild(child);
    while (previous != nullptr && IsBar(previous)) previous = Panel::PrevChild(previous);
    return previous;
}

void ScrollPanel::OnResized() {
    const Rect& area = Client();
    int left = area.x, top = area.y, right = area.x, bottom = area.y;
    for (Widget* child = FirstChild(); child != nullptr; child = NextChild(child)) {
        left = std::min(left, child->X());
        top = std::min(top, child->Y());
        right = std::max(right, child->Right());
        bottom = std::max(bottom, child->Bottom());
    }
    // The content box holds the view too, so a panel with little in it needs no bars;
    // the view is what is left once a bar has taken its share, so one bar does not
    // call for the other by itself.
    const int thickness = ScrollBar::DefaultThickness();
    viewWidth_ = area.width;
    viewHeight_ = area.height;
    const int contentHeight = std::max(bottom, area.y + viewHeight_) - top;
    const bool showVertical = verticalBar_.IsEnabled() && contentHeight > viewHeight_;
    if (showVertical) viewWidth_ = std::max(0, viewWidth_ - thickness);
    const int contentWidth = std::max(right, area.x + viewWidth_) - left;
    const bool showHorizontal = horizontalBar_.IsEnabled() && contentWidth > viewWidth_;
    if (showHorizontal) viewHeight_ = std::max(0, viewHeight_ - thickness);

    verticalBar_.SetSize(thickness, viewHeight_);
    verticalBar_.SetPosition(area.x + viewWidth_, area.y);
    verticalBar_.SetRange(0, std::max(0, contentHeight - viewHeight_));
    verticalBar_.SetThumbFraction(Fraction(viewHeight_, contentHeight));
    horizontalBar_.SetSize(viewWidth_, thickness);
    horizontalBar_.SetPosition(area.x, area.y + viewHeight_);
    horizontalBar_.SetRange(0, std::max(0, contentWidth - viewWidth_));
    horizontalBar_.SetThumbFraction(Fraction(viewWidth_, contentWidth));
    verticalBar_.SetVisible(showVertical);
    horizontalBar_.SetVisible(showHorizontal);
    if (!showVertical) verticalBar_.SetValue(verticalBar_.Minimum());
    if (!showHorizontal) horizontalBar_.SetValue(horizontalBar_.Minimum());
    clip_ = showVertical || showHorizontal;
    FollowBars();
}

void ScrollPanel::OnKeyUp(KeyEvent*) { FollowBars(); }

void ScrollPanel::FollowBars() {
    const int dx = horizontalBar_.Value() - offsetX_;
    const int dy = verticalBar_.Value() - offsetY_;
    if (dx == 0 && dy == 0) return;
    for (Widget* child = FirstChild(); child != nullptr; child = NextChild(child))
        child->SetPosition(child->X() - dx, child->Y() - dy);
    offsetX_ = horizontalBar_.Value();
    offsetY_ = verticalBar_.Value();
}

void ScrollPanel::Draw() {
    if (!clip_) {
        Panel::Draw();
        return;
    }
    const AbsoluteRect& box = Absolute();
    const ScopedClip clip(box.x1, box.y1, viewWidth_, viewHeight_);
    if (!clip.Visible()) return;
    // The bars lie outside the view; they are drawn before the clip goes on.
    if (verticalBar_.IsVisible()) verticalBar_.Draw();
    if (horizontalBar_.IsVisible()) horizontalBar_.Draw();
    clip.Apply();
    Panel::Draw();
}
