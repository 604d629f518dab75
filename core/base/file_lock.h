// FileWriteLock: the lock that serialises the file writes of a program around one world, so
// that the per-turn logs written on the world's thread never interleave with a save, a
// snapshot or a table written on the user interface's thread. The program owns it (the
// windowed simulator's fileWriteBusy, a batch run's own) and hands it to every writer.
//
// Any thread. Not recursive: a holder must not take it again.
#pragma once

#include <atomic>

namespace vek {

class FileWriteLock {
 public:
  // Waits until the flag is clear, then sets it (atomic test-and-set; the wait sleeps).
  void lock();
  void unlock();
  bool isBusy() const { return mBusy.test(); }

 private:
  std::atomic_flag mBusy = ATOMIC_FLAG_INIT;
};

// Holds a lock for a scope.
class FileWriteGuard {
 public:
  explicit FileWriteGuard(FileWriteLock& lock) : mLock(lock) { mLock.lock(); }
  ~FileWriteGuard() { mLock.unlock(); }
  FileWriteGuard(const FileWriteGuard&) = delete;
  FileWriteGuard& operator=(const FileWriteGuard&) = delete;

 private:
  FileWriteLock& mLock;
};

}  // namespace vek
