// The viewer's GLUT window and the routing of GLUT's callbacks to the viewer.
// Viewer thread only; glutInit must have run.
#pragma once

#include <string>

#include "viewer/tovra.h"

namespace viewer {

// Creates the window: double-buffered RGB with a depth buffer, at (50, 50), 300 x 300, titled
// "Tovra::" + `path`. It becomes the current window. Returns its GLUT id.
int createViewerWindow(const std::string& path);

// Sends the special-key, keyboard, mouse, display and reshape callbacks of the current window
// to `tovra`, which must outlive the main loop.
void routeCallbacks(Tovra& tovra);

}  // namespace viewer
