#include "gui/message_box.h"

#include <algorithm>

MessageBox::MessageBox() {
    // Modal: while the box is up, clicks and keys meant for the widgets behind it go to
    // the box, so nothing behind it acts on input the user has not seen yet.
    SetModal(true);
    SetCaption("No information");
    SetSize(kWidth, kHeight);
    text_.SetHorizontalScrolling(false);
    AddClientChild(&text_);
    Resize();
    text_.AddText("Nothing");
}

void MessageBox::Resize() {
    if (Parent() != nullptr) SetPosition((Parent()->Width() - Width()) / 2, (Parent()->Height() - Height()) / 2);
    Dialog::Resize();
}

void MessageBox::OnResized() {
    const Rect& area = ClientPanel().Client();
    const int width = std::max(area.width, text_.MinWidth());
    const int height = std::max(area.height, text_.MinHeight());
    text_.SetSize(width, height);
    text_.SetPosition(area.x + (area.width - width) / 2, area.y + (area.height - height) / 2);
    // Long messages wrap at the list's width rather than scrolling sideways.
    const int columns = (width - ScrollBar::DefaultThickness()) / text_.View().CellSize();
    text_.View().SetWrap(true, std::max(1, columns));
}
