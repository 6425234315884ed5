#pragma once

#include <SDL_scancode.h>

// Keyboard keys become key codes in two steps. A physical key (where it sits on a US
// keyboard, whatever the active layout) first gets its classic PC virtual-key number
// (65 for A, 112 for F1, 186 for the semicolon key...), the numbers the game's key
// table has always been written in; the virtual key then becomes the key code, with
// the Shift state choosing the case of letters and the symbols of the other keys.
// Pure functions, so the whole table is testable without a window.

// 0 for keys the game has no use for (media keys, the Windows keys...): those are
// not delivered at all.
int VirtualKeyFromScancode(SDL_Scancode scancode);

// Keys without a rule of their own keep their virtual-key number (Backspace is 8).
int KeyCodeFromVirtualKey(int virtualKey, bool shiftDown);

// Both steps; 0 when the key is not delivered.
int TranslateKey(SDL_Scancode scancode, bool shiftDown);
