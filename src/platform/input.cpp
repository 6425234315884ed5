#include "platform/input.h"

#include <array>
#include <atomic>

#include "platform/input_events.h"
#include "platform/key_translation.h"

namespace {

struct InputState {
    std::atomic<int> mouseX{0};
    std::atomic<int> mouseY{0};
    std::array<bool, kKeyStateCount> keyDown{};
    bool repeatFilter = true;
    // The code each physical key delivered when it went down: its key-up carries the
    // same code even when Shift changed in between, so no key stays down for ever.
    std::array<int, SDL_NUM_SCANCODES> codeOfHeldKey{};
};

InputState& State() {
    static InputState state;
    return state;
}

bool Tracked(int code) { return code >= 0 && code < kKeyStateCount; }

void DeliverKeyDown(WindowRoot& root, int code) {
    InputState& state = State();
    if (Tracked(code)) {
        if (state.repeatFilter && state.keyDown[code]) return;
        state.keyDown[code] = true;
    }
    KeyEvent event{code};
    root.KeyDown(&event);
}

void DeliverKeyUp(WindowRoot& root, int code) {
    if (Tracked(code)) State().keyDown[code] = false;
    KeyEvent event{code};
    root.KeyUp(&event);
}

void HandleKey(WindowRoot& root, const SDL_KeyboardEvent& key) {
    InputState& state = State();
    const SDL_Scancode scancode = key.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return;
    int& held = state.codeOfHeldKey[scancode];
    if (key.type == SDL_KEYDOWN) {
        const int code = TranslateKey(scancode, state.keyDown[kKeyShift]);
        if (code == 0) return;
        held = code;
        DeliverKeyDown(root, code);
    } else {
        const int code = held != 0 ? held : TranslateKey(scancode, state.keyDown[kKeyShift]);
        held = 0;
        if (code != 0) DeliverKeyUp(root, code);
    }
}

int MouseButtonCode(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return kMouseLeft;
        case SDL_BUTTON_RIGHT: return kMouseRight;
        case SDL_BUTTON_MIDDLE: return kMouseMiddle;
        default: return 0;
    }
}

void HandleMouseButton(WindowRoot& root, const SDL_MouseButtonEvent& button, Uint16 modifiers) {
    const int code = MouseButtonCode(button.button);
    if (code == 0) return;
    InputState& state = State();
    state.keyDown[kKeyShift] = (modifiers & KMOD_SHIFT) != 0;
    state.keyDown[kKeyControl] = (modifiers & KMOD_CTRL) != 0;
    SetMousePosition(button.x, button.y);
    if (button.type == SDL_MOUSEBUTTONDOWN)
        DeliverKeyDown(root, code);
    else
        DeliverKeyUp(root, code);
}

}  // namespace

MousePosition GetMousePosition() {
    const InputState& state = State();
    return MousePosition{state.mouseX.load(std::memory_order_relaxed), state.mouseY.load(std::memory_order_relaxed)};
}

void SetMousePosition(int x, int y) {
    InputState& state = State();
    state.mouseX.store(x, std::memory_order_relaxed);
    state.mouseY.store(y, std::memory_order_relaxed);
}

bool IsKeyDown(int code) { return Tracked(code) && State().keyDown[code]; }

void SetRepeatFilter(bool on) { State().repeatFilter = on; }

void ResetInput() {
    InputState& state = State();
    SetMousePosition(0, 0);
    state.keyDown.fill(false);
    state.codeOfHeldKey.fill(0);
    state.repeatFilter = true;
}

bool HandleInputEvent(WindowRoot& root, const SDL_Event& event, Uint16 modifiers) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: HandleKey(root, event.key); return true;
        case SDL_MOUSEMOTION:
            SetMousePosition(event.motion.x, event.motion.y);
            root.MouseMove(event.motion.x, event.motion.y);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: HandleMouseButton(root, event.button, modifiers); return true;
        default: return false;
    }
}
