#pragma once

#include <atomic>
#include <thread>

// The one kind of lock the game uses: a busy flag taken by atomic test-and-set,
// yielding the processor between attempts. Never re-entrant; hold it briefly.
class SpinLock {
public:
    void Lock() {
        while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    bool TryLock() { return !flag_.test_and_set(std::memory_order_acquire); }
    void Unlock() { flag_.clear(std::memory_order_release); }

    // Lets std::lock_guard and std::unique_lock hold it.
    void lock() { Lock(); }
    void unlock() { Unlock(); }

private:
    std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

class SpinLockGuard {
public:
    explicit SpinLockGuard(SpinLock& lock) : lock_(lock) { lock_.Lock(); }
    ~SpinLockGuard() { lock_.Unlock(); }
    SpinLockGuard(const SpinLockGuard&) = delete;
    SpinLockGuard& operator=(const SpinLockGuard&) = delete;

private:
    SpinLock& lock_;
};
