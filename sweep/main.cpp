// vek-sweep: experiments of many vek-batch runs, a grid of parameter settings times replicate
// seeds, planned into a folder and run by GNU parallel or a Slurm job array.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "sweep/collect.h"
#include "sweep/parallel_engine.h"
#include "sweep/plan.h"
#include "sweep/message.h"
#include "sweep/processes.h"
#include "sweep/slurm_engine.h"
#include "sweep/status.h"
#include "sweep/task.h"

namespace {

using namespace vek::sweep;

int plan(const std::string& experimentFile, std::string out, bool force) {
  if (out.empty()) out = std::filesystem::path(experimentFile).stem().string();
  const std::string batch = siblingProgram("vek-batch");
  if (batch.empty()) return fail("vek-batch is not beside vek-sweep; build both (cmake --build build)");
  const PlanOutcome made = makePlan(experimentFile, out, force, batch);
  if (!made.plan) return fail(made.error);
  const Plan& p = *made.plan;
  std::printf("vek-sweep: %s %s: %zu runs (%d settings x %zu seeds, %d turns each); runs.csv and commands.txt there\n",
              made.unchanged ? "already planned in" : "planned in", p.directory.c_str(), p.runs.size(),
              p.settingCount(), p.experiment.seeds.size(), p.experiment.turns);
  return 0;
}

int status(const std::string& directory) {
  const PlanOutcome loaded = loadPlan(directory);
  if (!loaded.plan) return fail(loaded.error);
  std::fputs(statusReport(*loaded.plan).c_str(), stdout);
  return 0;
}

int collect(const std::string& directory, int every) {
  const PlanOutcome loaded = loadPlan(directory);
  if (!loaded.plan) return fail(loaded.error);
  const CollectOutcome outcome = collectResults(*loaded.plan, every);
  if (!outcome.error.empty()) return fail(outcome.error);
  std::printf("vek-sweep: collected %d of %zu runs into summary.csv, series.csv and settings.csv in %s\n",
              outcome.collected, loaded.plan->runs.size(), loaded.plan->directory.c_str());
  if (!outcome.left.empty())
    std::fprintf(stderr, "vek-sweep: %s not finished and left out: runs %s\n",
                 outcome.left.size() == 1 ? "1 run is" : (std::to_string(outcome.left.size()) + " runs are").c_str(),
                 rangesText(outcome.left, ", ").c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Experiments of many Vek worlds: a grid of parameter settings, each run with several seeds, laid out\n"
      "in a folder (plan), run on this machine's cores or ssh hosts through GNU parallel (run) or on a\n"
      "cluster as a Slurm job array (slurm), followed (status) and gathered into CSV files (collect).\n"
      "Every run resumes from its last save when it is started again.",
      "vek-sweep"};
  app.require_subcommand(1);

  std::string experimentFile, out, directory, hostsFile;
  bool force = false;
  auto* planCommand = app.add_subcommand("plan", "Lay out a folder with one folder per run, runs.csv and the command of each run");
  planCommand->add_option("EXP.toml", experimentFile, "The experiment file")->required()->check(CLI::ExistingFile);
  planCommand->add_option("--out", out, "The plan's folder (default: the experiment file's name without .toml)")
      ->type_name("DIR");
  planCommand->add_flag("--force", force, "Replace the plan of a different experiment in that folder");

  ParallelOptions parallel;
  auto* runCommand = app.add_subcommand("run", "Run the unfinished runs through GNU parallel; again continues");
  runCommand->add_option("DIR", directory, "The plan's folder")->required();
  runCommand->add_option("--jobs", parallel.jobs, "Runs at once (per host); default: the number of cores")
      ->type_name("N")
      ->check(CLI::Range(1, 100000));
  runCommand->add_option("--hosts", parallel.hostsFile,
                         "ssh hosts, one a line as GNU parallel's --sshloginfile (':' is this machine); they must "
                         "see DIR and the programs at the same paths")
      ->type_name("FILE");

  SlurmOptions slurm;
  auto* slurmCommand = app.add_subcommand("slurm", "Submit the unfinished runs as a Slurm job array");
  slurmCommand->add_option("DIR", directory, "The plan's folder")->required();
  slurmCommand->add_option("--partition", slurm.partition, "The partition")->type_name("P");
  slurmCommand->add_option("--time", slurm.time, "Each task's time limit, as sbatch takes it (e.g. 2:00:00)")
      ->type_name("T");
  slurmCommand->add_option("--cpus-per-task", slurm.cpusPerTask, "CPUs of each task")
      ->type_name("N")
      ->check(CLI::Range(1, 100000))
      ->capture_default_str();
  slurmCommand->add_option("--max-parallel", slurm.maxParallel, "At most M tasks at once (the array's %M)")
      ->type_name("M")
      ->check(CLI::Range(1, 100000));
  slurmCommand->add_flag("--dry-run", slurm.dryRun, "Print the sbatch script and submit nothing");

  auto* statusCommand = app.add_subcommand("status", "Runs done, running, interrupted, failed and not started");
  statusCommand->add_option("DIR", directory, "The plan's folder")->required();

  int every = 1;
  auto* collectCommand = app.add_subcommand("collect", "Write summary.csv, series.csv and settings.csv into DIR");
  collectCommand->add_option("DIR", directory, "The plan's folder")->required();
  collectCommand->add_option("--every", every, "Only every K-th turn in series.csv")
      ->type_name("K")
      ->check(CLI::Range(1, 2147483647))
      ->capture_default_str();

  int runId = 0;
  auto* taskCommand =
      app.add_subcommand("task", "Run one run of the plan (what GNU parallel and Slurm are given for each run)");
  taskCommand->add_option("DIR", directory, "The plan's folder")->required();
  taskCommand->add_option("RUN", runId, "The run's number in runs.csv")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "vek-sweep: %s\nRun vek-sweep --help for the commands.\n", error.what());
    return 2;
  }
  if (planCommand->parsed()) return plan(experimentFile, out, force);
  if (runCommand->parsed()) return runWithParallel(directory, parallel);
  if (slurmCommand->parsed()) return submitToSlurm(directory, slurm);
  if (statusCommand->parsed()) return status(directory);
  if (collectCommand->parsed()) return collect(directory, every);
  return runTask(directory, runId);
}
