// What a run's folder says about the run, whichever engine ran it (GNU parallel, Slurm, a
// person with the command of commands.txt). A run folder holds:
//
//   original_log/ (or the gene file's save folder)   the world, saved as the run goes
//   summary.json    vek-batch's figures of the run's last stretch (turn reached, interrupted...)
//   run.log         the output of every attempt, a header line before each
//   attempts.csv    one row per attempt that ended: host, job, start, seconds, exit code
//   run.lock        held (flock) by the task that runs it, so a run never runs twice at once
//
// Any thread; reads files only (the lock is probed, never kept).
#pragma once

#include <string>
#include <vector>

#include "sweep/plan.h"

namespace vek::sweep {

enum class RunState {
  kNotStarted,   // no saved world, no attempt
  kRunning,      // a task holds its lock
  kInterrupted,  // stopped before its last turn (signal, cancel, time limit): resumes from its save
  kFailed,       // its last attempt ended with an error
  kDone,         // reached the experiment's last turn
};

const char* stateName(RunState state);

struct RunStatus {
  RunState state = RunState::kNotStarted;
  int turn = -1;              // the turn its world reached as far as the folder shows; -1: none
  int exitCode = -1;          // of the last attempt that ended; -1: none
  std::string errorTail;      // for a failed run: the last lines its last attempt wrote
};

// `probeLock` false: for the task that holds the lock itself.
RunStatus runStatus(const Plan& plan, const Run& run, bool probeLock = true);

// Whether a task holds the run's lock now.
bool isRunning(const Plan& plan, const Run& run);

// Exit codes of vek-batch (and of a task) that mean "stopped on request, saved": an interrupt,
// a termination, a hang-up, or a kill after the grace time (Slurm's scancel and time limit).
bool isInterruption(int exitCode);

// The save folder that the run's world gets in its run folder (whether it exists yet or not).
std::string saveFolderOf(const Plan& plan, const Run& run);

// "" when the run's folder holds no world, or the one its command makes; otherwise what is
// wrong, naming the folder and a parameter that differs.
std::string differentWorld(const Plan& plan, const Run& run);
// The first run folder of the plan that holds a different world ("" when none does); running
// runs are not looked at.
std::string checkRunFolders(const Plan& plan);

// The runs an engine is to start: every run that is neither done nor running elsewhere, in
// order. `running` receives the number that are running.
std::vector<const Run*> runsToStart(const Plan& plan, int& running);

// The last `lines` lines of `path` ("" if it cannot be read).
std::string lastLines(const std::string& path, int lines);

}  // namespace vek::sweep
