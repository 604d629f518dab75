// The sweep's one way of reporting a failure: "vek-sweep: " and the message on standard
// error. Returns 1, the exit code of a command that could not do its work.
#pragma once

#include <cstdio>
#include <string>

namespace vek::sweep {

inline int fail(const std::string& message) {
  std::fprintf(stderr, "vek-sweep: %s\n", message.c_str());
  return 1;
}

}  // namespace vek::sweep
