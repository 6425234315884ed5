#include "base/main_thread_queue.h"

#include <utility>

uint64_t MainThreadQueue::Push(Action action) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (closed_) return 0;
    pending_.push_back(std::move(action));
    return ++posted_;
}

void MainThreadQueue::Post(Action action) { Push(std::move(action)); }

bool MainThreadQueue::PostAndWait(Action action) {
    const uint64_t ticket = Push(std::move(action));
    std::unique_lock<std::mutex> lock(mutex_);
    if (ticket == 0) return false;
    done_.wait(lock, [&] { return closed_ || finished_ >= ticket; });
    return finished_ >= ticket && !closed_;
}

void MainThreadQueue::RunPending() {
    std::deque<Action> batch;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        batch.swap(pending_);
    }
    for (Action& action : batch) {
        if (Closed()) return;  // Close has released the waiters; the rest is dropped
        action();
        std::lock_guard<std::mutex> guard(mutex_);
        ++finished_;
        done_.notify_all();
    }
}

void MainThreadQueue::Close() {
    std::lock_guard<std::mutex> guard(mutex_);
    closed_ = true;
    finished_ += pending_.size();
    pending_.clear();
    done_.notify_all();
}

bool MainThreadQueue::Closed() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return closed_;
}
