#include "game/game_clock.h"

#include <utility>

GameClock::GameClock(TimeSource source) : source_(std::move(source)) { base_ = source_(); }

int64_t GameClock::Reading() const { return paused_ ? pausedAt_ : source_(); }

int32_t GameClock::Now() const {
    SpinLockGuard guard(lock_);
    return static_cast<int32_t>(Reading() - base_);
}

void GameClock::Reset() {
    SpinLockGuard guard(lock_);
    base_ = source_();
    pausedAt_ = base_;
}

void GameClock::Pause() {
    SpinLockGuard guard(lock_);
    if (paused_) return;
    pausedAt_ = source_();
    paused_ = true;
}

void GameClock::Resume() {
    SpinLockGuard guard(lock_);
    if (!paused_) return;
    base_ += source_() - pausedAt_;
    paused_ = false;
}

bool GameClock::Paused() const {
    SpinLockGuard guard(lock_);
    return paused_;
}

void GameClock::Shift(int32_t ms) {
    SpinLockGuard guard(lock_);
    base_ -= ms;
}

void GameClock::Set(int32_t ms) {
    SpinLockGuard guard(lock_);
    base_ = Reading() - ms;
}

int32_t GameClock::LastCorrection() const {
    SpinLockGuard guard(lock_);
    return lastCorrection_;
}

void GameClock::SetLastCorrection(int32_t ms) {
    SpinLockGuard guard(lock_);
    lastCorrection_ = ms;
}
