// The values of the data dialog and the reading of its boxes, apart from the widgets so the
// round trip through field units and the range checks can be tested without a window.
//
// The dialog shows the camera's target in field units (the units of the snapshot file):
// origin_x = target x * scale + center_x, origin_y = target y * scale + center_y,
// origin_z = target z * scale; OK converts back with the inverse.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "viewer/camera.h"
#include "viewer/scene.h"

namespace viewer {

struct DataDialogValues {
  // shown only
  double min_x = 0;
  double min_y = 0;
  double max_x = 0;
  double max_y = 0;
  double center_x = 0;
  double center_y = 0;
  double haba = 0;  // the cell width, as the file gave it
  int width = 0;
  int height = 0;
  // editable
  float radius = 0;
  int theta = 0;
  int phi = 0;
  double origin_x = 0;
  double origin_y = 0;
  double origin_z = 0;
};

// The valid ranges of the editable boxes.
inline constexpr double kRadiusLow = 0, kRadiusHigh = 100;
inline constexpr int kAngleLow = 0, kAngleHigh = 360;
inline constexpr double kOriginLow = -10000, kOriginHigh = 10000;

DataDialogValues dataDialogValues(const Camera& camera, const Scene& scene, int width, int height);

// Sets `radius`, `theta`, `phi` and the target (back in scene units) from the values.
void applyDataDialogValues(const DataDialogValues& values, const Scene& scene, Camera& camera);

// A number as a box shows it: the shortest text that reads back as the same value, so a box
// that the user leaves alone gives back exactly what it was given.
std::string boxText(double value);
std::string boxText(float value);
std::string boxText(int value);

// Reads a box. On success stores the value and returns nothing; otherwise returns the message
// the user is shown (a box that holds no number, or a number out of range), and `value` keeps
// what it held. White space around the number is allowed.
std::optional<std::string> readNumberBox(std::string_view text, double low, double high, double& value);
std::optional<std::string> readFloatBox(std::string_view text, double low, double high, float& value);
std::optional<std::string> readWholeBox(std::string_view text, int low, int high, int& value);

}  // namespace viewer
