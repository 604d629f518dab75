// `vek-sweep slurm DIR`: the plan's unfinished runs as one Slurm job array, one task per run.
// The sbatch script is written to DIR/slurm/sweep.sbatch and submitted with sbatch; each
// submission is recorded in DIR/slurm/submissions.csv, and each task's own output goes to
// DIR/slurm/JOB_TASK.out. A task resumes from its run's last save whenever it starts again
// (requeued, preempted, or submitted anew), and Slurm's SIGTERM before the time limit makes it
// save and stop. Submitting again sends only the runs that are still unfinished.
//
// Main thread only.
#pragma once

#include <string>

#include "sweep/plan.h"

namespace vek::sweep {

struct SlurmOptions {
  std::string partition;  // "" for the cluster's default
  std::string time;       // the time limit of each task, in Slurm's notation ("" for the default)
  int cpusPerTask = 1;
  int maxParallel = 0;    // the array's %M throttle (0: none)
  bool dryRun = false;    // print the script instead of submitting it
};

// The sbatch script for the runs `ids` of the plan.
std::string sbatchScript(const Plan& plan, const std::vector<int>& ids, const SlurmOptions& options);

// The exit code: 0 when submitted (or printed, or nothing is left to run), 1 when sbatch is
// missing or refused (its message on standard error).
int submitToSlurm(const std::string& planDirectory, const SlurmOptions& options);

}  // namespace vek::sweep
