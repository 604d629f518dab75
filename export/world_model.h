// The exported model of one snapshot, built while the snapshot is read: the ground and, for
// every plant, the solids of its parts in metres. Edges become tubes of the edge radius from
// one end to the other; leaves flat discs of their radius, lying level as the light sees them;
// a flower a yellow disc of its size facing away from its plant's seed point with four red
// petal discs of half its size around it, where the viewer draws its petals. Parts of size 0
// (a flower after breeding) and edges without length leave nothing to see and are left out.
//
// Plants are kept in the order in which the file first names them; every plant of the file
// has its place, with or without parts. Colours follow the viewer's pictures: one edge colour
// and one leaf colour per plant, from its identifier (`viewer::PlantColours`).
//
// Thread-safety: none; one reading at a time.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "export/mesh.h"
#include "snapshot/snapshot_reader.h"
#include "viewer/colour_rule.h"

namespace vek::exporter {

struct PlantModel {
  std::string id;
  viewer::Colour edgeColour;
  viewer::Colour leafColour;
  Mesh edges;
  Mesh leaves;
  Mesh flowers;
  Mesh petals;
};

// The field's rectangle at height 0, in metres.
struct GroundRectangle {
  double min_x = 0;
  double min_y = 0;
  double max_x = 0;
  double max_y = 0;
};

class WorldModel final : public SnapshotSink {
 public:
  // `edgeRadius`: the radius of every edge in metres (the snapshot does not carry it).
  explicit WorldModel(double edgeRadius) : mEdgeRadius(edgeRadius) {}

  void field(const SnapshotField& field) override;
  void edge(const SnapshotEdge& edge) override;
  void leaf(const SnapshotLeaf& leaf) override;
  void flower(const SnapshotLeaf& flower) override;
  void seed(const SnapshotSeed& seed) override;

  const std::vector<PlantModel>& plants() const { return mPlants; }
  const SnapshotField& fieldValues() const { return mField; }
  // The viewer's unit in metres: a fifth of the field's larger side; 0 without a field.
  double fieldScale() const;
  // Nothing when the file gave no field of some extent.
  const std::optional<GroundRectangle>& ground() const { return mGround; }

 private:
  PlantModel& plant(const std::string& id);

  double mEdgeRadius;
  SnapshotField mField;
  std::optional<GroundRectangle> mGround;
  viewer::PlantColours mColours;
  std::vector<PlantModel> mPlants;
  std::unordered_map<std::string, std::size_t> mPlantIndex;
};

}  // namespace vek::exporter
