#include "base/point3d.h"

#include <cmath>
#include <cstdio>

#include "base/text_io.h"

mPoint3D mPoint3D::fromPolar(double r, double theta, double phi) {
  return mPoint3D(r * std::sin(theta) * std::cos(phi), r * std::sin(theta) * std::sin(phi),
                  r * std::cos(theta));
}

mPoint3D mPoint3D::plus(const mPoint3D& a, const mPoint3D& b) {
  return mPoint3D(a.x + b.x, a.y + b.y, a.z + b.z);
}

bool mPoint3D::nearSegment(const mPoint3D* p, double d, const mPoint3D* a, const mPoint3D* b) {
  if (p == b) return false;
  const double abx = b->x - a->x, aby = b->y - a->y, abz = b->z - a->z;
  const double apx = p->x - a->x, apy = p->y - a->y, apz = p->z - a->z;
  const double t = apx * abx + apy * aby + apz * abz;
  const double d2 = d * d;
  if (t < 0) return apx * apx + apy * apy + apz * apz < d2;
  const double bpx = p->x - b->x, bpy = p->y - b->y, bpz = p->z - b->z;
  const double u = bpx * abx + bpy * aby + bpz * abz;
  if (u > 0) return bpx * bpx + bpy * bpy + bpz * bpz < d2;
  const double ab2 = abx * abx + aby * aby + abz * abz;
  const double ap2 = apx * apx + apy * apy + apz * apz;
  return t * t > ab2 * (ap2 - d2);
}

std::string mPoint3D::toText() const {
  char buffer[1100];  // "%lf" of the largest double is over 300 characters
  std::snprintf(buffer, sizeof buffer, "%lf %lf %lf", x, y, z);
  return buffer;
}

void mPoint3D::write(std::ostream& out) const {
  out << "/*mPoint3D start*/" << vek::kEol << x << ' ' << y << ' ' << z << vek::kEol
      << "/*mPoint3D end*/" << vek::kEol;
}

void mPoint3D::read(std::istream& in) {
  vek::skipLine(in);
  vek::readDouble(in, x) && vek::readDouble(in, y) && vek::readDouble(in, z);
  vek::skipLine(in);
}
