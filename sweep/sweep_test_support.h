// Helpers of the sweep's program tests: the built vek-sweep and vek-batch run on temporary
// folders, experiment files, and the reference a sweep is compared with (each run alone).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sweep/plan.h"

namespace vek::sweep::test {

struct Command {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs `command` with the shell in `folder`, its output captured.
Command runShell(const std::string& folder, const std::string& command);
// Runs the built vek-sweep with `arguments` (quoted as the shell needs) in `folder`.
Command runSweep(const std::string& folder, const std::string& arguments);

// Starts the built vek-sweep with `arguments` (quoted as the shell needs) in `folder` without
// waiting; output to folder + ".stdout.txt" and ".stderr.txt". Returns its process id.
int startSweep(const std::string& folder, const std::string& arguments);
// Waits for a process started so and returns its exit code (128 + signal when killed).
int waitForExit(int pid);

// Writes `text` as `folder` + `name` and returns the path.
std::string writeFile(const std::string& folder, const std::string& name, const std::string& text);

// The summary.csv of the experiment in `experimentFile` when each run is run alone, one after
// the other, by its line of commands.txt: planned and run in `folder`.
std::string summaryOfRunsAlone(const std::string& experimentFile, const std::string& folder);

// Rows of a CSV text by run number (its first field), the header under 0.
std::vector<std::string> csvLines(const std::string& text);

// The plan laid out in `directory` (a failure of the test when there is none).
Plan planIn(const std::string& directory);

// Polls `done` every 20 ms for up to `seconds`; true once it held.
bool waitFor(const std::function<bool()>& done, double seconds);

// The exit codes in a run folder's attempts.csv, in order.
std::vector<int> attemptExitCodes(const std::string& runFolder);

}  // namespace vek::sweep::test
