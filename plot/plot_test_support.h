// Helpers of the plot tests: temporary folders, hand-made logs, and the built programs run
// as a user runs them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vek::plot::test {

// A fresh empty folder under the temporary directory, named after the running test, ending in "/".
std::string freshFolder(const std::string& name);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// A log of one value per line, "time value" with CR LF, the time counting 10 steps a turn.
std::string valueLog(const std::vector<double>& values);

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs `program` with `arguments` (quoted as the shell needs) in `folder`, with `environment`
// ("NAME=value ..." or "") in front of it.
ProgramRun runProgram(const std::string& program, const std::string& arguments, const std::string& folder,
                      const std::string& environment = "");

// A save folder written by vek-batch: a world grown from the built-in genome for `turns`
// turns under `base`. Returns the folder ending in "/".
std::string batchWorld(const std::string& base, int turns);

}  // namespace vek::plot::test
