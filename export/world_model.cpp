#include "export/world_model.h"

#include <algorithm>
#include <cmath>

#include "viewer/camera.h"
#include "viewer/scene.h"

namespace vek::exporter {

namespace {

Vec3 point(const SnapshotPoint& p) { return {p.x, p.y, p.z}; }

// `v` turned as the viewer's glRotate turns it (Rodrigues' formula).
Vec3 turned(const viewer::Turn& turn, Vec3 v) {
  const double angle = turn.angle * viewer::kPi / 180;
  const Vec3 k = turn.axis;
  return std::cos(angle) * v + std::sin(angle) * cross(k, v) + (dot(k, v) * (1 - std::cos(angle))) * k;
}

}  // namespace

void WorldModel::field(const SnapshotField& field) {
  mField = field;
  if (field.max_x > field.min_x || field.max_y > field.min_y)
    mGround = GroundRectangle{field.min_x, field.min_y, field.max_x, field.max_y};
}

double WorldModel::fieldScale() const {
  return std::max(mField.max_x - mField.min_x, mField.max_y - mField.min_y) * 0.2;
}

PlantModel& WorldModel::plant(const std::string& id) {
  const auto known = mPlantIndex.find(id);
  if (known != mPlantIndex.end()) return mPlants[known->second];
  mPlantIndex.emplace(id, mPlants.size());
  PlantModel& added = mPlants.emplace_back();
  added.id = id;
  added.edgeColour = mColours.edge(id);
  added.leafColour = mColours.leaf(id);
  return added;
}

void WorldModel::seed(const SnapshotSeed& seed) { plant(seed.id); }

void WorldModel::edge(const SnapshotEdge& edge) {
  appendCylinder(plant(edge.id).edges, point(edge.a), point(edge.b), mEdgeRadius);
}

void WorldModel::leaf(const SnapshotLeaf& leaf) {
  appendDisc(plant(leaf.id).leaves, point(leaf.position), {0, 0, 1}, {1, 0, 0}, leaf.size);
}

void WorldModel::flower(const SnapshotLeaf& flower) {
  PlantModel& owner = plant(flower.id);
  const Vec3 centre = point(flower.position);
  // The viewer turns +z onto the direction to the seed point and puts the petals along the
  // turned x and y axes; so does the model.
  const viewer::Turn turn = viewer::turnOnto(point(flower.owner) - centre);
  const Vec3 facing = turned(turn, {0, 0, 1});
  const Vec3 x = turned(turn, {1, 0, 0});
  const Vec3 y = turned(turn, {0, 1, 0});
  const double s = flower.size;
  appendDisc(owner.flowers, centre, facing, x, s);
  for (const Vec3 offset : {1.5 * x, -1.5 * x, -1.5 * y, 1.5 * y})
    appendDisc(owner.petals, centre + s * offset, facing, x, 0.5 * s, kPetalSegments);
}

}  // namespace vek::exporter
