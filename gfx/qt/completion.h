#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace gfx {

// One thread waits until another says it is done. Held through a shared pointer by both, so
// neither side can outlive it.
class Completion {
  public:
    void signal() {
        const std::lock_guard lock(mutex_);
        done_ = true;
        condition_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        condition_.wait(lock, [this] { return done_; });
    }
    // Waits no longer than `timeout`.
    void wait_for(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        condition_.wait_for(lock, timeout, [this] { return done_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool done_ = false;
};

}  // namespace gfx
