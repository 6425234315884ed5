#pragma once

// What the window layer remembers of the player's input: where the mouse is, which
// keys are down, and whether a key-down for a key already down gets through.
// The window's message handling on the main thread writes it; hit tests read the
// mouse position from any thread.

struct MousePosition {
    int x = 0;
    int y = 0;
};

// Window pixels, origin at the top-left corner of the client area.
MousePosition GetMousePosition();
void SetMousePosition(int x, int y);

// Key codes below kKeyStateCount are tracked; any other code reads as up.
bool IsKeyDown(int code);

// On (the default), holding a key gives one key-down; edit fields switch it off
// while they have focus so that held keys repeat.
void SetRepeatFilter(bool on);

// No key down, the mouse at the origin, the filter on: how a new window starts.
void ResetInput();
