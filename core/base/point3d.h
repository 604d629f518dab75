// mPoint3D: a position or displacement above the field; x and y run across the field, z is
// the height above the ground (z = 0). Points of a plant body are shared by identity: an edge
// refers to the very point objects of the parts at its two ends, and `nearSegment` relies on
// that identity. Plain value otherwise; no thread-safety of its own.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "base/object.h"

class mPoint3D : public mObject {
 public:
  mPoint3D() = default;
  mPoint3D(double x, double y, double z) : x(x), y(y), z(z) {}
  mPoint3D(const mPoint3D&) = default;
  mPoint3D& operator=(const mPoint3D&) = default;

  // The displacement of length r at polar angle theta (from the vertical) and azimuth phi
  // (in the x-y plane from the x axis), angles in radians.
  static mPoint3D fromPolar(double r, double theta, double phi);

  double norm2() const { return x * x + y * y + z * z; }
  static double distance2(const mPoint3D& a, const mPoint3D& b) {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
  }
  static mPoint3D plus(const mPoint3D& a, const mPoint3D& b);

  // True when p lies strictly closer than d to the segment a-b. A point that is the very
  // object `b` is never near (a part is not near the segment that ends in its own point);
  // an equal point that is another object is.
  static bool nearSegment(const mPoint3D* p, double d, const mPoint3D* a, const mPoint3D* b);

  std::string toText() const;  // "%lf %lf %lf"

  void write(std::ostream& out) const;  // "/*mPoint3D start*/", "x y z", "/*mPoint3D end*/"
  void read(std::istream& in);

  double x = 0;
  double y = 0;
  double z = 0;
};
