// The command line of vek-plot:
//   vek-plot FOLDER [--series seed_num,gene_num,...] [--out FILE.png|.svg|.pdf] [--size WxH]
//            [--from T] [--to T] [--first-turn T] [--quiet]
//   vek-plot FOLDER --muller [--out FILE] [--size WxH] [--from T] [--to T] [--quiet]
//   vek-plot --list
// FOLDER is a save folder or a sweep's plan folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "plot/folder_figure.h"

namespace vek::plot {

struct PlotOptions {
  std::string folder;
  PanelSeries panels;          // the default panels unless --series names others
  bool seriesGiven = false;    // --series named them
  bool muller = false;         // the Muller plot of the folder's lineage instead of its logs
  std::string out;             // the picture; FOLDERNAME.png (FOLDERNAME-muller.png) in the working folder by default
  int width = 0;               // 0: a size that suits the number of panels
  int height = 0;
  std::optional<std::int64_t> from;
  std::optional<std::int64_t> to;
  std::int64_t firstTurn = 1;
  bool list = false;           // print the series and end
  bool quiet = false;
};

// Parses the command line. Returns the options, or the exit code when the program is to end
// at once: 0 after --help, 2 after a usage error (the message is on standard error).
struct ParsedCommandLine {
  std::optional<PlotOptions> options;
  int exitCode = 0;
};
ParsedCommandLine parseCommandLine(int argc, char** argv);

// The table --list prints: every series name with its title and unit, by group.
std::string seriesListText();

}  // namespace vek::plot
