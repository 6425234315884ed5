#pragma once

// The mouse position in window pixels (origin top-left) that the window layer keeps
// current; hit tests during key events read it.
struct MousePoint {
    int x = 0;
    int y = 0;
};

MousePoint CurrentMousePosition();
