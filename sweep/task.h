// One run of a plan, as an engine runs it (`vek-sweep task DIR RUN`: a line of GNU parallel's
// job list, the body of a Slurm array task). It takes the run's lock, runs the run's vek-batch
// command in the plan folder with its output appended to the run's run.log, passes on the
// signals that stop it (so the world is saved), and records the attempt in attempts.csv.
//
// Main thread only (see processes.h).
#pragma once

#include <string>
#include <vector>

#include "sweep/plan.h"

namespace vek::sweep {

// The command an engine gives for one run: this program's task with the plan's folder, absolute
// paths throughout, then the run's number (which taskPrefix leaves for the engine to add).
std::vector<std::string> taskPrefix(const Plan& plan);
std::vector<std::string> taskArguments(const Plan& plan, const Run& run);

// The time now as "2026-01-31T09:00:00Z", for the sweep's records.
std::string utcNow();

// The exit code: vek-batch's (0 when the run is, or already was, finished; 130 or 143 when it
// was stopped and saved), or 1 when the run could not be started (the message is on standard
// error).
int runTask(const std::string& planDirectory, int runId);

}  // namespace vek::sweep
