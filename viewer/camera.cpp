#include "viewer/camera.h"

#include <cmath>

namespace viewer {

const double kPi = std::acos(-1.0);

namespace {
int wrapped(int angle) {
  if (angle < 0) return angle + 360;
  if (angle > 360) return angle - 360;
  return angle;
}
}  // namespace

void clampAndWrap(Camera& camera) {
  if (camera.radius < -1.0f) camera.radius = -1.0f;
  camera.theta = wrapped(camera.theta);
  camera.phi = wrapped(camera.phi);
}

LookAt lookAt(const Camera& camera) {
  const double theta = camera.theta * kPi / 180.0;
  const double phi = camera.phi * kPi / 180.0;
  const Vec3 outward{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
  const Vec3 target{camera.target_x, camera.target_y, camera.target_z};
  LookAt view;
  view.eye = target + static_cast<double>(camera.radius) * outward;
  view.centre = camera.radius == 0.0f ? target - outward : target;
  view.up = {-std::cos(theta) * std::cos(phi), -std::cos(theta) * std::sin(phi), std::sin(theta)};
  return view;
}

double aspectRatio(int width, int height) {
  if (width <= 0 || height <= 0) return 1.0;
  return static_cast<double>(width) / height;
}

}  // namespace viewer
