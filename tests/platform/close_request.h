#pragma once

#include <SDL.h>

// Sends the window the message a window manager sends when its close button is
// clicked. False when the window is not an X11 window.
bool AskToClose(SDL_Window* window);
