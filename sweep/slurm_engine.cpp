#include "sweep/slurm_engine.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "base/file_outcome.h"
#include "base/text_io.h"
#include "sweep/csv.h"
#include "sweep/message.h"
#include "sweep/processes.h"
#include "sweep/run_folder.h"
#include "sweep/status.h"
#include "sweep/task.h"

namespace vek::sweep {

namespace {

// How long before its time limit a task is told to stop: the world then saves in good time.
constexpr int kWarningSeconds = 120;

}  // namespace

std::string sbatchScript(const Plan& plan, const std::vector<int>& ids, const SlurmOptions& options) {
  std::string array = rangesText(ids, ",");
  if (options.maxParallel > 0) array += "%" + std::to_string(options.maxParallel);
  std::string script = "#!/bin/bash\n";
  script += "#SBATCH --job-name=" + shellQuoted("vek-" + plan.experiment.name) + "\n";
  script += "#SBATCH --array=" + array + "\n";
  script += "#SBATCH --cpus-per-task=" + std::to_string(options.cpusPerTask) + "\n";
  if (!options.partition.empty()) script += "#SBATCH --partition=" + options.partition + "\n";
  if (!options.time.empty()) script += "#SBATCH --time=" + options.time + "\n";
  script += "#SBATCH --requeue\n";
  script += "#SBATCH --signal=B:TERM@" + std::to_string(kWarningSeconds) + "\n";
  script += "#SBATCH --output=" + plan.directory + "slurm/%A_%a.out\n";
  script += "#SBATCH --open-mode=append\n";
  script +=
      "# One task per run of the plan in " + plan.directory +
      ". A task continues its run from the last save whenever it starts\n"
      "# (requeued, preempted or submitted again); the SIGTERM before the time limit, or from scancel,\n"
      "# makes the world save and stop.\n";
  script += "exec " + shellCommand(taskPrefix(plan)) + " \"$SLURM_ARRAY_TASK_ID\"\n";
  return script;
}

int submitToSlurm(const std::string& planDirectory, const SlurmOptions& options) {
  const PlanOutcome loaded = loadPlan(planDirectory);
  if (!loaded.plan) return fail(loaded.error);
  const Plan& plan = *loaded.plan;
  if (siblingProgram("vek-batch").empty()) return fail("vek-batch is not beside vek-sweep; build both");
  if (std::string different = checkRunFolders(plan); !different.empty()) return fail(different);

  int running = 0;
  std::vector<int> ids;
  for (const Run* run : runsToStart(plan, running)) ids.push_back(run->id);
  if (ids.empty()) {
    std::printf("vek-sweep: nothing to submit: %s\n", countsLine(countRuns(plan), static_cast<int>(plan.runs.size())).c_str());
    return 0;
  }
  const std::string script = sbatchScript(plan, ids, options);
  if (options.dryRun) {
    std::fputs(script.c_str(), stdout);
    return 0;
  }
  const std::string sbatch = findProgram("sbatch");
  if (sbatch.empty()) return fail("sbatch is not installed (Debian package: slurm-client, or slurm-wlm for a whole cluster)");

  const std::string folder = plan.directory + "slurm/";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::string scriptFile = folder + "sweep.sbatch";
  errno = 0;
  if (!writeFileAtomically(scriptFile, script)) return fail(describeFileError("cannot write", scriptFile));
  std::string output;
  const int code = runCapturing({sbatch, "--parsable", scriptFile}, output);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  if (code != 0) return fail("sbatch refused " + scriptFile + " (exit " + std::to_string(code) + ")");
  const std::string job = output.substr(0, output.find(';'));  // "JOB" or "JOB;CLUSTER"

  const std::string log = folder + "submissions.csv";
  std::string row;
  if (!std::filesystem::exists(log)) row = csvRow({"job", "submitted", "runs"});
  row += csvRow({job, utcNow(), rangesText(ids, " ")});
  appendToFile(log, row);
  std::printf("vek-sweep: submitted job array %s to Slurm: %zu runs (%s)%s\n", job.c_str(), ids.size(),
              rangesText(ids, ",").c_str(),
              running > 0 ? (", " + std::to_string(running) + " more running").c_str() : "");
  return 0;
}

}  // namespace vek::sweep
