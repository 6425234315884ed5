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
