// A first-come, first-served mutex. The world's worker takes it for every step and the user
// interface for every look at the world; with a plain mutex the worker, which re-locks at
// once after each step, could keep a reader waiting indefinitely (or the other way round).
// Tickets make them take turns in arrival order. Any thread; not recursive.
//
// The worker locks it a few thousand times per turn, mostly with no one else about, so an
// uncontended lock and unlock are one atomic operation each; only a thread that finds the
// mutex taken sleeps (on the serving counter) until its ticket comes up.
#pragma once

#include <atomic>
#include <cstdint>

class FairMutex {
 public:
  void lock() {
    const std::uint32_t ticket = mNext.fetch_add(1, std::memory_order_relaxed);
    for (;;) {
      const std::uint32_t serving = mServing.load(std::memory_order_acquire);
      if (serving == ticket) return;
      mServing.wait(serving, std::memory_order_acquire);
    }
  }
  void unlock() {
    mServing.fetch_add(1, std::memory_order_release);
    mServing.notify_all();
  }
  // Whether another thread has taken a ticket since the holder's: asked by the holder, who
  // may then keep the mutex for more work only while this is false.
  bool othersWaiting() const {
    return mNext.load(std::memory_order_relaxed) - mServing.load(std::memory_order_relaxed) > 1;
  }

 private:
  // Tickets wrap around after 2^32 locks; only equality is ever asked of them.
  std::atomic<std::uint32_t> mNext{0};
  std::atomic<std::uint32_t> mServing{0};
};
