// The command line of vek-batch, the headless runner:
//   vek-batch [--load DIR | --gene FILE.gini] [--param FILE.pini] [--base DIR] [--turns N]
//             [--seed S] [--save-every K] [--snapshot FILE.view] [--quiet] [--profile]
//             [--reference]
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vek::batch {

struct BatchOptions {
  std::string loadFolder;     // a save folder to continue ("" for a new world)
  std::string geneFile;       // an initial gene file for a new world ("" for the built-in genome)
  std::string parameterFile;  // a parameter file ("" for the defaults, or the saved ones)
  std::string baseDirectory = ".";
  int turns = 1000;
  std::optional<std::uint32_t> seed;
  int saveEvery = 0;          // 0: save only at the end
  std::string snapshotFile;   // "" for no snapshot
  bool quiet = false;
  bool profile = false;    // time per phase and covered-cell visits at the end
  bool reference = false;  // the plain algorithms (engine/reference_mode.h)
};

// Parses the command line. Returns the options, or the exit code when the program is to end
// at once: 0 after --help, 2 after a usage error (the message is on standard error).
struct ParsedCommandLine {
  std::optional<BatchOptions> options;
  int exitCode = 0;
};
ParsedCommandLine parseCommandLine(int argc, char** argv);

}  // namespace vek::batch
