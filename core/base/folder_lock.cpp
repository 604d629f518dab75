#include "base/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vek {

namespace {

std::string hostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "this machine";
  return name;
}

// What the holder wrote into the lock file: "program process host".
std::string holderOf(int fd) {
  char text[512] = {};
  const ssize_t got = pread(fd, text, sizeof text - 1, 0);
  if (got <= 0) return "another process";
  std::string holder(text, static_cast<size_t>(got));
  while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\r')) holder.pop_back();
  const size_t first = holder.find(' ');
  const size_t second = first == std::string::npos ? std::string::npos : holder.find(' ', first + 1);
  if (second == std::string::npos) return "another process";
  return holder.substr(0, first) + " (process " + holder.substr(first + 1, second - first - 1) + " on " +
         holder.substr(second + 1) + ")";
}

}  // namespace

FolderLock::~FolderLock() { release(); }

FileOutcome FolderLock::claim(const std::string& folder, const std::string& program) {
  if (mFd >= 0 && folder == mFolder) return {};
  release();
  const std::string path = folder + kFolderLockName;
  errno = 0;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return {describeFileError("cannot lock the save folder: cannot open", path)};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    const std::string holder = holderOf(fd);
    ::close(fd);
    if (error == EWOULDBLOCK)
      return {folder + " is in use by " + holder + "; a save folder is run by one program at a time"};
    errno = error;
    return {describeFileError("cannot lock the save folder", path)};
  }
  const std::string me = program + " " + std::to_string(::getpid()) + " " + hostName() + "\n";
  if (::ftruncate(fd, 0) == 0) {
    const ssize_t written = ::pwrite(fd, me.data(), me.size(), 0);
    (void)written;  // the name only helps a refused claim's message; the lock holds without it
  }
  mFd = fd;
  mFolder = folder;
  return {};
}

void FolderLock::release() {
  if (mFd < 0) return;
  ::flock(mFd, LOCK_UN);
  ::close(mFd);
  mFd = -1;
  mFolder.clear();
}

}  // namespace vek
