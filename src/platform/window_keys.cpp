#include "platform/window_keys.h"

WindowKey ClassifyWindowKey(const SDL_KeyboardEvent& key) {
    switch (key.keysym.scancode) {
        case SDL_SCANCODE_F11: return WindowKey::kToggleFullscreen;
        case SDL_SCANCODE_F12: return WindowKey::kScreenshot;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return (key.keysym.mod & KMOD_ALT) != 0 ? WindowKey::kToggleFullscreen : WindowKey::kNone;
        default: return WindowKey::kNone;
    }
}

bool WindowKeyFilter::Takes(const SDL_Event& event, WindowKey& action) {
    action = WindowKey::kNone;
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
    const SDL_Scancode scancode = event.key.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return false;
    const size_t index = static_cast<size_t>(scancode);
    if (event.type == SDL_KEYUP) {
        if (!held_[index]) return false;
        held_[index] = false;
        return true;
    }
    // A key-down that is not a repeat acts again, in case its key-up went elsewhere.
    if (held_[index] && event.key.repeat != 0) return true;
    const WindowKey key = ClassifyWindowKey(event.key);
    if (key == WindowKey::kNone) return false;
    held_[index] = true;
    action = key;
    return true;
}
