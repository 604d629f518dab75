// fileWriteBusy: the one lock that serialises every file write of the program, so that the
// per-turn logs written on the world's thread never interleave with a save, a snapshot or a
// table written on the user interface's thread.
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

// The program's flag.
FileWriteLock& fileWriteBusy();

// Holds the program's flag for a scope.
class FileWriteGuard {
 public:
  FileWriteGuard() { fileWriteBusy().lock(); }
  ~FileWriteGuard() { fileWriteBusy().unlock(); }
  FileWriteGuard(const FileWriteGuard&) = delete;
  FileWriteGuard& operator=(const FileWriteGuard&) = delete;
};

}  // namespace vek
