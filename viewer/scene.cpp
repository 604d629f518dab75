#include "viewer/scene.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "viewer/camera.h"

namespace viewer {

namespace {

// "%.2lf" in the "C" notation, whatever the locale (the dialog toolkit sets the user's).
std::string fixed2(double value) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, result.ptr);
}

std::string pointLog(const vek::SnapshotPoint& p) { return fixed2(p.x) + "," + fixed2(p.y) + "," + fixed2(p.z); }

bool isDrawable(Vec3 v) {
  return isFinite(v) && std::abs(v.x) <= kFarthestShape && std::abs(v.y) <= kFarthestShape &&
         std::abs(v.z) <= kFarthestShape;
}

}  // namespace

Turn turnOnto(Vec3 d) {
  const double l = length(d);
  if (!(l > 0) || !std::isfinite(l)) return {};
  const Vec3 axis{-d.y, d.x, 0};
  const double axisLength = length(axis);
  // An axis this short, next to the direction's length, is the z axis within rounding.
  if (axisLength <= l * 1e-12) {
    if (d.z > 0) return {};
    return {180.0, {1, 0, 0}};
  }
  const double c = std::clamp(d.z / l, -1.0, 1.0);
  return {std::acos(c) * 180.0 / kPi, (1.0 / axisLength) * axis};
}

void Scene::field(const vek::SnapshotField& field) {
  mField = field;
  const double extent = std::max(field.max_x - field.min_x, field.max_y - field.min_y) * 0.2;
  if (!(extent > 0) || !std::isfinite(extent)) return;
  mScale = extent;
  const Vec3 low = toScene({field.min_x, field.min_y, 0});
  const Vec3 high = toScene({field.max_x, field.max_y, 0});
  if (isDrawable(low) && isDrawable(high)) mGround = Ground{low.x, low.y, high.x, high.y};
}

Vec3 Scene::toScene(const vek::SnapshotPoint& p) const {
  return {(p.x - mField.center_x) / mScale, (p.y - mField.center_y) / mScale, p.z / mScale};
}

void Scene::addLog(RecordKind kind, const std::string& entry) {
  mLogs[static_cast<int>(kind)] += entry + "\r\n";
  ++mCounts[static_cast<int>(kind)];
}

void Scene::addShape(const SceneShape& shape) {
  if (isDrawable(shape.at) && isDrawable(shape.size)) mShapes.push_back(shape);
}

void Scene::edge(const vek::SnapshotEdge& edge) {
  addLog(RecordKind::Edge, pointLog(edge.a) + "," + pointLog(edge.b) + "," + edge.id);
  const Colour colour = mColours.edge(edge.id);
  const Vec3 a = toScene(edge.a);
  const Vec3 b = toScene(edge.b);
  const Vec3 d = b - a;
  const double l = length(d);
  if (!(l > 0)) return;
  SceneShape stick;
  stick.kind = SceneShape::Kind::Stick;
  stick.at = 0.5 * (a + b);
  stick.turn = turnOnto(d);
  stick.size = {edgeThickness(), edgeThickness(), l};
  stick.colour = colour;
  addShape(stick);
}

void Scene::leaf(const vek::SnapshotLeaf& leaf) {
  addLog(RecordKind::Leaf, pointLog(leaf.position) + "," + fixed2(leaf.size) + "," + leaf.id);
  const Colour colour = mColours.leaf(leaf.id);
  const Vec3 p = toScene(leaf.position);
  const double s = leaf.size / mScale;
  addShape({SceneShape::Kind::Leaf, p, turnOnto(toScene(leaf.owner) - p), {s, s, s}, colour});
}

void Scene::flower(const vek::SnapshotLeaf& flower) {
  addLog(RecordKind::Flower, pointLog(flower.position) + "," + fixed2(flower.size) + "," + flower.id);
  const Vec3 p = toScene(flower.position);
  const double s = flower.size / mScale;
  addShape({SceneShape::Kind::Flower, p, turnOnto(toScene(flower.owner) - p), {s, s, s}, kFlowerColour});
}

void Scene::seed(const vek::SnapshotSeed& seed) { addLog(RecordKind::Seed, pointLog(seed.position) + "," + seed.id); }

}  // namespace viewer
