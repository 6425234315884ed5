#pragma once

#include <bitset>

#include <SDL_events.h>

// Keys that belong to the window rather than to the game: F11 and Alt+Enter switch
// between the window and full screen, F12 takes a screenshot. They never reach the
// widgets or the game's key bindings.
enum class WindowKey { kNone, kToggleFullscreen, kScreenshot };

// What a key-down does to the window, from its key and modifiers.
WindowKey ClassifyWindowKey(const SDL_KeyboardEvent& key);

// Takes the window keys out of the event stream. A window key acts once on its first
// key-down; its repeats and its key-up are swallowed too, even when Alt was let go
// first, so the game never sees half a key press.
class WindowKeyFilter {
public:
    // True when the event is the window's; `action` is then what to do (kNone for
    // repeats and key-ups).
    bool Takes(const SDL_Event& event, WindowKey& action);

private:
    std::bitset<SDL_NUM_SCANCODES> held_;
};
