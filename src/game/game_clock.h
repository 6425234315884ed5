#pragma once

#include <cstdint>
#include <functional>

#include "base/spin_lock.h"

// The race's clock: milliseconds since its last reset, read from a time source that
// production takes from NowMs() and tests set by hand. It can be held while the game
// is paused (it then reads the same value until released, and resumes from there),
// and the game-server client moves it to keep in step with the server. Shared
// between the main thread and the network client thread.
class GameClock {
public:
    using TimeSource = std::function<int64_t()>;

    explicit GameClock(TimeSource source);

    int32_t Now() const;
    void Reset();
    void Pause();
    void Resume();
    bool Paused() const;
    // Moves the clock forward by `ms` (back when negative).
    void Shift(int32_t ms);
    // Makes the clock read `ms` now.
    void Set(int32_t ms);
    // The size of the server's last backward correction, kept for the client.
    int32_t LastCorrection() const;
    void SetLastCorrection(int32_t ms);

private:
    int64_t Reading() const;  // source time the clock reads at, under the lock

    TimeSource source_;
    mutable SpinLock lock_;
    int64_t base_ = 0;
    int64_t pausedAt_ = 0;
    bool paused_ = false;
    int32_t lastCorrection_ = 0;
};
