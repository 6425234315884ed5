#include "platform/key_translation.h"

#include <gtest/gtest.h>

#include "platform/window_root.h"

namespace {

TEST(KeyTranslation, PrintableKeysTypeTheUsLayoutCharactersWithAndWithoutShift) {
    const char plain[] = "abcdefghijklmnopqrstuvwxyz1234567890;=,-./`[\\]'";
    const char shifted[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*():+<_>?~{|}\"";
    const SDL_Scancode punctuation[] = {SDL_SCANCODE_SEMICOLON, SDL_SCANCODE_EQUALS,      SDL_SCANCODE_COMMA,
                                        SDL_SCANCODE_MINUS,     SDL_SCANCODE_PERIOD,      SDL_SCANCODE_SLASH,
                                        SDL_SCANCODE_GRAVE,     SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_BACKSLASH,
                                        SDL_SCANCODE_RIGHTBRACKET, SDL_SCANCODE_APOSTROPHE};
    for (size_t i = 0; i < sizeof plain - 1; ++i) {
        SDL_Scancode scancode;
        if (i < 26)
            scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + i);
        else if (i < 36)
            scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (i - 26));
        else
            scancode = punctuation[i - 36];
        EXPECT_EQ(TranslateKey(scancode, false), plain[i]) << "key " << plain[i] << " without shift";
        EXPECT_EQ(TranslateKey(scancode, true), shifted[i]) << "key " << plain[i] << " with shift";
    }
}

TEST(KeyTranslation, OtherKeysHaveTheGamesCodesWhateverShift) {
    struct Case {
        SDL_Scancode scancode;
        int code;
        const char* rule;
    };
    const Case cases[] = {
        {SDL_SCANCODE_F1, 301, "function keys are 301 to 324"},
        {SDL_SCANCODE_F12, 312, "function keys are 301 to 324"},
        {SDL_SCANCODE_F13, 313, "function keys are 301 to 324"},
        {SDL_SCANCODE_F24, 324, "function keys are 301 to 324"},
        {SDL_SCANCODE_LEFT, 350, "navigation"},
        {SDL_SCANCODE_UP, 351, "navigation"},
        {SDL_SCANCODE_RIGHT, 352, "navigation"},
        {SDL_SCANCODE_DOWN, 353, "navigation"},
        {SDL_SCANCODE_PAGEUP, 354, "navigation"},
        {SDL_SCANCODE_PAGEDOWN, 355, "navigation"},
        {SDL_SCANCODE_HOME, 356, "navigation"},
        {SDL_SCANCODE_END, 357, "navigation"},
        {SDL_SCANCODE_INSERT, 358, "navigation"},
        {SDL_SCANCODE_DELETE, 359, "navigation"},
        {SDL_SCANCODE_KP_0, 360, "keypad digits are 360 to 369"},
        {SDL_SCANCODE_KP_1, 361, "keypad digits are 360 to 369"},
        {SDL_SCANCODE_KP_9, 369, "keypad digits are 360 to 369"},
        {SDL_SCANCODE_KP_DIVIDE, 370, "keypad"},
        {SDL_SCANCODE_KP_MULTIPLY, 371, "keypad"},
        {SDL_SCANCODE_KP_MINUS, 372, "keypad"},
        {SDL_SCANCODE_KP_PLUS, 373, "keypad"},
        {SDL_SCANCODE_KP_PERIOD, 374, "keypad"},
        {SDL_SCANCODE_KP_ENTER, kKeyEnter, "keypad Enter is Enter"},
        {SDL_SCANCODE_NUMLOCKCLEAR, 375, "locks"},
        {SDL_SCANCODE_SCROLLLOCK, 376, "locks"},
        {SDL_SCANCODE_BACKSPACE, 8, "control"},
        {SDL_SCANCODE_CLEAR, 8, "Clear is Backspace"},
        {SDL_SCANCODE_TAB, 9, "control"},
        {SDL_SCANCODE_RETURN, 13, "control"},
        {SDL_SCANCODE_ESCAPE, 27, "control"},
        {SDL_SCANCODE_SPACE, 32, "control"},
        {SDL_SCANCODE_LSHIFT, 380, "both shifts are one key"},
        {SDL_SCANCODE_RSHIFT, 380, "both shifts are one key"},
        {SDL_SCANCODE_LCTRL, 382, "both controls are one key"},
        {SDL_SCANCODE_RCTRL, 382, "both controls are one key"},
        {SDL_SCANCODE_LALT, 260, "Alt"},
        {SDL_SCANCODE_PAUSE, 261, "Pause and Caps Lock share a code"},
        {SDL_SCANCODE_CAPSLOCK, 261, "Pause and Caps Lock share a code"},
        {SDL_SCANCODE_NONUSBACKSLASH, 226, "a key without a rule keeps its virtual key"},
        {SDL_SCANCODE_LGUI, 0, "keys the game does not know are not delivered"},
        {SDL_SCANCODE_AUDIOPLAY, 0, "keys the game does not know are not delivered"},
        {SDL_SCANCODE_UNKNOWN, 0, "keys the game does not know are not delivered"},
    };
    for (const Case& c : cases) {
        for (bool shift : {false, true})
            EXPECT_EQ(TranslateKey(c.scancode, shift), c.code)
                << c.rule << ": scancode " << static_cast<int>(c.scancode) << (shift ? " with shift" : "");
    }
    EXPECT_EQ(KeyCodeFromVirtualKey(8, false), 8);
    EXPECT_EQ(KeyCodeFromVirtualKey(226, true), 226);
}

}  // namespace
