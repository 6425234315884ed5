#pragma once

#include <SDL_events.h>

#include "platform/window_root.h"

// Game pads through SDL's game controller API. Pads are numbered in the order they
// are plugged in, the lowest free number first, so the first pad is player 1's and
// the second player 2's; a pad taken out releases everything it held and frees its
// number. No pad, or no controller support at all, and the game plays as ever.

// Starts SDL's controller support once; when that fails the game logs a warning and
// goes on without pads.
void StartPads();

// Handles SDL's controller events (pads added and removed, buttons, axes) and hands
// their presses to the root. False for every other event.
bool HandlePadEvent(WindowRoot& root, const SDL_Event& event);
