#include "sweep/parallel_engine.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "base/file_outcome.h"
#include "base/text_io.h"
#include "sweep/plan.h"
#include "sweep/message.h"
#include "sweep/processes.h"
#include "sweep/run_folder.h"
#include "sweep/status.h"
#include "sweep/task.h"

namespace vek::sweep {

namespace {

// A saving world gets this long after parallel's SIGTERM before it is killed.
constexpr const char* kTerminationSequence = "TERM,120000,KILL,25";

// A task that parallel was starting as it was stopped hears of it only when parallel is gone
// (task.h); the sweep ends once such worlds have saved too.
void waitForStoppedTasks(const Plan& plan, const std::vector<const Run*>& runs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(300);
  for (const Run* run : runs)
    while (isRunning(plan, *run) && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace

int runWithParallel(const std::string& planDirectory, const ParallelOptions& options) {
  const PlanOutcome loaded = loadPlan(planDirectory);
  if (!loaded.plan) return fail(loaded.error);
  const Plan& plan = *loaded.plan;
  const std::string parallel = findProgram("parallel");
  if (parallel.empty()) return fail("GNU parallel is not installed (Debian package: parallel)");
  if (!options.hostsFile.empty() && !std::filesystem::is_regular_file(options.hostsFile))
    return fail("--hosts: there is no file " + options.hostsFile);
  if (siblingProgram("vek-batch").empty()) return fail("vek-batch is not beside vek-sweep; build both");
  if (std::string different = checkRunFolders(plan); !different.empty()) return fail(different);

  int running = 0;
  const std::vector<const Run*> runs = runsToStart(plan, running);
  if (runs.empty()) {
    std::printf("vek-sweep: nothing to start: %s\n", countsLine(countRuns(plan), static_cast<int>(plan.runs.size())).c_str());
    return 0;
  }
  std::string jobs;
  for (const Run* run : runs) jobs += shellCommand(taskArguments(plan, *run)) + "\n";
  const std::string jobFile = plan.directory + "parallel.jobs";
  errno = 0;
  if (!writeFileAtomically(jobFile, jobs)) return fail(describeFileError("cannot write", jobFile));

  // Appended to by every call, where parallel writes no header of its own.
  const std::string jobLog = plan.directory + "parallel.joblog";
  if (!std::filesystem::exists(jobLog) &&
      !writeFileAtomically(jobLog, "Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand\n"))
    return fail(describeFileError("cannot write", jobLog));
  const int atOnce = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::string> arguments = {parallel, "--will-cite", "--jobs", std::to_string(atOnce),
                                        "--joblog", "+" + jobLog,
                                        "--termseq", kTerminationSequence};
  if (!options.hostsFile.empty()) arguments.insert(arguments.end(), {"--sshloginfile", options.hostsFile});
  if (isatty(STDERR_FILENO)) arguments.push_back("--bar");
  arguments.insert(arguments.end(), {"::::", jobFile});
  std::fprintf(stderr, "vek-sweep: %zu runs to go through GNU parallel, %d at once%s\n", runs.size(), atOnce,
               running > 0 ? (" (" + std::to_string(running) + " running elsewhere)").c_str() : "");
  const ChildOutcome outcome = runChild(arguments, {"", "", true});
  if (!outcome.error.empty()) return fail(outcome.error);
  if (outcome.signalReceived != 0) waitForStoppedTasks(plan, runs);

  const StatusCounts counts = countRuns(plan);
  std::printf("vek-sweep: %s\n", countsLine(counts, static_cast<int>(plan.runs.size())).c_str());
  if (outcome.signalReceived != 0) return 130;
  if (counts.of(RunState::kFailed) > 0) {
    std::fprintf(stderr, "vek-sweep: some runs failed; vek-sweep status %s shows why\n", plan.directory.c_str());
    return 1;
  }
  // Runs that another engine is running still count as on their way.
  const int onTheirWay = counts.of(RunState::kDone) + counts.of(RunState::kRunning);
  return onTheirWay == static_cast<int>(plan.runs.size()) ? 0 : 1;
}

}  // namespace vek::sweep
