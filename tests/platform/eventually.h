#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Asks `done` until it holds, for what a child process does in its own time; gives up
// after ten seconds so a broken child fails the test instead of hanging it.
inline bool Eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::yield();
    }
    return true;
}
