#include "gui/focus_walk.h"

#include <algorithm>
#include <vector>

#include "gui/widget.h"

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
// that is not up), so its stops are not this one's.
void CollectStops(Widget& parent, std::vector<Widget*>& stops) {
    for (Widget* child : parent.Children()) {
        if (!child->IsVisible() || !child->IsEnabled() || child->IsModal()) continue;
        if (child->IsFocusStop()) {
            if (child->IsAvailable()) stops.push_back(child);
            continue;
        }
        CollectStops(*child, stops);
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

// Focus and hover run down from the modal widget to the stop, top first, since a
// parent that changes its focused child clears the old child's chain.
void FocusChain(Widget& modal, Widget& stop) {
    std::vector<Widget*> chain;
    for (Widget* widget = &stop; widget != &modal && widget != nullptr; widget = widget->Parent())
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
    std::vector<Widget*> stops;
    CollectStops(*modal, stops);
    if (stops.empty()) return false;
    std::stable_sort(stops.begin(), stops.end(), ReadsBefore);
    const int count = static_cast<int>(stops.size());
    const auto current =
        std::find_if(stops.begin(), stops.end(), [focused](const Widget* stop) { return IsWithin(focused, stop); });
    int next = step > 0 ? 0 : count - 1;
    if (current != stops.end()) next = ((static_cast<int>(current - stops.begin()) + step) % count + count) % count;
    FocusChain(*modal, *stops[static_cast<size_t>(next)]);
    return true;
}

void WalkByArrow(Widget& top, int arrowCode) {
    Widget* focused = nullptr;
    TopModal(top, focused);
    for (Widget* widget = focused; widget != nullptr && widget != &top; widget = widget->Parent()) {
        if (!widget->IsFocusStop()) continue;
        if (widget->TakeArrow(arrowCode)) return;
        break;
    }
    if (arrowCode == kKeyUp || arrowCode == kKeyLeft) MoveFocus(top, -1);
    if (arrowCode == kKeyDown || arrowCode == kKeyRight) MoveFocus(top, 1);
}
