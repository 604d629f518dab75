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

LookAt lookAt(const View& view) {
  const double theta = view.theta * kPi / 180.0;
  const double phi = view.phi * kPi / 180.0;
  const Vec3 outward{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
  LookAt look;
  look.eye = view.target + view.radius * outward;
  look.centre = view.radius == 0 ? view.target - outward : view.target;
  look.up = {-std::cos(theta) * std::cos(phi), -std::cos(theta) * std::sin(phi), std::sin(theta)};
  return look;
}

LookAt lookAt(const Camera& camera) {
  return lookAt(View{camera.radius, static_cast<double>(camera.phi), static_cast<double>(camera.theta),
                     {camera.target_x, camera.target_y, camera.target_z}});
}

double aspectRatio(int width, int height) {
  if (width <= 0 || height <= 0) return 1.0;
  return static_cast<double>(width) / height;
}

}  // namespace viewer
