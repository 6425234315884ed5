#include "gui/button_bar.h"

ButtonBar::ButtonBar() {
    SetMinSize(MinWidth(), kMinimumHeight);
    SetHeight(kMinimumHeight);
}

void ButtonBar::OnResized() {
    int rowWidth = 0;
    for (Widget* child = FirstChild(); child != nullptr; child = NextChild(child))
        if (child->IsVisible()) rowWidth += child->Width() + kSpacing;
    int x = Client().right - rowWidth;
    for (Widget* child = FirstChild(); child != nullptr; child = NextChild(child)) {
        if (!child->IsVisible()) continue;
        child->SetPosition(x, Client().y + (Client().height - child->Height()) / 2);
        x += child->Width() + kSpacing;
    }
    ScrollPanel::OnResized();
}
