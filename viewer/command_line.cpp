#include "viewer/command_line.h"

#include <cstring>

namespace viewer {

const char* const kHelpText =
    "Usage: tovra [GLUT options] [FILE.view]\n"
    "       tovra --render OUT.png [--size WxH] [--camera DISTANCE,PHI,THETA] [--target X,Y,Z]\n"
    "             [--no-axes] FILE.view\n"
    "\n"
    "Shows the plants of a Vek snapshot file in a 3D window; with --render, draws them into a PNG\n"
    "picture without any window or display (tovra --render --help tells more).\n"
    "\n"
    "Without FILE.view, Tovra asks whether to choose a file and opens a file dialog.\n"
    "With FILE.view it opens that snapshot at once, skipping the question and the dialog.\n"
    "GLUT's own options (-display DISPLAY, -geometry WxH+X+Y, -direct, -indirect, -iconic,\n"
    "-gldebug, -sync) are passed to GLUT.\n"
    "\n"
    "Keys:  Left/Right turn the eye around the vertical axis, Up/Down up and down\n"
    "       1 / 9  move the eye nearer / further\n"
    "       2 / 8, 3 / 7, 4 / 6  move the target point along x, y, z\n"
    "       B  save the picture as a bitmap     D  data dialog\n"
    "       F  load another snapshot            Esc  quit\n"
    "Mouse: left button saves the picture, right button opens the data dialog.\n";

namespace {
bool isGlutOptionWithValue(const char* a) { return std::strcmp(a, "-display") == 0 || std::strcmp(a, "-geometry") == 0; }
}  // namespace

ViewerArguments readArguments(int argc, const char* const* argv) {
  ViewerArguments result;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
      result.help = true;
    } else if (isGlutOptionWithValue(a)) {
      ++i;
    } else if (a[0] == '-' && a[1] != '\0') {
      // another GLUT option, or one GLUT ignores
    } else if (result.snapshot) {
      result.error = std::string("tovra: only one snapshot file can be opened, not also ") + a;
    } else {
      result.snapshot = a;
    }
  }
  return result;
}

}  // namespace viewer
