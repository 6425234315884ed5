#include "game/game_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(GameClock, CountsFromResetHoldsWhilePausedAndTakesServerCorrections) {
    int64_t source = 1000;
    GameClock clock{[&source] { return source; }};
    source += 250;
    EXPECT_EQ(clock.Now(), 250) << "the clock counts from its construction";
    clock.Reset();
    source += 100;
    clock.Pause();
    source += 5000;
    EXPECT_EQ(clock.Now(), 100) << "a paused clock holds its time";
    clock.Resume();
    source += 20;
    EXPECT_EQ(clock.Now(), 120) << "the paused time is not counted after resuming";
    clock.Shift(-30);
    EXPECT_EQ(clock.Now(), 90) << "a server correction shifts the clock";
}

}  // namespace
