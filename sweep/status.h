// `vek-sweep status DIR`: how far the runs of a plan are, read from their folders alone, so it
// tells the same whichever engine ran them.
//
// Any thread.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "sweep/plan.h"
#include "sweep/run_folder.h"

namespace vek::sweep {

struct StatusCounts {
  std::array<int, 5> byState{};  // indexed by RunState
  int of(RunState state) const { return byState[static_cast<int>(state)]; }
};

// The counts in one line: "12 runs: 8 done, 2 running, 1 interrupted, 1 failed, 0 not started".
std::string countsLine(const StatusCounts& counts, int runs);
StatusCounts countRuns(const Plan& plan);

// Run numbers in ascending order as ranges: "1-4" + separator + "7" + separator + "9-12".
std::string rangesText(const std::vector<int>& ids, const std::string& separator);

// The whole report: the counts, then every run that is running, interrupted or failed (the
// failed with the last lines of their output), then the runs not started.
std::string statusReport(const Plan& plan);

}  // namespace vek::sweep
