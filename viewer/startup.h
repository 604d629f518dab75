// The first steps of the viewer's start-up that decide whether there is anything to show.
// Viewer thread, before the GLUT window exists.
#pragma once

#include <optional>
#include <string>

#include "viewer/command_line.h"
#include "viewer/dialogs.h"

namespace viewer {

// The snapshot to open first: the one named on the command line, asking nothing; otherwise
// the user is asked whether to choose the first file and then picks it in the Open dialog.
// Nothing when the user answers No or cancels: the program then ends without a window.
std::optional<std::string> firstSnapshot(const ViewerArguments& arguments, ViewerDialogs& dialogs);

}  // namespace viewer
