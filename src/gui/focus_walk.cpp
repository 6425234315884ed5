#include "gui/focus_walk.h"

#include <algorithm>
#include <vector>

#include "gui/button.h"

namespace {

Widget* TopModal(Widget& top, Widget*& focused) {
    Widget* modal = &top;
    focused = nullptr;
    for (Widget* widget = top.FocusedChild(); widget != nullptr; widget = widget->FocusedChild()) {
        focused = widget;
        if (widget->IsModal() && widget->IsVisible()) modal = widget;
    }
    return modal;
}

// Another modal widget below is a layer of its own (a hidden screen, a message box
// that is not up), so its buttons are not this one's.
void CollectButtons(Widget& parent, std::vector<Widget*>& buttons) {
    for (Widget* child : parent.Children()) {
        if (!child->IsVisible() || !child->IsEnabled() || child->IsModal()) continue;
        if (dynamic_cast<Clickable*>(child) != nullptr) {
            if (child->IsAvailable()) buttons.push_back(child);
            continue;
        }
        CollectButtons(*child, buttons);
    }
}

bool ReadsBefore(const Widget* a, const Widget* b) {
    const Widget::AbsoluteRect& first = a->Absolute();
    const Widget::AbsoluteRect& second = b->Absolute();
    return first.y1 != second.y1 ? first.y1 < second.y1 : first.x1 < second.x1;
}

bool IsWithin(const Widget* widget, const Widget* ancestor) {
    for (; widget != nullptr; widget = widget->Parent())
        if (widget == ancestor) return true;
    return false;
}

// Focus and hover run down from the modal widget to the button, top first, since a
// parent that changes its focused child clears the old child's chain.
void FocusChain(Widget& modal, Widget& button) {
    std::vector<Widget*> chain;
    for (Widget* widget = &button; widget != &modal && widget != nullptr; widget = widget->Parent())
        chain.push_back(widget);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        (*it)->Parent()->SetFocusChild(*it);
        (*it)->Parent()->SetHoverChild(*it);
    }
}

}  // namespace

bool MoveFocus(Widget& top, int step) {
    Widget* focused = nullptr;
    Widget* modal = TopModal(top, focused);
    std::vector<Widget*> buttons;
    CollectButtons(*modal, buttons);
    if (buttons.empty()) return false;
    std::stable_sort(buttons.begin(), buttons.end(), ReadsBefore);
    const int count = static_cast<int>(buttons.size());
    const auto current = std::find_if(buttons.begin(), buttons.end(),
                                      [focused](const Widget* button) { return IsWithin(focused, button); });
    int next = step > 0 ? 0 : count - 1;
    if (current != buttons.end()) next = ((static_cast<int>(current - buttons.begin()) + step) % count + count) % count;
    FocusChain(*modal, *buttons[static_cast<size_t>(next)]);
    return true;
}
