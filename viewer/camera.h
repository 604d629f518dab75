// The viewer's camera: the eye turns around a target point on a sphere given by the azimuth
// `phi` and the polar angle `theta` (degrees, from the +z axis) at the distance `radius`.
// Keys, mouse and the data dialog change it; the display callback turns it into a look-at
// transform. Plain value, owned by the viewer; GL-free so it can be tested without a window.
#pragma once

#include "viewer/vec3.h"

namespace viewer {

struct Camera {
  int phi = 70;
  int theta = 60;
  float radius = 10.0f;
  float target_x = 0;  // scene units
  float target_y = 0;
  float target_z = 0;
};

// The rule applied after every ordinary key: `radius` is not allowed below -1 (down to -1 the
// eye passes through the target to its other side); `theta` and `phi` below 0 gain 360, above
// 360 lose 360, once. The arrow keys do not apply it, so an angle may stand outside 0..360
// until the next ordinary key.
void clampAndWrap(Camera& camera);

// The arguments of the look-at transform. eye = target + radius * (sin t cos p, sin t sin p,
// cos t), up = (-cos t cos p, -cos t sin p, sin t). At radius 0 the eye sits on the target; the
// centre is then put one unit along the direction the eye had just before, so eye and centre
// never coincide and the transform stays defined.
struct LookAt {
  Vec3 eye;
  Vec3 centre;
  Vec3 up;
};
LookAt lookAt(const Camera& camera);

// The same eye for pictures made without a window, whose angles need not be whole degrees (a
// movie turns the eye by a fraction of a degree from frame to frame). Degrees and scene units.
struct View {
  double radius = 10;
  double phi = 70;
  double theta = 60;
  Vec3 target;
};
LookAt lookAt(const View& view);

// The aspect ratio of the perspective: width / height, or 1 for a window without area (a window
// of height 0 would otherwise divide by zero, one of width 0 would give an infinite matrix).
double aspectRatio(int width, int height);

extern const double kPi;  // the arc cosine of -1

}  // namespace viewer
