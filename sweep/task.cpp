#include "sweep/task.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "base/text_io.h"
#include "sweep/csv.h"
#include "sweep/number_text.h"
#include "sweep/plan.h"
#include "sweep/message.h"
#include "sweep/processes.h"
#include "sweep/run_folder.h"

namespace vek::sweep {

namespace {

std::string hostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "?";
  return name;
}

}  // namespace

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

namespace {

// Which engine's job this is, as the engines tell their jobs.
std::string jobName() {
  if (const char* job = std::getenv("SLURM_ARRAY_JOB_ID")) {
    const char* task = std::getenv("SLURM_ARRAY_TASK_ID");
    return std::string("slurm ") + job + "_" + (task ? task : "?");
  }
  if (const char* job = std::getenv("SLURM_JOB_ID")) return std::string("slurm ") + job;
  if (const char* seq = std::getenv("PARALLEL_SEQ")) return std::string("parallel ") + seq;
  return "";
}

// Takes the run's lock for as long as the process (and vek-batch, which inherits it) lives.
// A status probe may hold it for an instant, hence a few tries.
bool takeLock(const std::string& runFolder) {
  const int fd = open((runFolder + "run.lock").c_str(), O_RDWR | O_CREAT, 0644);
  if (fd < 0) return false;
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  close(fd);
  return false;
}

void recordAttempt(const std::string& runFolder, const std::string& started, double seconds, int exitCode) {
  const std::string path = runFolder + "attempts.csv";
  std::string text;
  if (!std::filesystem::exists(path)) text = csvRow({"host", "job", "started", "seconds", "exit_code"});
  text += csvRow({hostName(), jobName(), started, shortestText(seconds), std::to_string(exitCode)});
  if (!appendToFile(path, text)) std::fprintf(stderr, "vek-sweep: cannot append to %s\n", path.c_str());
}

}  // namespace

std::vector<std::string> taskPrefix(const Plan& plan) { return {selfProgram(), "task", plan.directory}; }

std::vector<std::string> taskArguments(const Plan& plan, const Run& run) {
  std::vector<std::string> arguments = taskPrefix(plan);
  arguments.push_back(std::to_string(run.id));
  return arguments;
}

int runTask(const std::string& planDirectory, int runId) {
  const PlanOutcome loaded = loadPlan(planDirectory);
  if (!loaded.plan) return fail(loaded.error);
  const Plan& plan = *loaded.plan;
  if (runId < 1 || runId > static_cast<int>(plan.runs.size()))
    return fail("the plan in " + plan.directory + " has runs 1 to " + std::to_string(plan.runs.size()) + ", not " +
                std::to_string(runId));
  // A task outlives no engine: when GNU parallel is stopped, a task it was just starting (and
  // so did not tell) gets its SIGTERM this way and saves like the others.
  const pid_t engine = getppid();
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != engine) return fail("the engine that started run " + std::to_string(runId) + " has ended");
  const Run& run = plan.runs[runId - 1];
  const std::string runFolder = plan.runFolder(run);
  const std::string name = "run " + std::to_string(run.id) + " (" + run.folder + ")";
  std::error_code error;
  std::filesystem::create_directories(runFolder, error);
  if (!takeLock(runFolder)) return fail(name + " is already running; it is not started twice");
  if (runStatus(plan, run, false).state == RunState::kDone) {
    std::printf("%s: already done\n", name.c_str());
    return 0;
  }
  if (std::string different = differentWorld(plan, run); !different.empty()) return fail(different);
  const std::string batch = siblingProgram("vek-batch");
  if (batch.empty()) return fail("vek-batch is not beside vek-sweep; build both (cmake --build build)");

  const std::vector<std::string> arguments = runArguments(plan, run, batch);
  const std::string started = utcNow();
  appendToFile(runFolder + "run.log", "== " + started + " on " + hostName() + (jobName().empty() ? "" : ", " + jobName()) +
                                          ": " + shellCommand(arguments) + "\n");
  const auto clock = std::chrono::steady_clock::now();
  const ChildOutcome outcome = runChild(arguments, {plan.directory, runFolder + "run.log", true});
  if (!outcome.error.empty()) return fail(name + ": " + outcome.error);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clock).count();
  recordAttempt(runFolder, started, seconds, outcome.exitCode);

  const RunStatus status = runStatus(plan, run, false);
  if (outcome.exitCode == 0 && status.state == RunState::kDone)
    std::printf("%s: done, turn %d\n", name.c_str(), status.turn);
  else if (isInterruption(outcome.exitCode))
    std::printf("%s: interrupted at turn %d; it resumes from its last save\n", name.c_str(), status.turn);
  else
    std::printf("%s: failed (exit %d): %s\n", name.c_str(), outcome.exitCode, lastLines(runFolder + "run.log", 1).c_str());
  std::fflush(stdout);
  return outcome.exitCode;
}

}  // namespace vek::sweep
