// The viewer's command line. Every argument goes to GLUT's initialisation as it stands; the
// viewer itself only looks for `--help` (or `-h`) and for one snapshot file to open at once,
// the first argument that is neither one of GLUT's options nor the value of one.
#pragma once

#include <optional>
#include <string>

namespace viewer {

struct ViewerArguments {
  bool help = false;
  std::optional<std::string> snapshot;
  std::string error;  // not empty when the command line cannot be used
};

ViewerArguments readArguments(int argc, const char* const* argv);

// The text `tovra --help` prints.
extern const char* const kHelpText;

}  // namespace viewer
