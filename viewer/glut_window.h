// The viewer's GLUT window and the routing of GLUT's callbacks to the viewer.
// Viewer thread only.
#pragma once

#include <string>

#include "viewer/tovra.h"

namespace viewer {

// Initialises GLUT with the command line. The window's place (50, 50) and size 300 x 300 are
// set first, so GLUT's own -geometry option can replace them.
void startGlut(int& argc, char** argv);

// Creates the window (GLUT started): double-buffered RGB with a depth buffer, titled
// "Tovra::" + `path`. It becomes the current window. Returns its GLUT id.
int createViewerWindow(const std::string& path);

// Sends the special-key, keyboard, mouse, display and reshape callbacks of the current window
// to `tovra`, which must outlive the main loop.
void routeCallbacks(Tovra& tovra);

}  // namespace viewer
