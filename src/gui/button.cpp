#include "gui/button.h"

#include <algorithm>

#include "gui/draw_2d.h"
#include "gui/mouse.h"

namespace {

int defaultButtonWidth = 100;
int defaultButtonHeight = 30;
constexpr int kFaceShift = 2;

bool IsPressKey(int code) { return code == kKeyEnter || code == kKeySpace || code == kMouseLeft; }

}  // namespace

void Clickable::SetStateCount(int count) {
    stateCount_ = std::max(1, count);
    state_ %= stateCount_;
}

bool Clickable::HasFocus() const { return Parent() == nullptr || Parent()->FocusedChild() == this; }

bool Clickable::HasHover() const { return Parent() == nullptr || Parent()->HoveredChild() == this; }

void Clickable::OnKeyDown(KeyEvent* event) {
    if (!IsPressKey(event->code) || !HasFocus()) return;
    SetPressed(true);
    event->code = KEY_CONSUMED;
}

void Clickable::OnKeyUp(KeyEvent* event) {
    if (!IsPressKey(event->code) || !IsPressed()) return;
    const MousePoint mouse = CurrentMousePosition();
    if (event->code != kMouseLeft || Contains(mouse.x, mouse.y)) {
        clicked_ = true;
        toggled_ = !toggled_;
        state_ = (state_ + 1) % stateCount_;
    }
    SetPressed(false);
    event->code = KEY_CONSUMED;
}

Button::Button(const std::string& caption) : caption_(caption) {
    SetSize(defaultButtonWidth, defaultButtonHeight);
    AddChild(&caption_);
}

void Button::SetDefaultSize(int width, int height) {
    defaultButtonWidth = width;
    defaultButtonHeight = height;
}

Widget::AbsoluteRect Button::FaceRect() const {
    AbsoluteRect face = Absolute();
    face.x1 += kFaceShift;
    face.x2 += kFaceShift;
    face.y1 += kFaceShift;
    face.y2 += kFaceShift;
    return face;
}

void Button::UpdateGeometry() {
    Clickable::UpdateGeometry();
    caption_.SetSize(Client().width, Client().height);
    caption_.SetPosition(Client().x, Client().y);
}

void Button::DrawSelf() {
    const AbsoluteRect face = FaceRect();
    if (IsPressed()) {
        FillRect(face.x1, face.y1, face.x2, face.y2, HasFocus() ? highlightColour : normalColour);
        return;
    }
    const AbsoluteRect& box = Absolute();
    FillRect(face.x1, face.y1, face.x2, face.y2, shadeColour);
    FillRect(box.x1, box.y1, box.x2, box.y2, HasHover() ? highlightColour : normalColour);
}
