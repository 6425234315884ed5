#include "platform/window_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Step {
    Uint32 type;
    SDL_Scancode scancode;
    Uint16 modifiers;
    bool repeat;
    bool taken;
    WindowKey action;
};

SDL_Event Key(const Step& step) {
    SDL_Event event{};
    event.key.type = step.type;
    event.key.repeat = step.repeat ? 1 : 0;
    event.key.keysym.scancode = step.scancode;
    event.key.keysym.mod = step.modifiers;
    return event;
}

constexpr Uint32 kDown = SDL_KEYDOWN;
constexpr Uint32 kUp = SDL_KEYUP;
constexpr WindowKey kNone = WindowKey::kNone;
constexpr WindowKey kToggle = WindowKey::kToggleFullscreen;
constexpr WindowKey kShot = WindowKey::kScreenshot;

TEST(WindowKeys, TheWindowTakesF11AltEnterAndF12WholeAndLeavesTheRest) {
    struct Case {
        std::string what;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases{
        {"F11 toggles once, however long it is held",
         {{kDown, SDL_SCANCODE_F11, 0, false, true, kToggle},
          {kDown, SDL_SCANCODE_F11, 0, true, true, kNone},
          {kUp, SDL_SCANCODE_F11, 0, false, true, kNone}}},
        {"Alt+Enter toggles, and its Enter stays the window's after Alt is let go",
         {{kDown, SDL_SCANCODE_LALT, KMOD_LALT, false, false, kNone},
          {kDown, SDL_SCANCODE_RETURN, KMOD_LALT, false, true, kToggle},
          {kUp, SDL_SCANCODE_LALT, 0, false, false, kNone},
          {kUp, SDL_SCANCODE_RETURN, 0, false, true, kNone}}},
        {"Enter alone is the game's (player 1 fires)",
         {{kDown, SDL_SCANCODE_RETURN, 0, false, false, kNone}, {kUp, SDL_SCANCODE_RETURN, 0, false, false, kNone}}},
        {"other function keys are the game's",
         {{kDown, SDL_SCANCODE_F5, 0, false, false, kNone}, {kUp, SDL_SCANCODE_F5, 0, false, false, kNone}}},
        {"a second press acts again even when the first key-up was lost",
         {{kDown, SDL_SCANCODE_F11, 0, false, true, kToggle}, {kDown, SDL_SCANCODE_F11, 0, false, true, kToggle}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowKeyFilter filter;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i));
            WindowKey action = kShot;
            EXPECT_EQ(filter.Takes(Key(c.steps[i]), action), c.steps[i].taken);
            EXPECT_EQ(action, c.steps[i].action);
        }
    }
}

}  // namespace
