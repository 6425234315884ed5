#pragma once

#include <cstdint>

#include "platform/pad_input.h"

// Key codes of the game's one code space: printable characters by character code,
// Alt and Pause 260 and 261, F1..F24 301..324, cursor keys 350..353, the other named
// keys 354..382, mouse buttons 385..387.
constexpr int kKeyBackspace = 8;
constexpr int kKeyTab = 9;
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyAlt = 260;
constexpr int kKeyPause = 261;  // also Caps Lock
constexpr int kKeyF1 = 301;
constexpr int kKeyF24 = 324;
constexpr int kKeyLeft = 350;
constexpr int kKeyUp = 351;
constexpr int kKeyRight = 352;
constexpr int kKeyDown = 353;
constexpr int kKeyPageUp = 354;
constexpr int kKeyPageDown = 355;
constexpr int kKeyHome = 356;
constexpr int kKeyEnd = 357;
constexpr int kKeyInsert = 358;
constexpr int kKeyDelete = 359;
constexpr int kKeyPad0 = 360;  // keypad digits 0..9 are 360..369
constexpr int kKeyPadDivide = 370;
constexpr int kKeyPadMultiply = 371;
constexpr int kKeyPadSubtract = 372;
constexpr int kKeyPadAdd = 373;
constexpr int kKeyPadDecimal = 374;
constexpr int kKeyNumLock = 375;
constexpr int kKeyScrollLock = 376;
constexpr int kKeyShift = 380;
constexpr int kKeyControl = 382;
constexpr int kMouseLeft = 385;
constexpr int kMouseRight = 386;
constexpr int kMouseMiddle = 387;
constexpr int KEY_CONSUMED = 390;
constexpr int kKeyStateCount = 400;

// Passed by pointer so that the widget that handles it can overwrite the code
// with KEY_CONSUMED and the dispatching loop sees the change.
struct KeyEvent {
    int32_t code = 0;
    // A game pad's button standing in for the key in the menus: no key of its own.
    bool fromPad = false;
};

// What the window layer drives: the root of the widget tree. The window feeds it
// input and asks it to draw once per frame; its position and size are the window's.
class WindowRoot {
public:
    virtual ~WindowRoot() = default;
    virtual void KeyDown(KeyEvent* event) = 0;
    virtual void KeyUp(KeyEvent* event) = 0;
    virtual void MouseMove(int x, int y) = 0;
    // A game pad's control went down or up; roots without a use for pads ignore it.
    virtual void PadInput(const PadEvent&) {}
    // A game pad was plugged in (or taken out) and got (or gave back) its number.
    virtual void PadConnected(int, bool) {}
    virtual void SetPosition(int x, int y) = 0;
    virtual void Resize() = 0;
    virtual void Draw() = 0;

    virtual int X() const = 0;
    virtual int Y() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int MinWidth() const = 0;
    virtual int MinHeight() const = 0;
    virtual void SetSize(int width, int height) = 0;
};
