// The command line of vek-batch, the headless runner:
//   vek-batch [--load DIR | --gene FILE.gini] [--param FILE.pini] [--set KEY=VALUE]...
//             [--base DIR [--resume]] [--turns N | --until T] [--seed S] [--save-every K]
//             [--snapshot FILE.view]
//             [--snapshot-every K [--snapshot-dir DIR] [--force]] [--summary FILE.json]
//             [--lineage-every K] [--lineage-prune] [--lineage-reset] [--no-lineage]
//             [--quiet] [--profile] [--reference]
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vek::batch {

struct BatchOptions {
  std::string loadFolder;     // a save folder to continue ("" for a new world)
  std::string geneFile;       // an initial gene file for a new world ("" for the built-in genome)
  std::string parameterFile;  // a parameter file ("" for the defaults, or the saved ones)
  // Parameters set by key after the parameter file, in the order given; keys and values checked.
  std::vector<std::pair<std::string, double>> settings;
  std::string baseDirectory = ".";
  int turns = 1000;
  std::optional<int> until;   // run until the world's turn reaches this (instead of --turns)
  bool resume = false;        // continue the world already saved in the new world's folder
  std::optional<std::uint32_t> seed;
  int saveEvery = 0;          // 0: save only at the end
  std::string snapshotFile;   // "" for no snapshot
  int snapshotEvery = 0;      // 0: no numbered snapshots during the run
  std::string snapshotFolder;  // where they go ("" for "snapshots/" in the save folder)
  bool force = false;          // numbered snapshots may replace those of an earlier run
  std::string summaryFile;     // "" for no summary
  bool quiet = false;
  bool profile = false;    // time per phase and covered-cell visits at the end
  bool reference = false;  // the plain algorithms (body/world_settings.h)
  int lineageEvery = 10;     // lineage counts every K turns (0: none)
  bool lineagePrune = false;  // saves keep only nodes with living descendants
  bool lineageReset = false;  // a phylogeny that does not fit starts anew instead of failing the load
  bool noLineage = false;     // no lineage at all
};

// Parses the command line. Returns the options, or the exit code when the program is to end
// at once: 0 after --help, 2 after a usage error (the message is on standard error).
struct ParsedCommandLine {
  std::optional<BatchOptions> options;
  int exitCode = 0;
};
ParsedCommandLine parseCommandLine(int argc, char** argv);

}  // namespace vek::batch
