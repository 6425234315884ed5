#include "base/main_thread_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

// Runs the queue's frames until `done` or a generous bound: the poster is a real thread.
template <typename Done>
bool RunFramesUntil(MainThreadQueue& queue, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        queue.RunPending();
        std::this_thread::yield();
    }
    return true;
}

TEST(MainThreadQueueTest, ActionsRunInPostedOrderAtTheFrameAndTheirOwnPostsWaitForTheNext) {
    MainThreadQueue queue;
    std::vector<std::string> ran;
    queue.Post([&] { ran.push_back("first"); });
    queue.Post([&] {
        ran.push_back("second");
        queue.Post([&] { ran.push_back("posted while running"); });
    });
    EXPECT_TRUE(ran.empty()) << "nothing runs before the frame drains the queue";
    queue.RunPending();
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
    queue.RunPending();
    EXPECT_EQ(ran.back(), "posted while running");
}

TEST(MainThreadQueueTest, AWaitingPosterReturnsOnceTheMainThreadRanItsAction) {
    MainThreadQueue queue;
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    bool result = false;
    std::thread poster([&] {
        result = queue.PostAndWait([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    const bool finished = RunFramesUntil(queue, [&] { return returned.load(); });
    poster.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(result);
    EXPECT_EQ(ranOn, std::this_thread::get_id()) << "the action runs on the thread that drains the queue";
}

TEST(MainThreadQueueTest, CloseReleasesAWaitingPosterDropsWhatWaitsAndRefusesMore) {
    MainThreadQueue queue;
    std::atomic<bool> ran{false};
    std::atomic<int> outcome{-1};
    std::thread poster([&] { outcome = queue.PostAndWait([&] { ran = true; }) ? 1 : 0; });
    // The poster is blocked once its action is in the queue; closing must free it.
    while (outcome.load() == -1) {
        queue.Close();
        std::this_thread::yield();
    }
    poster.join();
    EXPECT_EQ(outcome.load(), 0);
    queue.Post([&] { ran = true; });
    EXPECT_FALSE(queue.PostAndWait([&] { ran = true; })) << "a closed queue takes nothing";
    queue.RunPending();
    EXPECT_FALSE(ran.load());
}

}  // namespace
