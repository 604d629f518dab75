// The plan of an experiment: its runs, one folder each, laid out in a plan folder DIR:
//
//   DIR/experiment.toml   the experiment file as planned (planning it again compares with it)
//   DIR/base.pini, base.gini  copies of the experiment's parameter and gene files, if any
//   DIR/runs.csv          run, folder, seed and every parameter that the grid varies
//   DIR/commands.txt      line N: the vek-batch command of run N, to be given in DIR
//   DIR/runs/KEY=VALUE/.../seed=S/   a run's folder: its save folder, summary.json, run.log
//
// Runs are numbered from 1: the grid's settings in order (the first axis varying slowest),
// each with every seed. The command of a run creates its world, continues it after an
// interruption, and does nothing once it is finished, so any engine can simply give it again.
//
// Plain values; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "body/parameters.h"
#include "sweep/experiment.h"

namespace vek::sweep {

struct Run {
  int id = 0;              // from 1
  int setting = 0;         // which combination of grid values, from 0
  std::string folder;      // relative to the plan folder, e.g. "runs/mField_capacity=0.4/seed=3"
  std::uint32_t seed = 0;
  std::vector<double> values;  // one for each grid axis
};

struct Plan {
  std::string directory;  // absolute, ending in "/"
  Experiment experiment;
  std::vector<Run> runs;

  std::string runFolder(const Run& run) const { return directory + run.folder + "/"; }
  int settingCount() const;
};

// The runs of an experiment, in order.
std::vector<Run> expandRuns(const Experiment& experiment);

// The parameters run `run` is made with: the built-in defaults, then the parameter file, the
// fixed [parameters], and the run's grid values.
Parameters plannedParameters(const Plan& plan, const Run& run);

// The vek-batch command of a run, as arguments (the program first), paths relative to the
// plan folder.
std::vector<std::string> runArguments(const Plan& plan, const Run& run, const std::string& batchProgram);

// The plan's own files: the text of runs.csv and commands.txt.
std::string runsCsvText(const Plan& plan);
std::string commandsText(const Plan& plan, const std::string& batchProgram);

struct PlanOutcome {
  std::optional<Plan> plan;
  std::string error;
  bool unchanged = false;  // for makePlan: the folder already held this plan
};

// Lays out `directory` for the experiment in `experimentFile`. Planning the same experiment
// again changes nothing; a changed one is refused unless `force`. Refused too (and nothing
// written) when a run folder already holds a world made with other parameters.
PlanOutcome makePlan(const std::string& experimentFile, const std::string& directory, bool force,
                     const std::string& batchProgram);

// Reads the plan laid out in `directory`.
PlanOutcome loadPlan(const std::string& directory);

}  // namespace vek::sweep
