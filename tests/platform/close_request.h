#pragma once

#include <SDL.h>

// Sends a window the message a window manager sends when its close button is
// clicked, as a player closing the game would. False when it cannot be sent.
bool AskXWindowToClose(unsigned long xWindow);

// The same for one of this process's windows; false when it is not an X11 window.
bool AskToClose(SDL_Window* window);
