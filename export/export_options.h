// The command line of vek-export:
//   vek-export FILE.view --out FILE.glb|FILE.gltf [--edge-radius R] [--quiet]
#pragma once

#include <optional>
#include <string>

namespace vek::exporter {

struct ExportOptions {
  std::string snapshot;
  std::string out;           // ends in .glb or .gltf
  double edgeRadius = 0.5;   // metres: the simulator's default mEdge_radius
  bool quiet = false;        // no summary line
};

// Parses the command line. Returns the options, or the exit code when the program is to end
// at once: 0 after --help, 2 after a usage error (the message is on standard error).
struct ParsedExportCommand {
  std::optional<ExportOptions> options;
  int exitCode = 0;
};
ParsedExportCommand parseExportCommand(int argc, const char* const* argv);

}  // namespace vek::exporter
