#include "viewer/colour_rule.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "viewer/scene.h"
#include "viewer/snapshot_file.h"

namespace {

using viewer::Colour;
using viewer::PlantColours;
using viewer::SceneShape;

void expectSame(const Colour& a, const Colour& b) {
  EXPECT_EQ(a.r, b.r);
  EXPECT_EQ(a.g, b.g);
  EXPECT_EQ(a.b, b.b);
}

TEST(ViewerPlantColours, ComeFromAGeneratorSeededByTheIdentifiersHash) {
  EXPECT_EQ(PlantColours::seedOf(""), 2166136261u);  // FNV-1a's offset basis
  EXPECT_EQ(PlantColours::seedOf("a"), 0xe40c292cu);
  EXPECT_EQ(PlantColours::seedOf("foobar"), 0xbf9cf968u);

  viewer::ColourRandom random;
  random.seed(PlantColours::seedOf("3-12-7"));
  const Colour edge = viewer::edgeColour(random);
  const Colour leaf = viewer::leafColour(random);
  PlantColours colours;
  // asked in any order and as often as there are parts, a plant keeps its two colours
  expectSame(colours.leaf("3-12-7"), leaf);
  expectSame(colours.edge("5-20-7"), PlantColours().edge("5-20-7"));
  expectSame(colours.edge("3-12-7"), edge);
  expectSame(colours.edge("3-12-7"), edge);
  EXPECT_NE(colours.edge("3-12-7").r, colours.edge("3-12-8").r);
  // and they lie in the ranges of the window's colours
  EXPECT_GE(edge.r, 0.3);
  EXPECT_LE(edge.r, 0.5);
  EXPECT_GE(leaf.g, 0.15);
  EXPECT_LE(leaf.g, 0.35);
}

// The same plant in two snapshots, with other plants before it in one of them, is drawn in the
// same colours: a movie of a growing world does not flicker.
TEST(ViewerPlantColours, APlantLooksTheSameWhateverElseTheSnapshotHolds) {
  const std::string head = "/*-----Tovra View-------*/\r\n/ turn = 1\r\n/ time = 1\r\n-40 -40 40 40 0 0 0.08\r\n";
  const std::string plant =
      "S 1 1 0 4-4-4\r\nE 1 1 0 1 1 1 4-4-4\r\nE 1 1 1 1 2 2 4-4-4\r\nL 1 2 2 0.5 1 1 0 4-4-4\r\n";
  const std::string other = "S 5 5 0 9-9-9\r\nE 5 5 0 5 5 1 9-9-9\r\nL 5 5 1 0.5 5 5 0 9-9-9\r\n";
  const auto shapesOf = [](const std::string& text) {
    PlantColours colours;
    viewer::Scene scene(colours);
    std::istringstream in(text);
    vek::readSnapshot(in, scene);
    return scene.shapes();
  };
  const std::vector<SceneShape> alone = shapesOf(head + plant);
  const std::vector<SceneShape> after = shapesOf(head + other + plant);
  ASSERT_EQ(alone.size(), 3u);
  ASSERT_EQ(after.size(), 5u);
  for (size_t i = 0; i < alone.size(); ++i) expectSame(alone[i].colour, after[i + 2].colour);
  expectSame(alone[0].colour, alone[1].colour);  // one brown for all of a plant's edges
}

TEST(ViewerSnapshotFile, SaysWhyAFileCannotBeShown) {
  const std::string data = VEK_TEST_DATA_DIR;
  viewer::DrawnColours colours(1);
  viewer::Scene read(colours);
  EXPECT_FALSE(viewer::readSnapshotOrSay(data + "/snapshot_plant.view", read));
  EXPECT_EQ(read.count(viewer::RecordKind::Seed), 3);
  viewer::Scene ground(colours);
  EXPECT_FALSE(viewer::readSnapshotOrSay(data + "/snapshot_ground.view", ground));  // a field alone is a snapshot

  const struct {
    std::string path;
    std::string said;
  } cases[] = {
      {data + "/no such.view", "cannot open the snapshot '" + data + "/no such.view': No such file or directory"},
      {data, "cannot read the snapshot '" + data + "': it is a folder"},
      {data + "/gene.gini", "'" + data + "/gene.gini' holds no snapshot: neither the field's size nor any plant"},
  };
  for (const auto& c : cases) {
    viewer::Scene scene(colours);
    EXPECT_EQ(viewer::readSnapshotOrSay(c.path, scene), c.said);
    EXPECT_TRUE(scene.shapes().empty());
  }
}

}  // namespace
