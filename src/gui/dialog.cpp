#include "gui/dialog.h"

#include <algorithm>

namespace {

int defaultDialogMinWidth = 240;
int defaultDialogMinHeight = 50;
const Colour kCaptionColour{0.1f, 0.9f, 1.0f, 1.0f};

void Colourise(Label& label) {
    label.SetColour(kCaptionColour.r, kCaptionColour.g, kCaptionColour.b, kCaptionColour.a);
}

}  // namespace

Dialog::Dialog() {
    SetMinSize(defaultDialogMinWidth, defaultDialogMinHeight);
    SetSize(Width(), Height());
    Colourise(caption_);
    Colourise(okButton_.Caption());
    Colourise(cancelButton_.Caption());
    buttonBar_.AddChild(&cancelButton_);
    buttonBar_.AddChild(&okButton_);
    AddChild(&caption_);
    AddChild(&buttonBar_);
    AddChild(&clientPanel_);
}

void Dialog::SetDefaultMinSize(int width, int height) {
    defaultDialogMinWidth = width;
    defaultDialogMinHeight = height;
}

void Dialog::Submit() {
    if (!closeOnSubmit_) {
        Apply();
        return;
    }
    SetEnabled(false);
    Apply();
    SetVisible(false);
}

void Dialog::AddClientChild(Widget* child) { clientPanel_.AddChild(child); }

void Dialog::RemoveClientChild(Widget* child) { clientPanel_.RemoveChild(child); }

void Dialog::KeyDown(KeyEvent* event) {
    if (!IsAvailable() || event->code == KEY_CONSUMED) return;
    Panel::KeyDown(event);
    if (event->code != kKeyTab) return;
    MoveHoverToNextChild();
    event->code = KEY_CONSUMED;
}

void Dialog::MoveHoverToNextChild() {
    Widget* focused = FocusedChild();
    Widget* target = nullptr;
    if (focused != nullptr && KeepsFocus(focused)) {
        target = focused;
    } else {
        const std::vector<Widget*>& children = Children();
        const auto found = std::find(children.begin(), children.end(), focused);
        const size_t start = found == children.end() ? 0 : static_cast<size_t>(found - children.begin()) + 1;
        for (size_t step = 0; step < children.size() && target == nullptr; ++step) {
            Widget* candidate = children[(start + step) % children.size()];
            if (candidate->IsAvailable()) target = candidate;
        }
    }
    if (target != nullptr) target->MouseMove(target->Absolute().x1, target->Absolute().y1);
}

void Dialog::KeyUp(KeyEvent* event) {
    if (event->code == KEY_CONSUMED) return;
    Panel::KeyUp(event);
    if (okButton_.Clicked() || cancelButton_.Clicked()) {
        Submit();
        return;
    }
    if (event->code != kKeyEscape) return;
    // Escape is a click on Cancel.
    cancelButton_.SetClicked(true);
    Submit();
    event->code = KEY_CONSUMED;
}

void Dialog::ResetClicks() {
    SetEnabled(true);
    Panel::ResetClicks();
}

void Dialog::Resize() {
    Layout();
    UpdateGeometry();
    OnResized();
    for (Widget* child : std::vector<Widget*>(Children())) child->Resize();
}

void Dialog::Layout() {
    const int border = BorderWidth();
    const int innerWidth = std::max(0, Width() - 2 * border);
    const int innerBottom = Height() - border;
    const int captionHeight = caption_.Height();
    const int barHeight = std::max(buttonBar_.Height(), ButtonBar::kMinimumHeight);
    caption_.SetSize(innerWidth, captionHeight);
    caption_.SetPosition(border, border);
    buttonBar_.SetSize(innerWidth, barHeight);
    buttonBar_.SetPosition(border, innerBottom - barHeight);
    clientPanel_.SetSize(innerWidth, std::max(0, innerBottom - barHeight - border - captionHeight));
    clientPanel_.SetPosition(border, border + captionHeight);
}

void Dialog::OnShown() {
    Widget* parent = Parent();
    if (parent == nullptr) return;
    parent->BringToFront(this);
    parent->SetHoverChild(this);
    SetFocusChild(nullptr);
    parent->SetFocusChild(this);
}

void Dialog::OnFocusGained() {
    // A dialog that is clicked comes to the top.
    if (Parent() != nullptr) Parent()->BringToFront(this);
}
