#pragma once

#include "gui/scroll_panel.h"

// The row at the bottom of a dialog that holds its buttons: the visible ones sit
// side by side in the order they were added, against the right edge and centred
// vertically. At least 40 pixels high.
class ButtonBar : public ScrollPanel {
public:
    ButtonBar();

    void OnResized() override;

    static constexpr int kMinimumHeight = 40;
    static constexpr int kSpacing = 8;
};
