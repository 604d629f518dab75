// The folder under which a build's tests make their scratch folders.
//
// <temp>/vek_tests-<tag>, the tag taken from the folder of the running test program: the tests
// of two build trees (a checkout's build/ and build-asan/, or two checkouts on one machine) can
// run at the same time without removing each other's folders. Header only, for every test
// program; any thread may call it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace vek::test {

inline std::filesystem::path scratchRoot() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  char tag[9];
  std::snprintf(tag, sizeof tag, "%08zx", std::hash<std::string>{}(program.parent_path().string()) & 0xffffffffu);
  return std::filesystem::temp_directory_path() / ("vek_tests-" + std::string(tag));
}

}  // namespace vek::test
