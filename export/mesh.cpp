#include "export/mesh.h"

#include <cmath>

#include "viewer/camera.h"

namespace vek::exporter {

double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vec3 normalised(Vec3 v) {
  const double l = viewer::length(v);
  return l > 0 ? (1.0 / l) * v : v;
}

std::uint32_t Mesh::addVertex(Vec3 point, Vec3 normal) {
  const auto index = static_cast<std::uint32_t>(vertexCount());
  const Vec3 n = normalised(normal);
  for (const double v : {point.x, point.z, -point.y}) positions.push_back(static_cast<float>(v));
  // Normalised again in single precision, so that it is of unit length as stored.
  const float fx = static_cast<float>(n.x), fy = static_cast<float>(n.z), fz = static_cast<float>(-n.y);
  const float fl = std::sqrt(fx * fx + fy * fy + fz * fz);
  for (const float v : {fx / fl, fy / fl, fz / fl}) normals.push_back(v);
  return index;
}

namespace {

// Two unit vectors u, v across `axis` with u x v along it.
void across(Vec3 axis, Vec3& u, Vec3& v) {
  const Vec3 n = normalised(axis);
  const Vec3 helper = std::abs(n.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
  u = normalised(cross(helper, n));
  v = cross(n, u);
}

}  // namespace

void appendCylinder(Mesh& mesh, Vec3 a, Vec3 b, double radius, int sides) {
  const Vec3 d = b - a;
  if (!(viewer::length(d) > 0) || !(radius > 0)) return;
  Vec3 u, v;
  across(d, u, v);
  const std::uint32_t first = static_cast<std::uint32_t>(mesh.vertexCount());
  for (int i = 0; i < sides; ++i) {
    const double angle = 2 * viewer::kPi * i / sides;
    const Vec3 out = std::cos(angle) * u + std::sin(angle) * v;
    mesh.addVertex(a + radius * out, out);
    mesh.addVertex(b + radius * out, out);
  }
  for (int i = 0; i < sides; ++i) {
    const std::uint32_t lowHere = first + 2 * i, highHere = lowHere + 1;
    const std::uint32_t lowNext = first + 2 * ((i + 1) % sides), highNext = lowNext + 1;
    mesh.indices.insert(mesh.indices.end(), {lowHere, lowNext, highHere, lowNext, highNext, highHere});
  }
}

void appendDisc(Mesh& mesh, Vec3 centre, Vec3 normal, Vec3 acrossStart, double radius, int segments) {
  if (!(radius > 0)) return;
  const Vec3 n = normalised(normal);
  Vec3 u = acrossStart - dot(acrossStart, n) * n;
  Vec3 v;
  if (viewer::length(u) > 1e-9) {
    u = normalised(u);
    v = cross(n, u);
  } else {
    across(n, u, v);
  }
  const std::uint32_t middle = mesh.addVertex(centre, n);
  for (int i = 0; i < segments; ++i) {
    const double angle = 2 * viewer::kPi * i / segments;
    mesh.addVertex(centre + radius * (std::cos(angle) * u + std::sin(angle) * v), n);
  }
  for (int i = 0; i < segments; ++i)
    mesh.indices.insert(mesh.indices.end(), {middle, middle + 1 + i, middle + 1 + (i + 1) % segments});
}

}  // namespace vek::exporter
