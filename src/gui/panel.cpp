#include "gui/draw_2d.h"
#include "gui/widget.h"

bool Panel::DrawsFocusFrame() const {
    return DrawsFocusFrameFlag() && (Parent() == nullptr || Parent()->FocusedChild() == this);
}

void Panel::Draw() {
    const AbsoluteRect& box = Absolute();
    if (DrawsFocusFrame()) DrawOutline(box.x1, box.y1, box.x2, box.y2, Colour{1, 1, 1, 1});
    DrawSelf();
    DrawChildren();
    if (!IsEnabled()) FillShade(box.x1, box.y1, box.x2, box.y2, shadeColour);
}

void FramedPanel::MarkOpaqueAreas() {
    // Its fill hides everything under the whole box; its children lie inside it.
    const AbsoluteRect& box = Absolute();
    if (normalColour.a >= 1) RectangleStrip(box.x1, box.y1, box.x2, box.y2);
}

void FramedPanel::DrawSelf() {
    const AbsoluteRect& box = Absolute();
    FillRect(box.x1, box.y1, box.x2, box.y2, normalColour);
    DrawOutline(box.x1, box.y1, box.x2, box.y2, foregroundColour);
}
