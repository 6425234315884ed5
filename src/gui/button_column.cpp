#include "gui/button_column.h"

#include <algorithm>

void StackButtons(const std::vector<Button*>& buttons, int x, int y, int width, int height, int gap) {
    if (buttons.empty()) return;
    const int count = static_cast<int>(buttons.size());
    const int buttonHeight = std::max(0, (height - gap * (count - 1)) / count);
    for (Button* button : buttons) {
        button->SetSize(width, buttonHeight);
        button->SetPosition(x, y);
        y += buttonHeight + gap;
    }
}
