#include "platform/key_translation.h"

#include "platform/window_root.h"

namespace {

// Virtual-key numbers that have rules of their own.
constexpr int kVkBackspace = 8;
constexpr int kVkTab = 9;
constexpr int kVkClear = 12;
constexpr int kVkReturn = 13;
constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;
constexpr int kVkPause = 19;
constexpr int kVkCapsLock = 20;
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkPageUp = 33;
constexpr int kVkPageDown = 34;
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkInsert = 45;
constexpr int kVkDelete = 46;
constexpr int kVk0 = 48;
constexpr int kVkA = 65;
constexpr int kVkZ = 90;
constexpr int kVkPad0 = 96;
constexpr int kVkPad9 = 105;
constexpr int kVkPadMultiply = 106;
constexpr int kVkPadAdd = 107;
constexpr int kVkPadSubtract = 109;
constexpr int kVkPadDecimal = 110;
constexpr int kVkPadDivide = 111;
constexpr int kVkF1 = 112;
constexpr int kVkF24 = 135;
constexpr int kVkNumLock = 144;
constexpr int kVkScrollLock = 145;
constexpr int kVkSemicolon = 186;
constexpr int kVkEquals = 187;
constexpr int kVkComma = 188;
constexpr int kVkMinus = 189;
constexpr int kVkPeriod = 190;
constexpr int kVkSlash = 191;
constexpr int kVkGrave = 192;
constexpr int kVkLeftBracket = 219;
constexpr int kVkBackslash = 220;
constexpr int kVkRightBracket = 221;
constexpr int kVkApostrophe = 222;
constexpr int kVkOem102 = 226;  // the extra key beside left Shift on European keyboards

// What the digit keys 0..9 type with Shift on a US keyboard.
constexpr char kShiftedDigits[10] = {')', '!', '@', '#', '$', '%', '^', '&', '*', '('};

struct Punctuation {
    int virtualKey;
    char plain;
    char shifted;
};
constexpr Punctuation kPunctuation[] = {
    {kVkSemicolon, ';', ':'},  {kVkEquals, '=', '+'},       {kVkComma, ',', '<'},       {kVkMinus, '-', '_'},
    {kVkPeriod, '.', '>'},     {kVkSlash, '/', '?'},        {kVkGrave, '`', '~'},       {kVkLeftBracket, '[', '{'},
    {kVkBackslash, '\\', '|'}, {kVkRightBracket, ']', '}'}, {kVkApostrophe, '\'', '"'},
};

struct NamedKey {
    int virtualKey;
    int keyCode;
};
constexpr NamedKey kNamedKeys[] = {
    {kVkTab, kKeyTab},
    {kVkClear, kKeyBackspace},
    {kVkReturn, kKeyEnter},
    {kVkShift, kKeyShift},
    {kVkControl, kKeyControl},
    {kVkAlt, kKeyAlt},
    {kVkPause, kKeyPause},
    {kVkCapsLock, kKeyPause},
    {kVkEscape, kKeyEscape},
    {kVkSpace, kKeySpace},
    {kVkPageUp, kKeyPageUp},
    {kVkPageDown, kKeyPageDown},
    {kVkHome, kKeyHome},
    {kVkEnd, kKeyEnd},
    {kVkLeft, kKeyLeft},
    {kVkUp, kKeyUp},
    {kVkRight, kKeyRight},
    {kVkDown, kKeyDown},
    {kVkInsert, kKeyInsert},
    {kVkDelete, kKeyDelete},
    {kVkPadDivide, kKeyPadDivide},
    {kVkPadMultiply, kKeyPadMultiply},
    {kVkPadSubtract, kKeyPadSubtract},
    {kVkPadAdd, kKeyPadAdd},
    {kVkPadDecimal, kKeyPadDecimal},
    {kVkNumLock, kKeyNumLock},
    {kVkScrollLock, kKeyScrollLock},
};

struct ScancodeKey {
    SDL_Scancode scancode;
    int virtualKey;
};
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_RETURN, kVkReturn},
    {SDL_SCANCODE_RETURN2, kVkReturn},
    {SDL_SCANCODE_KP_ENTER, kVkReturn},
    {SDL_SCANCODE_ESCAPE, kVkEscape},
    {SDL_SCANCODE_BACKSPACE, kVkBackspace},
    {SDL_SCANCODE_TAB, kVkTab},
    {SDL_SCANCODE_SPACE, kVkSpace},
    {SDL_SCANCODE_MINUS, kVkMinus},
    {SDL_SCANCODE_EQUALS, kVkEquals},
    {SDL_SCANCODE_LEFTBRACKET, kVkLeftBracket},
    {SDL_SCANCODE_RIGHTBRACKET, kVkRightBracket},
    {SDL_SCANCODE_BACKSLASH, kVkBackslash},
    {SDL_SCANCODE_NONUSHASH, kVkBackslash},
    {SDL_SCANCODE_SEMICOLON, kVkSemicolon},
    {SDL_SCANCODE_APOSTROPHE, kVkApostrophe},
    {SDL_SCANCODE_GRAVE, kVkGrave},
    {SDL_SCANCODE_COMMA, kVkComma},
    {SDL_SCANCODE_PERIOD, kVkPeriod},
    {SDL_SCANCODE_SLASH, kVkSlash},
    {SDL_SCANCODE_NONUSBACKSLASH, kVkOem102},
    {SDL_SCANCODE_CAPSLOCK, kVkCapsLock},
    {SDL_SCANCODE_SCROLLLOCK, kVkScrollLock},
    {SDL_SCANCODE_PAUSE, kVkPause},
    {SDL_SCANCODE_INSERT, kVkInsert},
    {SDL_SCANCODE_HOME, kVkHome},
    {SDL_SCANCODE_PAGEUP, kVkPageUp},
    {SDL_SCANCODE_DELETE, kVkDelete},
    {SDL_SCANCODE_END, kVkEnd},
    {SDL_SCANCODE_PAGEDOWN, kVkPageDown},
    {SDL_SCANCODE_RIGHT, kVkRight},
    {SDL_SCANCODE_LEFT, kVkLeft},
    {SDL_SCANCODE_DOWN, kVkDown},
    {SDL_SCANCODE_UP, kVkUp},
    {SDL_SCANCODE_NUMLOCKCLEAR, kVkNumLock},
    {SDL_SCANCODE_KP_DIVIDE, kVkPadDivide},
    {SDL_SCANCODE_KP_MULTIPLY, kVkPadMultiply},
    {SDL_SCANCODE_KP_MINUS, kVkPadSubtract},
    {SDL_SCANCODE_KP_PLUS, kVkPadAdd},
    {SDL_SCANCODE_KP_PERIOD, kVkPadDecimal},
    {SDL_SCANCODE_KP_0, kVkPad0},
    {SDL_SCANCODE_CLEAR, kVkClear},
    {SDL_SCANCODE_KP_CLEAR, kVkClear},
    {SDL_SCANCODE_LCTRL, kVkControl},
    {SDL_SCANCODE_RCTRL, kVkControl},
    {SDL_SCANCODE_LSHIFT, kVkShift},
    {SDL_SCANCODE_RSHIFT, kVkShift},
    {SDL_SCANCODE_LALT, kVkAlt},
    {SDL_SCANCODE_RALT, kVkAlt},
};

// SDL numbers several runs of keys consecutively, in the order of their virtual keys.
bool InRun(SDL_Scancode scancode, SDL_Scancode first, SDL_Scancode last) {
    return scancode >= first && scancode <= last;
}

}  // namespace

int VirtualKeyFromScancode(SDL_Scancode scancode) {
    if (InRun(scancode, SDL_SCANCODE_A, SDL_SCANCODE_Z)) return kVkA + (scancode - SDL_SCANCODE_A);
    // SDL puts 0 after 9, as the keys sit on the keyboard.
    if (InRun(scancode, SDL_SCANCODE_1, SDL_SCANCODE_9)) return kVk0 + 1 + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return kVk0;
    if (InRun(scancode, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_9)) return kVkPad0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    if (InRun(scancode, SDL_SCANCODE_F1, SDL_SCANCODE_F12)) return kVkF1 + (scancode - SDL_SCANCODE_F1);
    if (InRun(scancode, SDL_SCANCODE_F13, SDL_SCANCODE_F24)) return kVkF1 + 12 + (scancode - SDL_SCANCODE_F13);
    for (const ScancodeKey& key : kScancodeKeys)
        if (key.scancode == scancode) return key.virtualKey;
    return 0;
}

int KeyCodeFromVirtualKey(int virtualKey, bool shiftDown) {
    if (virtualKey >= kVkA && virtualKey <= kVkZ) return shiftDown ? virtualKey : virtualKey - 'A' + 'a';
    if (virtualKey >= kVk0 && virtualKey < kVk0 + 10) return shiftDown ? kShiftedDigits[virtualKey - kVk0] : virtualKey;
    if (virtualKey >= kVkPad0 && virtualKey <= kVkPad9) return kKeyPad0 + (virtualKey - kVkPad0);
    if (virtualKey >= kVkF1 && virtualKey <= kVkF24) return kKeyF1 + (virtualKey - kVkF1);
    for (const Punctuation& key : kPunctuation)
        if (key.virtualKey == virtualKey) return shiftDown ? key.shifted : key.plain;
    for (const NamedKey& key : kNamedKeys)
        if (key.virtualKey == virtualKey) return key.keyCode;
    return virtualKey;
}

int TranslateKey(SDL_Scancode scancode, bool shiftDown) {
    const int virtualKey = VirtualKeyFromScancode(scancode);
    return virtualKey == 0 ? 0 : KeyCodeFromVirtualKey(virtualKey, shiftDown);
}
