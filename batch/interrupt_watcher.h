// Turns Ctrl-C (SIGINT), SIGTERM (a scheduler's stop or preemption), SIGHUP (a dropped ssh
// session) and SIGQUIT into an orderly stop: the world is paused after its current step and
// saved, so a long run that is interrupted loses nothing.
//
// Construct it first in the program, before any other thread: it blocks the signals in
// the calling thread, so every thread made afterwards (the world's worker) inherits the mask
// and only the watcher's own thread receives them. The action runs on that thread.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

namespace vek::batch {

class InterruptWatcher {
 public:
  InterruptWatcher();
  // Stops the watcher's thread. Clear the action before what it refers to is destroyed.
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  // What the first signal does (e.g. pause the world). Runs under the watcher's lock.
  void setAction(std::function<void()> action);
  void clearAction() { setAction(nullptr); }

  // Runs `go` under the watcher's lock unless a signal has come, and says whether it ran. A
  // signal therefore arrives either before `go` (and `go` never runs) or after it (and its
  // action sees what `go` did), never in between.
  bool unlessInterrupted(const std::function<void()>& go);
  bool interrupted() const;
  // The first signal that came (0 while none came).
  int signal() const;

 private:
  void watch();

  mutable std::mutex mLock;
  std::function<void()> mAction;
  bool mInterrupted = false;
  int mSignal = 0;
  bool mStopping = false;
  std::thread mThread;
};

}  // namespace vek::batch
