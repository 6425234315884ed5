#include "platform/key_translation.h"

#include <gtest/gtest.h>

#include "platform/window_root.h"

namespace {

// One row per kind of key: the printable US layout with and without Shift, then the
// game's own codes, which Shift leaves alone.
TEST(KeyTranslation, RepresentativeKeysOfEveryKind) {
    const struct {
        SDL_Scancode scancode;
        int plain, shifted;
        const char* rule;
    } cases[] = {
        {SDL_SCANCODE_A, 'a', 'A', "letters"},
        {SDL_SCANCODE_Z, 'z', 'Z', "letters"},
        {SDL_SCANCODE_2, '2', '@', "digits type their US symbols"},
        {SDL_SCANCODE_0, '0', ')', "digits type their US symbols"},
        {SDL_SCANCODE_SEMICOLON, ';', ':', "punctuation"},
        {SDL_SCANCODE_F1, 301, 301, "function keys are 301 to 324"},
        {SDL_SCANCODE_F24, 324, 324, "function keys are 301 to 324"},
        {SDL_SCANCODE_LEFT, 350, 350, "navigation"},
        {SDL_SCANCODE_DELETE, 359, 359, "navigation"},
        {SDL_SCANCODE_KP_0, 360, 360, "keypad digits are 360 to 369"},
        {SDL_SCANCODE_KP_PERIOD, 374, 374, "keypad"},
        {SDL_SCANCODE_KP_ENTER, kKeyEnter, kKeyEnter, "keypad Enter is Enter"},
        {SDL_SCANCODE_SCROLLLOCK, 376, 376, "locks"},
        {SDL_SCANCODE_CLEAR, 8, 8, "Clear is Backspace"},
        {SDL_SCANCODE_ESCAPE, 27, 27, "control"},
        {SDL_SCANCODE_RSHIFT, 380, 380, "both shifts are one key"},
        {SDL_SCANCODE_RCTRL, 382, 382, "both controls are one key"},
        {SDL_SCANCODE_LALT, 260, 260, "Alt"},
        {SDL_SCANCODE_CAPSLOCK, 261, 261, "Pause and Caps Lock share a code"},
        {SDL_SCANCODE_NONUSBACKSLASH, 226, 226, "a key without a rule keeps its virtual key"},
        {SDL_SCANCODE_LGUI, 0, 0, "keys the game does not know are not delivered"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + ": scancode " + std::to_string(c.scancode));
        EXPECT_EQ(TranslateKey(c.scancode, false), c.plain);
        EXPECT_EQ(TranslateKey(c.scancode, true), c.shifted);
    }
}

}  // namespace
