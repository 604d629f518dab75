// Test helper: runs built programs and scripts as a user would, in a folder of the test's own,
// with their output captured. Header-only; the viewer's and the exporter's tests use it.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/scratch_root.h"

namespace viewer::test {

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// A fresh empty folder for the running test: <scratch root>/<prefix>.<test name>.
inline std::filesystem::path freshTestFolder(const std::string& prefix) {
  const auto folder = vek::test::scratchRoot() /
                      (prefix + "." + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// Runs `command` (quoted as the shell needs) in `folder`, standard input empty; its standard
// output and error are kept in the folder's stdout.txt and stderr.txt and returned.
inline Outcome runIn(const std::filesystem::path& folder, const std::string& command) {
  const std::string line = "cd '" + folder.string() + "' && " + command + " >stdout.txt 2>stderr.txt </dev/null";
  const int status = std::system(line.c_str());
  Outcome result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readAll(folder / "stdout.txt");
  result.err = readAll(folder / "stderr.txt");
  return result;
}

}  // namespace viewer::test
