#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

// How another thread (the replay thread, the network client thread) has something done
// to the game, the scene or the widgets, which belong to the main thread: it posts an
// action here and the main thread runs the waiting actions, in the order posted, at one
// fixed point of its frame. A std::mutex guards the list because a poster may block
// waiting for its action; no action runs with it held.
class MainThreadQueue {
public:
    using Action = std::function<void()>;

    // Any thread. After Close the action is dropped.
    void Post(Action action);
    // Any thread but the main one: posts, then blocks until the main thread has run the
    // action. False when the queue was closed before the action had finished.
    bool PostAndWait(Action action);

    // Main thread, once per frame: runs the actions posted before the call. Actions they
    // post wait for the next frame.
    void RunPending();

    // Main thread, before its other threads are joined: drops what is waiting, wakes
    // every waiting poster and refuses later posts.
    void Close();
    bool Closed() const;

private:
    uint64_t Push(Action action);

    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::deque<Action> pending_;
    uint64_t posted_ = 0;    // actions ever accepted
    uint64_t finished_ = 0;  // of those, run or dropped
    bool closed_ = false;
};
