#include "base/file_lock.h"

namespace vek {

void FileWriteLock::lock() {
  while (mBusy.test_and_set(std::memory_order_acquire)) mBusy.wait(true, std::memory_order_relaxed);
}

void FileWriteLock::unlock() {
  mBusy.clear(std::memory_order_release);
  mBusy.notify_one();
}

}  // namespace vek
