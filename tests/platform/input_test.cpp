#include "platform/input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_root.h"
#include "platform/input_events.h"

namespace {

using Calls = std::vector<std::string>;

SDL_Event Key(Uint32 type, SDL_Scancode scancode, bool repeat = false) {
    SDL_Event event{};
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    return event;
}

SDL_Event Button(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event event{};
    event.button.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event Motion(int x, int y) {
    SDL_Event event{};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

class InputEvents : public testing::Test {
protected:
    void SetUp() override { ResetInput(); }
    void TearDown() override { ResetInput(); }

    void Feed(const SDL_Event& event, Uint16 modifiers = KMOD_NONE) {
        EXPECT_TRUE(HandleInputEvent(root, event, modifiers));
    }
    void Press(SDL_Scancode scancode, bool repeat = false) { Feed(Key(SDL_KEYDOWN, scancode, repeat)); }
    void Release(SDL_Scancode scancode) { Feed(Key(SDL_KEYUP, scancode)); }

    FakeRoot root;
};

TEST_F(InputEvents, KeysGoToTheRootWithShiftedCharactersAndTrackTheKeyState) {
    Press(SDL_SCANCODE_A);
    EXPECT_TRUE(IsKeyDown('a'));
    Release(SDL_SCANCODE_A);
    EXPECT_FALSE(IsKeyDown('a'));
    Press(SDL_SCANCODE_LGUI);  // unknown keys are not delivered
    Press(SDL_SCANCODE_E);
    Press(SDL_SCANCODE_LSHIFT);
    Release(SDL_SCANCODE_E);
    EXPECT_FALSE(IsKeyDown('e')) << "a key-up carries the code of its key-down, whatever Shift did since";
    Press(SDL_SCANCODE_2);
    Release(SDL_SCANCODE_LSHIFT);
    EXPECT_EQ(root.calls, (Calls{"down 97", "up 97", "down 101", "down 380", "up 101", "down 64", "up 380"}));
}

TEST_F(InputEvents, AHeldKeyGivesOneKeyDownWhileTheFilterIsOnAndEveryRepeatWhileOff) {
    for (bool filter : {true, false}) {
        SCOPED_TRACE(filter ? "filter on" : "filter off");
        root.calls.clear();
        SetRepeatFilter(filter);
        Press(SDL_SCANCODE_E);
        Press(SDL_SCANCODE_E, true);
        Press(SDL_SCANCODE_E, true);
        Release(SDL_SCANCODE_E);
        EXPECT_EQ(root.calls,
                  filter ? (Calls{"down 101", "up 101"}) : (Calls{"down 101", "down 101", "down 101", "up 101"}));
    }
    SetRepeatFilter(true);
    root.calls.clear();
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20));
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 40));
    EXPECT_EQ(root.calls, (Calls{"down 385"})) << "a click after a lost button-up is dropped while the filter is on";
    EXPECT_EQ(GetMousePosition().x, 30) << "the position is stored even when the click is dropped";
}

TEST_F(InputEvents, MouseMovesAndButtonsAreStoredAndPassedOnAsKeyCodes) {
    Feed(Motion(120, 45));
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20));
    Feed(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 11, 21));
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 12, 22));
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 13, 23));
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_FALSE(HandleInputEvent(root, quit, KMOD_NONE)) << "only input events are handled";
    EXPECT_EQ(root.calls, (Calls{"move 120,45", "down 385", "up 385", "down 386", "down 387"}))
        << "other buttons are ignored";
    EXPECT_FALSE(IsKeyDown(kMouseLeft));
    EXPECT_TRUE(IsKeyDown(kMouseRight));
    EXPECT_EQ(GetMousePosition().x, 13) << "a click moves the stored mouse position";
    EXPECT_EQ(GetMousePosition().y, 23);
    EXPECT_FALSE(IsKeyDown(400) || IsKeyDown(-1)) << "only codes 0 to 399 have a key state";
}

TEST_F(InputEvents, ClicksTakeShiftAndControlFromTheModifiers) {
    Press(SDL_SCANCODE_LSHIFT);
    Feed(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1), KMOD_LCTRL);
    EXPECT_FALSE(IsKeyDown(kKeyShift)) << "Shift was released while the focus was elsewhere";
    EXPECT_TRUE(IsKeyDown(kKeyControl));
    Press(SDL_SCANCODE_A);
    EXPECT_EQ(root.calls.back(), "down 97");
}

}  // namespace
