#include "base/file_outcome.h"

#include <cerrno>
#include <cstring>

namespace vek {

std::string describeFileError(const std::string& what, const std::string& path) {
  const int code = errno;
  std::string text = what + " " + path;
  if (code != 0) text += std::string(": ") + std::strerror(code);
  return text;
}

}  // namespace vek
