#include "platform/key_translation.h"

#include <gtest/gtest.h>

#include "platform/window_root.h"

namespace {

int Plain(SDL_Scancode scancode) { return TranslateKey(scancode, false); }
int Shifted(SDL_Scancode scancode) { return TranslateKey(scancode, true); }

TEST(KeyTranslation, LettersAreLowerCaseUnlessShiftIsDown) {
    EXPECT_EQ(Plain(SDL_SCANCODE_A), 'a');
    EXPECT_EQ(Shifted(SDL_SCANCODE_A), 'A');
    EXPECT_EQ(Plain(SDL_SCANCODE_Z), 'z');
    EXPECT_EQ(Shifted(SDL_SCANCODE_Z), 'Z');
    EXPECT_EQ(Plain(SDL_SCANCODE_Q), 'q');
}

TEST(KeyTranslation, DigitKeysTypeTheUsLayoutSymbolsWithShift) {
    const char plain[] = "1234567890";
    const char shifted[] = "!@#$%^&*()";
    for (int i = 0; i < 10; ++i) {
        const auto scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i);
        EXPECT_EQ(Plain(scancode), plain[i]) << "digit key " << plain[i];
        EXPECT_EQ(Shifted(scancode), shifted[i]) << "digit key " << plain[i];
    }
}

TEST(KeyTranslation, PunctuationKeysTypeTheUsLayoutCharacters) {
    struct Case {
        SDL_Scancode scancode;
        char plain;
        char shifted;
    };
    const Case cases[] = {
        {SDL_SCANCODE_SEMICOLON, ';', ':'},    {SDL_SCANCODE_EQUALS, '=', '+'},     {SDL_SCANCODE_COMMA, ',', '<'},
        {SDL_SCANCODE_MINUS, '-', '_'},        {SDL_SCANCODE_PERIOD, '.', '>'},     {SDL_SCANCODE_SLASH, '/', '?'},
        {SDL_SCANCODE_GRAVE, '`', '~'},        {SDL_SCANCODE_LEFTBRACKET, '[', '{'}, {SDL_SCANCODE_BACKSLASH, '\\', '|'},
        {SDL_SCANCODE_RIGHTBRACKET, ']', '}'}, {SDL_SCANCODE_APOSTROPHE, '\'', '"'},
    };
    for (const Case& key : cases) {
        EXPECT_EQ(Plain(key.scancode), key.plain) << "key " << key.plain;
        EXPECT_EQ(Shifted(key.scancode), key.shifted) << "key " << key.plain;
    }
}

TEST(KeyTranslation, FunctionKeysAre301To324) {
    EXPECT_EQ(Plain(SDL_SCANCODE_F1), 301);
    EXPECT_EQ(Plain(SDL_SCANCODE_F12), 312);
    EXPECT_EQ(Plain(SDL_SCANCODE_F13), 313);
    EXPECT_EQ(Shifted(SDL_SCANCODE_F24), 324);
}

TEST(KeyTranslation, NavigationKeys) {
    EXPECT_EQ(Plain(SDL_SCANCODE_LEFT), 350);
    EXPECT_EQ(Plain(SDL_SCANCODE_UP), 351);
    EXPECT_EQ(Plain(SDL_SCANCODE_RIGHT), 352);
    EXPECT_EQ(Plain(SDL_SCANCODE_DOWN), 353);
    EXPECT_EQ(Plain(SDL_SCANCODE_PAGEUP), 354);
    EXPECT_EQ(Plain(SDL_SCANCODE_PAGEDOWN), 355);
    EXPECT_EQ(Plain(SDL_SCANCODE_HOME), 356);
    EXPECT_EQ(Plain(SDL_SCANCODE_END), 357);
    EXPECT_EQ(Plain(SDL_SCANCODE_INSERT), 358);
    EXPECT_EQ(Plain(SDL_SCANCODE_DELETE), 359);
}

TEST(KeyTranslation, KeypadKeysHaveCodesOfTheirOwn) {
    EXPECT_EQ(Plain(SDL_SCANCODE_KP_0), 360);
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(Plain(static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i - 1)), 360 + i) << "keypad " << i;
    EXPECT_EQ(Plain(SDL_SCANCODE_KP_DIVIDE), 370);
    EXPECT_EQ(Plain(SDL_SCANCODE_KP_MULTIPLY), 371);
    EXPECT_EQ(Plain(SDL_SCANCODE_KP_MINUS), 372);
    EXPECT_EQ(Plain(SDL_SCANCODE_KP_PLUS), 373);
    EXPECT_EQ(Shifted(SDL_SCANCODE_KP_PERIOD), 374);
    EXPECT_EQ(Plain(SDL_SCANCODE_KP_ENTER), kKeyEnter) << "keypad Enter is Enter";
    EXPECT_EQ(Plain(SDL_SCANCODE_NUMLOCKCLEAR), 375);
    EXPECT_EQ(Plain(SDL_SCANCODE_SCROLLLOCK), 376);
}

TEST(KeyTranslation, ControlKeys) {
    EXPECT_EQ(Plain(SDL_SCANCODE_BACKSPACE), 8);
    EXPECT_EQ(Plain(SDL_SCANCODE_TAB), 9);
    EXPECT_EQ(Plain(SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(Plain(SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(Shifted(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(Plain(SDL_SCANCODE_CLEAR), 8);
    EXPECT_EQ(Plain(SDL_SCANCODE_LSHIFT), 380);
    EXPECT_EQ(Plain(SDL_SCANCODE_RSHIFT), 380);
    EXPECT_EQ(Plain(SDL_SCANCODE_LCTRL), 382);
    EXPECT_EQ(Plain(SDL_SCANCODE_RCTRL), 382);
    EXPECT_EQ(Plain(SDL_SCANCODE_LALT), 260);
    EXPECT_EQ(Plain(SDL_SCANCODE_PAUSE), 261);
    EXPECT_EQ(Plain(SDL_SCANCODE_CAPSLOCK), 261);
}

TEST(KeyTranslation, KeysWithoutARuleKeepTheirVirtualKey) {
    EXPECT_EQ(KeyCodeFromVirtualKey(8, false), 8);
    EXPECT_EQ(KeyCodeFromVirtualKey(226, true), 226);
    EXPECT_EQ(Plain(SDL_SCANCODE_NONUSBACKSLASH), 226);
}

TEST(KeyTranslation, KeysTheGameDoesNotKnowAreNotDelivered) {
    EXPECT_EQ(Plain(SDL_SCANCODE_LGUI), 0);
    EXPECT_EQ(Plain(SDL_SCANCODE_AUDIOPLAY), 0);
    EXPECT_EQ(Plain(SDL_SCANCODE_UNKNOWN), 0);
}

}  // namespace
