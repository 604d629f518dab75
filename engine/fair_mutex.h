// A first-come, first-served mutex. The world's worker takes it for every step and the user
// interface for every look at the world; with a plain mutex the worker, which re-locks at
// once after each step, could keep a reader waiting indefinitely (or the other way round).
// Tickets make them take turns in arrival order. Any thread; not recursive.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

class FairMutex {
 public:
  void lock() {
    std::unique_lock<std::mutex> guard(mMutex);
    const std::uint64_t ticket = mNext++;
    mTurn.wait(guard, [&] { return mServing == ticket; });
  }
  void unlock() {
    {
      std::lock_guard<std::mutex> guard(mMutex);
      ++mServing;
    }
    mTurn.notify_all();
  }

 private:
  std::mutex mMutex;
  std::condition_variable mTurn;
  std::uint64_t mNext = 0;
  std::uint64_t mServing = 0;
};
