#include "batch/interrupt_watcher.h"

#include <pthread.h>
#include <signal.h>

namespace vek::batch {

namespace {

// SIGUSR1 is how the destructor wakes the watcher to end it.
sigset_t watchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  sigaddset(&set, SIGQUIT);
  sigaddset(&set, SIGUSR1);
  return set;
}

}  // namespace

InterruptWatcher::InterruptWatcher() {
  const sigset_t set = watchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  mThread = std::thread([this] { watch(); });
}

InterruptWatcher::~InterruptWatcher() {
  {
    std::lock_guard<std::mutex> lock(mLock);
    mStopping = true;
    mAction = nullptr;
  }
  pthread_kill(mThread.native_handle(), SIGUSR1);
  mThread.join();
}

void InterruptWatcher::setAction(std::function<void()> action) {
  std::lock_guard<std::mutex> lock(mLock);
  mAction = std::move(action);
}

bool InterruptWatcher::unlessInterrupted(const std::function<void()>& go) {
  std::lock_guard<std::mutex> lock(mLock);
  if (mInterrupted) return false;
  go();
  return true;
}

bool InterruptWatcher::interrupted() const {
  std::lock_guard<std::mutex> lock(mLock);
  return mInterrupted;
}

int InterruptWatcher::signal() const {
  std::lock_guard<std::mutex> lock(mLock);
  return mSignal;
}

void InterruptWatcher::watch() {
  const sigset_t set = watchedSignals();
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    std::lock_guard<std::mutex> lock(mLock);
    if (mStopping) return;
    if (signal == SIGUSR1) continue;
    const bool first = !mInterrupted;
    mInterrupted = true;
    if (first) mSignal = signal;
    if (first && mAction) mAction();
  }
}

}  // namespace vek::batch
