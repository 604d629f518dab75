// The scene of one snapshot: the records read from the file turned into shapes in scene units,
// with their colours, plus the logs, counters and field values that the data dialog shows.
// GL-free: `scene_gl` compiles it into the display list, so everything here can be tested
// without a window.
//
// Scene units: x' = (x - center_x) / scale, y' = (y - center_y) / scale, z' = z / scale, sizes
// s' = s / scale, where scale is a fifth of the field's larger extent. A snapshot without a
// field line, or whose field has no extent, has no usable scale; it is then drawn with the
// scale of the simulator's default field (80 wide, scale 16) and without a ground, rather
// than dividing by zero.
//
// Ownership: the scene borrows its colour rule, which must outlive the reading. The scene is
// owned by the viewer and replaced at every load. Thread-safety: none.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "snapshot/snapshot_reader.h"
#include "viewer/colour_rule.h"
#include "viewer/vec3.h"

namespace viewer {

// The kinds of record, in the order of the data dialog's selector.
enum class RecordKind { Edge = 0, Leaf = 1, Flower = 2, Seed = 3 };
inline constexpr int kRecordKinds = 4;

inline constexpr double kDefaultFieldScale = 16.0;

// Shapes further out than this (in scene units) are not drawn: no camera reaches them, and
// OpenGL's single-precision matrices would overflow.
inline constexpr double kFarthestShape = 1.0e6;

// A rotation by `angle` degrees about the unit vector `axis`.
struct Turn {
  double angle = 0;
  Vec3 axis{0, 0, 1};
};

// The rotation that turns +z onto `direction`: arccos(d_z / |d|) about (-d_y, d_x, 0).
// Directions along the z axis have no such axis: +z needs no turn and -z is turned half round
// about x. A direction of zero length (a leaf at its owner's foot) leaves +z as it is.
Turn turnOnto(Vec3 direction);

// One primitive group of the display list.
// - Stick: a unit cube centred at `at`, turned by `turn`, scaled by `size` = (t, t, length);
//   `colour` is its ambient reflectance.
// - Leaf: a unit sphere at `at`, turned, scaled uniformly by `size.x`, in `colour`.
// - Flower: the same, a yellow centre with four red petals.
struct SceneShape {
  enum class Kind { Stick, Leaf, Flower };
  Kind kind = Kind::Stick;
  Vec3 at;
  Turn turn;
  Vec3 size;
  Colour colour;
};

// The ground: the field rectangle at height 0, in scene units.
struct Ground {
  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
};

class Scene final : public vek::SnapshotSink {
 public:
  explicit Scene(ColourRule& colours) : mColours(colours) {}

  // Records of the reader, in file order. Each one is logged with its raw values ("%.2lf"
  // fields separated by commas, then its identifier and CR LF) and counted; edges, leaves and
  // flowers become shapes. Every edge and every leaf asks the colour rule for its colour, in
  // file order; flowers and individuals ask nothing. An edge of zero length and a shape
  // beyond `kFarthestShape` still take their colours but are not drawn.
  void field(const vek::SnapshotField& field) override;
  void edge(const vek::SnapshotEdge& edge) override;
  void leaf(const vek::SnapshotLeaf& leaf) override;
  void flower(const vek::SnapshotLeaf& flower) override;
  void seed(const vek::SnapshotSeed& seed) override;

  const std::string& log(RecordKind kind) const { return mLogs[static_cast<int>(kind)]; }
  int count(RecordKind kind) const { return mCounts[static_cast<int>(kind)]; }
  const vek::SnapshotField& fieldValues() const { return mField; }
  double scale() const { return mScale; }
  double edgeThickness() const { return 0.45 / mScale; }
  const std::optional<Ground>& ground() const { return mGround; }
  const std::vector<SceneShape>& shapes() const { return mShapes; }

  Vec3 toScene(const vek::SnapshotPoint& p) const;

 private:
  void addLog(RecordKind kind, const std::string& entry);
  void addShape(const SceneShape& shape);

  ColourRule& mColours;
  vek::SnapshotField mField;
  double mScale = kDefaultFieldScale;
  std::optional<Ground> mGround;
  std::vector<SceneShape> mShapes;
  std::array<std::string, kRecordKinds> mLogs;
  std::array<int, kRecordKinds> mCounts{};
};

}  // namespace viewer
