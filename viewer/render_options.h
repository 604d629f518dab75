// The command line of Tovra's pictures made without a window:
//   tovra --render OUT.png [--size WxH] [--camera DISTANCE,PHI,THETA] [--target X,Y,Z]
//         [--no-axes] FILE.view
// The camera is the window's: DISTANCE in the window's units (a fifth of the field's larger
// side; the window starts at 10), PHI and THETA in degrees (azimuth about the vertical axis and
// angle from it; the window starts at 70 and 60), and the point looked at in metres, the
// field's units (as the data dialog's origin_x, origin_y, origin_z; the field's centre when not
// given).
#pragma once

#include <optional>
#include <string>

namespace viewer {

struct RenderOptions {
  std::string picture;   // the PNG file to write
  std::string snapshot;  // the snapshot to draw
  int width = 800;
  int height = 600;
  double distance = 10;
  double phi = 70;
  double theta = 60;
  std::optional<double> target_x;  // all three or none, in field units
  std::optional<double> target_y;
  std::optional<double> target_z;
  bool axes = true;
};

inline constexpr int kLargestPictureSide = 16384;

// Whether the command line asks for a picture (`--render` or `--render=OUT` anywhere in it)
// rather than the window.
bool isRenderCommand(int argc, const char* const* argv);

// Parses a render command line. Returns the options, or the exit code when the program is to
// end at once: 0 after --help (printed on standard output), 2 after a usage error (the message
// is on standard error).
struct ParsedRenderCommand {
  std::optional<RenderOptions> options;
  int exitCode = 0;
};
ParsedRenderCommand parseRenderCommand(int argc, const char* const* argv);

}  // namespace viewer
