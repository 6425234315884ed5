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
    clock.Reset();
    EXPECT_EQ(clock.Now(), 0) << "a reset while paused holds at zero";
    clock.Resume();
    source += 20;
    EXPECT_EQ(clock.Now(), 20) << "the paused time is not counted after resuming";
    clock.Resume();
    EXPECT_EQ(clock.Now(), 20) << "resuming a running clock changes nothing";
    clock.Shift(-30);
    EXPECT_EQ(clock.Now(), -10) << "a server correction shifts the clock";
    clock.Set(7000);
    source += 5;
    EXPECT_EQ(clock.Now(), 7005) << "a set clock runs on from the value set";
}

}  // namespace
