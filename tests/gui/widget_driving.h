#pragma once

#include <string>
#include <vector>

#include "gui/text_view.h"
#include "gui/widget.h"
#include "platform/input.h"

// Drives widgets the way the window layer does, without drawing: mouse moves go from
// the top ancestor down, keys to the top ancestor.
inline Widget* TopOf(Widget& widget) {
    Widget* top = &widget;
    while (top->Parent() != nullptr) top = top->Parent();
    return top;
}

inline void Place(Widget& widget, int x, int y, int width, int height) {
    widget.SetSize(width, height);
    widget.SetPosition(x, y);
}

// `child` in a 640 x 480 `root`, at (x, y) and of the given size.
inline void Mount(Widget& root, Widget& child, int x, int y, int width, int height) {
    Place(root, 0, 0, 640, 480);
    root.AddChild(&child);
    Place(child, x, y, width, height);
}

inline void MoveMouseOnto(Widget& widget, int x, int y) {
    SetMousePosition(x, y);
    std::vector<Widget*> chain;
    for (Widget* w = &widget; w != nullptr; w = w->Parent()) chain.push_back(w);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->MouseMove(x, y);
}

inline int PressOn(Widget& target, int code) {
    KeyEvent event{code};
    TopOf(target)->KeyDown(&event);
    return event.code;
}

inline int ReleaseOn(Widget& target, int code) {
    KeyEvent event{code};
    TopOf(target)->KeyUp(&event);
    return event.code;
}

// A key pressed and let go; what is left of the release.
inline int Type(Widget& target, int code) {
    PressOn(target, code);
    return ReleaseOn(target, code);
}

inline void ClickAt(Widget& widget, int x, int y) {
    MoveMouseOnto(widget, x, y);
    Type(widget, kMouseLeft);
}

inline void Click(Widget& widget) {
    const Widget::AbsoluteRect& box = widget.Absolute();
    ClickAt(widget, (box.x1 + box.x2) / 2, (box.y1 + box.y2) / 2);
}

// Clicks act on the next frame.
inline void ClickThenTick(Widget& widget) {
    Click(widget);
    TopOf(widget)->Tick();
}

// Hidden and shown again: screens read their settings when they are shown.
inline void Reshow(Widget& widget) {
    widget.SetVisible(false);
    widget.SetVisible(true);
}

inline std::vector<std::string> LinesOf(const TextView& view) {
    std::vector<std::string> lines;
    for (int row = 0; row < view.LineCount(); ++row) lines.push_back(view.Line(row));
    return lines;
}
