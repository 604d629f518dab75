// An experiment: a grid of parameter settings, each run with several seeds for the same number
// of turns, as a TOML file describes it (examples/experiment.toml):
//
//   name = "capacity"            turns = 2000          save_every = 100
//   replicates = 3  (seeds 1..3)  or  replicates = [11, 12, 13]  (these seeds)
//   snapshot_every = 500          parameter_file = "base.pini"   gene_file = "start.gini"
//   [parameters]  KEY = VALUE ...                      (the same for every run)
//   [grid]        KEY = [V1, V2, ...]  or  KEY = { from = A, to = B, step = S }
//
// Keys of [parameters] and [grid] are those of the parameter file. Reading checks everything a
// run would otherwise trip over later; an error names the file and the line.
//
// Plain values; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vek::sweep {

// One parameter that the grid varies, with its values in the order given.
struct GridAxis {
  std::string key;
  std::vector<double> values;
};

struct Experiment {
  std::string name;
  int turns = 0;       // every run goes until the world's turn reaches this
  int saveEvery = 0;   // a run saves after every this many turns
  int snapshotEvery = 0;  // 0: no numbered snapshots
  // Files the experiment starts from, as written (relative to the experiment file's folder)
  // and as found; "" when not given.
  std::string parameterFile;
  std::string geneFile;
  std::string parameterFilePath;
  std::string geneFilePath;
  // The same for every run, in the file's order; set after the parameter file.
  std::vector<std::pair<std::string, double>> parameters;
  // In the file's order: the first axis varies slowest and names the outermost folder.
  std::vector<GridAxis> grid;
  std::vector<std::uint32_t> seeds;
};

struct ExperimentRead {
  std::optional<Experiment> experiment;
  std::string error;  // "FILE:LINE: what is wrong" when there is no experiment
};

// Reads the experiment in `text`; `path` names the file in messages and is where relative file
// names start from. With `findFiles` false the parameter and gene files are not looked for (a
// plan reads its own copies of them).
ExperimentRead parseExperiment(std::string_view text, const std::string& path, bool findFiles = true);
ExperimentRead readExperiment(const std::string& path);

}  // namespace vek::sweep
