// FolderLock: a program's claim on a save folder for as long as it has that folder's world
// open, so that two programs (two vek-batch runs, or vek-batch and the windowed simulator)
// never run, log and save one world at the same time.
//
// An advisory lock (flock) on the file `vek.lock` in the folder. The file itself stays; it
// holds the last holder's program name, process and host, which a refused claim names. The
// kernel drops the lock when the process ends however it ends, so a killed run never leaves
// its folder locked.
//
// Owned by whoever has the folder's world open (the world's document). Any thread.
#pragma once

#include <string>

#include "base/file_outcome.h"

namespace vek {

inline constexpr const char* kFolderLockName = "vek.lock";

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Claims `folder` (ending in "/") for `program`. Fails, naming the folder and the holder,
  // when another process holds it, or when the lock file cannot be made. A claim already held
  // on another folder is given up first; claiming the same folder again succeeds at once.
  FileOutcome claim(const std::string& folder, const std::string& program);
  void release();
  const std::string& folder() const { return mFolder; }

 private:
  int mFd = -1;
  std::string mFolder;
};

}  // namespace vek
