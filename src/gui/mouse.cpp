#include "gui/mouse.h"

#include "platform/window.h"

MousePoint CurrentMousePosition() {
    const MousePosition position = GetMousePosition();
    return MousePoint{position.x, position.y};
}
