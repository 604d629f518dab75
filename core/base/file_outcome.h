// What a file operation of the records reports: nothing when it succeeded, else one line for
// a person that names the file and the fault. Plain value.
#pragma once

#include <string>

namespace vek {

struct FileOutcome {
  std::string error;
  bool ok() const { return error.empty(); }
};

// "<what> <path>", followed by ": <reason of errno>" when errno holds one. Call right after
// the failing operation, before anything else can change errno.
std::string describeFileError(const std::string& what, const std::string& path);

}  // namespace vek
