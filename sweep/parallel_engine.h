// `vek-sweep run DIR`: the plan's unfinished runs through GNU parallel, N at once, on this
// machine or on ssh hosts (which must see DIR and the programs at the same paths). Its job
// log goes to DIR/parallel.joblog, appended to by every call. Finished runs are skipped and
// interrupted ones resume from their last save, so running it again continues.
//
// Ctrl-C or a SIGTERM stops parallel, which sends each running task a SIGTERM and gives it
// time to save. Main thread only.
#pragma once

#include <string>

namespace vek::sweep {

struct ParallelOptions {
  int jobs = 0;           // at once (per host); 0: the number of cores
  std::string hostsFile;  // GNU parallel's --sshloginfile ("" for this machine only)
};

// The exit code: 0 when every run is done, 1 when some failed or nothing could run (messages
// on standard error), 130 after an interrupt.
int runWithParallel(const std::string& planDirectory, const ParallelOptions& options);

}  // namespace vek::sweep
