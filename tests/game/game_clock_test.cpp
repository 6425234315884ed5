#include "game/game_clock.h"

#include <gtest/gtest.h>

namespace {

class GameClockTest : public ::testing::Test {
protected:
    int64_t source = 1000;
    GameClock clock{[this] { return source; }};
};

TEST_F(GameClockTest, CountsFromConstructionAndReset) {
    source += 250;
    EXPECT_EQ(clock.Now(), 250);
    clock.Reset();
    EXPECT_EQ(clock.Now(), 0) << "a reset starts the count again";
    source += 40;
    EXPECT_EQ(clock.Now(), 40);
}

TEST_F(GameClockTest, PauseHoldsTheTimeAndResumeGoesOnFromThere) {
    source += 100;
    clock.Pause();
    source += 5000;
    EXPECT_EQ(clock.Now(), 100) << "a paused clock holds its time";
    EXPECT_TRUE(clock.Paused());
    clock.Pause();
    clock.Resume();
    EXPECT_EQ(clock.Now(), 100) << "the paused time is not counted after resuming";
    source += 20;
    EXPECT_EQ(clock.Now(), 120);
    clock.Resume();
    EXPECT_EQ(clock.Now(), 120) << "resuming a running clock changes nothing";
}

TEST_F(GameClockTest, ResetWhilePausedHoldsAtZero) {
    clock.Pause();
    source += 300;
    clock.Reset();
    source += 300;
    EXPECT_EQ(clock.Now(), 0);
    clock.Resume();
    source += 10;
    EXPECT_EQ(clock.Now(), 10);
}

TEST_F(GameClockTest, ServerCorrectionsMoveTheClock) {
    source += 100;
    clock.Shift(50);
    EXPECT_EQ(clock.Now(), 150) << "a shift moves the clock forward";
    clock.Shift(-30);
    EXPECT_EQ(clock.Now(), 120);
    clock.Set(7000);
    EXPECT_EQ(clock.Now(), 7000);
    source += 5;
    EXPECT_EQ(clock.Now(), 7005);
    clock.SetLastCorrection(12);
    EXPECT_EQ(clock.LastCorrection(), 12);
}

}  // namespace
