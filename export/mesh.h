// Triangle meshes of the exported model: the solids that stand for the parts of a plant, built
// from points in the snapshot's frame (metres, z up) and stored in glTF's frame (metres, y up,
// x kept, so the field's y runs along glTF's -z).
//
// Plain value; thread-safety: none.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/vec3.h"

namespace vek::exporter {

using viewer::Vec3;

struct Mesh {
  std::vector<float> positions;  // x, y, z per vertex, glTF's frame
  std::vector<float> normals;    // unit length
  std::vector<std::uint32_t> indices;  // three per triangle, counter-clockwise seen from outside

  std::size_t vertexCount() const { return positions.size() / 3; }
  bool empty() const { return indices.empty(); }

  // A vertex given in the snapshot's frame. `normal` need not be of unit length.
  std::uint32_t addVertex(Vec3 point, Vec3 normal);
};

// Sides of the solids: enough to read as round in a model viewer, few enough that a part costs
// about half a kilobyte of vertices and indices.
inline constexpr int kCylinderSides = 8;
inline constexpr int kDiscSegments = 12;
inline constexpr int kPetalSegments = 8;

// An open tube of radius `radius` from `a` to `b` with outward normals. Nothing for an edge
// without length or a radius of 0.
void appendCylinder(Mesh& mesh, Vec3 a, Vec3 b, double radius, int sides = kCylinderSides);

// A flat disc of radius `radius` around `centre`, facing along `normal`, its rim starting in
// the direction `across` (perpendicular to `normal`). Nothing for a radius of 0.
void appendDisc(Mesh& mesh, Vec3 centre, Vec3 normal, Vec3 across, double radius, int segments = kDiscSegments);

double dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalised(Vec3 v);

}  // namespace vek::exporter
