#include "gui/scroll_bar.h"

#include <algorithm>

#include "gui/draw_2d.h"
#include "gui/mouse.h"

namespace {

int defaultBarWidth = 16;
int defaultBarHeight = 16;

bool IsPressKey(int code) { return code == kKeyEnter || code == kKeySpace || code == kMouseLeft; }

Colour Opaque(const Colour& colour) { return Colour{colour.r, colour.g, colour.b, 1.0f}; }

}  // namespace

ScrollBar::ScrollBar(Orientation orientation) : orientation_(orientation) {
    SetSize(defaultBarWidth, defaultBarHeight);
    PlaceThumb();
}

void ScrollBar::SetDefaultSize(int width, int height) {
    defaultBarWidth = width;
    defaultBarHeight = height;
}

int ScrollBar::DefaultThickness() { return defaultBarWidth; }

void ScrollBar::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    SetValue(value_);
}

void ScrollBar::SetValue(int value) {
    value_ = std::clamp(value, minimum_, maximum_);
    PlaceThumb();
}

void ScrollBar::SetThumbFraction(float fraction) {
    thumbFraction_ = std::clamp(fraction, 0.0f, 1.0f);
    PlaceThumb();
}

void ScrollBar::UpdateGeometry() {
    Panel::UpdateGeometry();
    if (!IsDragging()) PlaceThumb();  // a thumb being dragged stays under the mouse
}

void ScrollBar::PlaceThumb() {
    const int range = maximum_ - minimum_ == 0 ? 1 : maximum_ - minimum_;
    const int length = Length();
    thumbLength_ = static_cast<int>(length * thumbFraction_);
    pixelsPerUnit_ = static_cast<float>(length - thumbLength_) / range;
    pageStep_ = thumbLength_ - 1;
    const int along = static_cast<int>((value_ - minimum_) * pixelsPerUnit_);
    if (orientation_ == kHorizontal) {
        thumb_.x = along;
        thumb_.y = 1;
        thumb_.width = thumbLength_;
        thumb_.height = Height() - 2;
    } else {
        thumb_.x = 1;
        thumb_.y = along;
        thumb_.width = Width() - 2;
        thumb_.height = thumbLength_;
    }
    thumb_.right = thumb_.x + thumb_.width;
    thumb_.bottom = thumb_.y + thumb_.height;
}

Widget::AbsoluteRect ScrollBar::ThumbAbsolute() const {
    AbsoluteRect rect;
    rect.x1 = Absolute().x1 + thumb_.x;
    rect.y1 = Absolute().y1 + thumb_.y;
    rect.width = thumb_.width;
    rect.height = thumb_.height;
    rect.x2 = rect.x1 + rect.width;
    rect.y2 = rect.y1 + rect.height;
    return rect;
}

void ScrollBar::MoveThumbTo(int offset) {
    const int along = std::clamp(offset, 0, std::max(0, Length() - thumbLength_));
    if (orientation_ == kHorizontal)
        thumb_.x = along;
    else
        thumb_.y = along;
    thumb_.right = thumb_.x + thumb_.width;
    thumb_.bottom = thumb_.y + thumb_.height;
}

bool ScrollBar::HasFocus() const { return Parent() == nullptr || Parent()->FocusedChild() == this; }

void ScrollBar::DropFocus() {
    if (Parent() != nullptr && Parent()->FocusedChild() == this) Parent()->SetFocusChild(nullptr);
}

void ScrollBar::OnKeyDown(KeyEvent* event) {
    if (!IsPressKey(event->code)) return;
    event->code = KEY_CONSUMED;
    const MousePoint mouse = CurrentMousePosition();
    const AbsoluteRect thumb = ThumbAbsolute();
    // Along the axis the mouse is before, on or after the thumb; the bar's one-pixel
    // rim beside the thumb counts as the thumb.
    const int mouseAlong = AlongAxis(mouse.x, mouse.y);
    const int thumbStart = AlongAxis(thumb.x1, thumb.y1);
    const int thumbEnd = AlongAxis(thumb.x2, thumb.y2);
    if (mouseAlong >= thumbStart && mouseAlong <= thumbEnd) {
        if (!HasFocus()) return;
        SetPressed(true);
        dragMouse_ = mouseAlong;
        dragThumbStart_ = ThumbStart();
        if (Parent() != nullptr) Parent()->SetCaptureChild(this);
        return;
    }
    const int direction = mouseAlong < thumbStart ? -1 : 1;
    SetValue(value_ + direction * pageStep_);
    DropFocus();
}

void ScrollBar::OnMouseMove(int x, int y) {
    if (IsDragging()) MoveThumbTo(dragThumbStart_ + AlongAxis(x, y) - dragMouse_);
}

void ScrollBar::OnKeyUp(KeyEvent* event) {
    if (!IsPressKey(event->code)) return;
    if (IsDragging()) {
        const int units = pixelsPerUnit_ > 0 ? static_cast<int>(ThumbStart() / pixelsPerUnit_) : 0;
        SetPressed(false);
        if (Parent() != nullptr && Parent()->CaptureChild() == this) Parent()->SetCaptureChild(nullptr);
        SetValue(minimum_ + units);
        event->code = KEY_CONSUMED;
    }
    DropFocus();
}

// Both arrows along the axis are the bar's even at either end, so that a slider held
// at its end does not let the focus slip to the next stop.
bool ScrollBar::TakeArrow(int arrowCode) {
    const bool horizontal = orientation_ == kHorizontal;
    const int back = horizontal ? kKeyLeft : kKeyUp;
    const int on = horizontal ? kKeyRight : kKeyDown;
    if (arrowStep_ <= 0 || (arrowCode != back && arrowCode != on)) return false;
    SetValue(value_ + (arrowCode == on ? arrowStep_ : -arrowStep_));
    return true;
}

void ScrollBar::DrawSelf() {
    const AbsoluteRect& box = Absolute();
    FillRect(box.x1, box.y1, box.x2, box.y2, Opaque(shadeColour));
    const AbsoluteRect thumb = ThumbAbsolute();
    FillRect(thumb.x1, thumb.y1, thumb.x2, thumb.y2, Opaque(HasFocus() ? highlightColour : normalColour));
}
