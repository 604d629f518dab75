#include "viewer/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "viewer/camera.h"

namespace {

using viewer::RecordKind;
using viewer::SceneShape;
using viewer::Vec3;

std::string dataPath(const std::string& name) { return std::string(VEK_TEST_DATA_DIR) + "/" + name; }

void readText(const std::string& file, viewer::Scene& scene) {
  std::istringstream in(file);
  vek::readSnapshot(in, scene);
}

// Turns v as glRotate would: by `angle` degrees about the unit `axis` (Rodrigues).
Vec3 rotate(const viewer::Turn& turn, Vec3 v) {
  const double a = turn.angle * viewer::kPi / 180;
  const Vec3 k = turn.axis;
  const Vec3 kxv{k.y * v.z - k.z * v.y, k.z * v.x - k.x * v.z, k.x * v.y - k.y * v.x};
  const double kv = k.x * v.x + k.y * v.y + k.z * v.z;
  return std::cos(a) * v + std::sin(a) * kxv + (kv * (1 - std::cos(a))) * k;
}

void expectNear(Vec3 a, Vec3 b, double tolerance = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(ViewerColours, IsTheClassicGenerator) {
  viewer::ColourRandom random;
  random.seed(1);
  EXPECT_EQ(random.next(), 41);
  EXPECT_EQ(random.next(), 18467);
  EXPECT_EQ(random.next(), 6334);
  EXPECT_EQ(random.next(), 26500);
  random.seed(1);
  EXPECT_DOUBLE_EQ(random.unit(), 41 / 32767.0);
}

TEST(ViewerScene, BuildsTheFixtureWithItsLogsCountsAndField) {
  viewer::DrawnColours colours(7);
  viewer::Scene scene(colours);
  ASSERT_TRUE(vek::readSnapshotFile(dataPath("snapshot_plant.view"), scene));

  EXPECT_EQ(scene.count(RecordKind::Edge), 4);
  EXPECT_EQ(scene.count(RecordKind::Leaf), 2);
  EXPECT_EQ(scene.count(RecordKind::Flower), 1);
  EXPECT_EQ(scene.count(RecordKind::Seed), 3);
  EXPECT_EQ(scene.log(RecordKind::Edge),
            "1.50,-3.25,0.00,1.50,-3.25,0.40,3-12-7\r\n"
            "1.50,-3.25,0.40,1.80,-3.00,0.70,3-12-7\r\n"
            "1.50,-3.25,0.40,1.20,-3.40,0.90,3-12-7\r\n"
            "-10.25,6.50,0.00,-10.25,6.50,0.60,5-20-7\r\n");
  EXPECT_EQ(scene.log(RecordKind::Leaf), "1.80,-3.00,0.70,0.05,3-12-7\r\n-10.25,6.50,0.60,0.08,5-20-7\r\n");
  EXPECT_EQ(scene.log(RecordKind::Flower), "1.20,-3.40,0.90,0.10,3-12-7\r\n");
  EXPECT_EQ(scene.log(RecordKind::Seed),
            "1.50,-3.25,0.00,3-12-7\r\n-10.25,6.50,0.00,5-20-7\r\n20.00,20.00,0.00,2-30-7\r\n");

  EXPECT_EQ(scene.scale(), 16.0);
  EXPECT_DOUBLE_EQ(scene.edgeThickness(), 0.45 / 16);
  ASSERT_TRUE(scene.ground());
  EXPECT_EQ(scene.ground()->x1, -2.5);
  EXPECT_EQ(scene.ground()->y1, -2.5);
  EXPECT_EQ(scene.ground()->x2, 2.5);
  EXPECT_EQ(scene.ground()->y2, 2.5);
  EXPECT_EQ(scene.fieldValues().haba, 0.08);
}

TEST(ViewerScene, EdgesAndLeavesTakeTheirColoursInFileOrder) {
  viewer::DrawnColours colours(7);
  viewer::Scene scene(colours);
  ASSERT_TRUE(vek::readSnapshotFile(dataPath("snapshot_plant.view"), scene));

  viewer::ColourRandom draws;
  draws.seed(7);
  const auto& shapes = scene.shapes();
  ASSERT_EQ(shapes.size(), 7u);
  const SceneShape::Kind order[] = {SceneShape::Kind::Stick, SceneShape::Kind::Stick, SceneShape::Kind::Stick,
                                    SceneShape::Kind::Leaf,  SceneShape::Kind::Flower, SceneShape::Kind::Stick,
                                    SceneShape::Kind::Leaf};
  for (size_t i = 0; i < shapes.size(); ++i) {
    ASSERT_EQ(shapes[i].kind, order[i]) << i;
    const viewer::Colour c = shapes[i].colour;
    if (order[i] == SceneShape::Kind::Flower) {
      EXPECT_EQ(c.r, 1);
      EXPECT_EQ(c.g, 1);
      EXPECT_EQ(c.b, 0);
      continue;
    }
    const double u1 = draws.unit(), u2 = draws.unit(), u3 = draws.unit();
    if (order[i] == SceneShape::Kind::Stick) {
      EXPECT_DOUBLE_EQ(c.r, 0.3 + 0.2 * u1) << i;
      EXPECT_DOUBLE_EQ(c.g, 0.15 + 0.05 * u2) << i;
      EXPECT_DOUBLE_EQ(c.b, 0.05 * u3) << i;
    } else {
      EXPECT_DOUBLE_EQ(c.r, 0.05 * u1) << i;
      EXPECT_DOUBLE_EQ(c.g, 0.15 + 0.2 * u2) << i;
      EXPECT_DOUBLE_EQ(c.b, 0.075 * u3) << i;
    }
  }
  EXPECT_EQ(colours.random().next(), draws.next());  // 18 draws and no more
}

TEST(ViewerScene, ShapesStandWhereTheFileSaysInSceneUnits) {
  viewer::DrawnColours colours{1};
  viewer::Scene scene(colours);
  ASSERT_TRUE(vek::readSnapshotFile(dataPath("snapshot_plant.view"), scene));
  const auto& shapes = scene.shapes();
  ASSERT_EQ(shapes.size(), 7u);

  // a stick from A to B: a unit cube scaled (t, t, |B - A|) at the midpoint, +z turned onto B - A
  const Vec3 a{1.5 / 16, -3.25 / 16, 0.4 / 16}, b{1.8 / 16, -3.0 / 16, 0.7 / 16};
  const SceneShape& stick = shapes[1];
  expectNear(stick.at, 0.5 * (a + b));
  EXPECT_DOUBLE_EQ(stick.size.x, 0.45 / 16);
  EXPECT_DOUBLE_EQ(stick.size.y, 0.45 / 16);
  EXPECT_NEAR(stick.size.z, viewer::length(b - a), 1e-12);
  expectNear(rotate(stick.turn, {0, 0, 0.5 * stick.size.z}), 0.5 * (b - a));
  EXPECT_EQ(shapes[0].turn.angle, 0);  // the upright first edge

  // a leaf: at P, of size s, +z turned toward its owner's foot Q
  const SceneShape& leaf = shapes[3];
  const Vec3 p{1.8 / 16, -3.0 / 16, 0.7 / 16}, q{1.5 / 16, -3.25 / 16, 0};
  expectNear(leaf.at, p);
  EXPECT_DOUBLE_EQ(leaf.size.x, 0.05 / 16);
  EXPECT_EQ(leaf.size.x, leaf.size.z);
  expectNear(rotate(leaf.turn, {0, 0, viewer::length(q - p)}), q - p);
}

TEST(ViewerScene, TurnOntoHandlesTheZAxisAndNoDirection) {
  const Vec3 directions[] = {{1, 0, 0}, {0, -2, 0}, {1, 2, 3}, {-1, -1, -5}, {0, 0, 3}, {0, 0, -3},
                             {1e-300, 0, -1}, {3e-170, 0, 1}};
  for (const Vec3& d : directions) {
    const viewer::Turn turn = viewer::turnOnto(d);
    ASSERT_TRUE(std::isfinite(turn.angle));
    EXPECT_NEAR(viewer::length(turn.axis), 1, 1e-12);
    expectNear(rotate(turn, {0, 0, 1}), (1 / viewer::length(d)) * d, 1e-9);
  }
  EXPECT_EQ(viewer::turnOnto({0, 0, -3}).angle, 180);
  EXPECT_EQ(viewer::turnOnto({0, 0, 3}).angle, 0);
  EXPECT_EQ(viewer::turnOnto({0, 0, 0}).angle, 0);
}

const char* const kHead = "/*-----Tovra View-------*/\r\n/ turn = 3\r\n/ time = 9\r\n";

TEST(ViewerScene, DegeneratePartsAreLoggedButDrawnOnlyWhereSound) {
  viewer::DrawnColours colours(3);
  viewer::Scene scene(colours);
  readText(std::string(kHead) + "-40 -40 40 40 0 0 0.08\r\n" +
               "E 1 1 1 1 1 1 1-1-1\r\n"                 // zero length
               "L 2 2 0 0.5 2 2 0 1-1-1\r\n"             // at its owner's foot
               "F 2 2 1 0.5 2 2 0 1-1-1\r\n"             // straight above it
               "E 1e300 0 0 -1e300 0 0 1-1-1\r\n"        // further than anything can be drawn
               "L 1 1 1 1e300 0 0 0 1-1-1\r\n",
           scene);
  EXPECT_EQ(scene.count(RecordKind::Edge), 2);
  EXPECT_EQ(scene.count(RecordKind::Leaf), 2);
  EXPECT_EQ(scene.count(RecordKind::Flower), 1);
  ASSERT_EQ(scene.shapes().size(), 2u);
  EXPECT_EQ(scene.shapes()[0].kind, SceneShape::Kind::Leaf);
  EXPECT_EQ(scene.shapes()[0].turn.angle, 0);
  EXPECT_EQ(scene.shapes()[1].kind, SceneShape::Kind::Flower);
  EXPECT_EQ(scene.shapes()[1].turn.angle, 180);
  // every edge and leaf took its three colours, drawn or not
  viewer::ColourRandom draws;
  draws.seed(3);
  for (int i = 0; i < 12; ++i) draws.next();
  EXPECT_EQ(colours.random().next(), draws.next());
}

TEST(ViewerScene, TheGroundCoversExactlyTheField) {
  viewer::DrawnColours colours{1};
  viewer::Scene scene(colours);
  readText(std::string(kHead) + "-30 -10 50 30 10 10 0.1\r\n", scene);  // 80 by 40, lower bounds differ
  EXPECT_EQ(scene.scale(), 16);
  ASSERT_TRUE(scene.ground());
  EXPECT_EQ(scene.ground()->x1, -2.5);
  EXPECT_EQ(scene.ground()->x2, 2.5);
  EXPECT_EQ(scene.ground()->y1, -1.25);
  EXPECT_EQ(scene.ground()->y2, 1.25);
  EXPECT_TRUE(scene.shapes().empty());
}

TEST(ViewerScene, WithoutAUsableFieldTheDefaultScaleHoldsAndNoGroundIsDrawn) {
  for (const std::string field : {"", "0 0 0 0 0 0 0\r\n", "5 5 5 5 5 5 0.08\r\n", "1e308 1e308 -1e308 -1e308 0 0 1\r\n"}) {
    viewer::DrawnColours colours{1};
    viewer::Scene scene(colours);
    readText(std::string(kHead) + field + "E 0 0 0 0 0 1.6 1-1-1\r\n", scene);
    EXPECT_FALSE(scene.ground()) << field;
    EXPECT_EQ(scene.scale(), viewer::kDefaultFieldScale) << field;
    ASSERT_EQ(scene.shapes().size(), 1u) << field;
    const SceneShape& stick = scene.shapes()[0];
    EXPECT_TRUE(viewer::isFinite(stick.at) && viewer::isFinite(stick.size)) << field;
    EXPECT_DOUBLE_EQ(stick.size.z, 0.1) << field;
  }
}

}  // namespace
