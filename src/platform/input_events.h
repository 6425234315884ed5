#pragma once

#include <SDL_events.h>

#include "platform/window_root.h"

// Turns one keyboard or mouse event into key-state changes and calls on the root.
// `modifiers` is SDL's modifier state when the event arrived: mouse clicks take the
// Shift and Control states from it. Returns false for events that are not input.
bool HandleInputEvent(WindowRoot& root, const SDL_Event& event, Uint16 modifiers);
