#include "records/snapshot_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "snapshot/snapshot_reader.h"
#include "records/world_document.h"
#include "tests/test_support.h"

namespace {

using vek::test::dataPath;
using vek::test::freshFolder;
using vek::test::readBytes;

// The saved world of the fixture folder: two living individuals (one with an edge and a leaf,
// one bare) and one newborn, at turn 7 and time 120.
class SnapshotOfTheSavedWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = freshFolder("world");
    for (const char* file : {"Vind.lives", "Ostrel.lives", "parameter.pini"})
      std::filesystem::copy_file(dataPath(std::string("saved_world/") + file), folder + file);
    ASSERT_TRUE(mDocument.load(folder).ok());
  }
  mWorld mWorld_;
  vek::WorldDocument mDocument{mWorld_, vek::test::fileLock()};
};

TEST_F(SnapshotOfTheSavedWorld, EveryLivingIndividualWithItsEdgesLeavesAndFlowers) {
  EXPECT_EQ(vek::snapshotText(mWorld_.place()),
            "/*-----Tovra View-------*/\r\n"
            "/ turn = 7\r\n"
            "/ time = 120\r\n"
            "-40 -40 40 40 0 0 0.08\r\n"
            "S 1.500000 -2.000000 0.000000 5-0-1\r\n"
            "E 1.500000 -2.000000 0.000000 1.500000 -2.000000 1.000000 5-0-1\r\n"
            "L 1.500000 -2.000000 1.000000 0.2500000000 1.500000 -2.000000 0.000000 5-0-1\r\n"
            "S 10.000000 10.000000 0.000000 3-100-1\r\n");
}

TEST_F(SnapshotOfTheSavedWorld, OneIndividualAndItsFile) {
  const mSeed& bare = *mWorld_.place().population().living()[1];
  EXPECT_EQ(vek::seedSnapshotText(mWorld_.place(), bare),
            "/*-----Tovra View-------*/\r\n/ turn = 7\r\n/ time = 120\r\n-40 -40 40 40 0 0 0.08\r\n"
            "S 10.000000 10.000000 0.000000 3-100-1\r\n");
  EXPECT_EQ(vek::seedSnapshotFileName(bare), "SeedID3-100-1.view");

  const std::string path = freshFolder("file") + vek::seedSnapshotFileName(bare);
  ASSERT_TRUE(vek::writeSnapshotFile(path, vek::seedSnapshotText(mWorld_.place(), bare), vek::test::fileLock()).ok());
  EXPECT_EQ(readBytes(path), vek::seedSnapshotText(mWorld_.place(), bare));
  EXPECT_FALSE(vek::writeSnapshotFile(path + "/cannot/be", "x", vek::test::fileLock()).ok());
}

TEST_F(SnapshotOfTheSavedWorld, TheViewerReadsWhatWasWritten) {
  struct Counter : vek::SnapshotSink {
    void field(const vek::SnapshotField& f) { width = f.max_x - f.min_x; }
    void edge(const vek::SnapshotEdge& e) { edges += e.id == "5-0-1"; }
    void leaf(const vek::SnapshotLeaf& l) { leaves += l.size == 0.25; }
    void flower(const vek::SnapshotLeaf&) { ++flowers; }
    void seed(const vek::SnapshotSeed&) { ++seeds; }
    double width = 0;
    int edges = 0, leaves = 0, flowers = 0, seeds = 0;
  } counter;
  std::istringstream in(vek::snapshotText(mWorld_.place()));
  vek::readSnapshot(in, counter);
  EXPECT_EQ(counter.width, 80.0);
  EXPECT_EQ(counter.edges, 1);
  EXPECT_EQ(counter.leaves, 1);
  EXPECT_EQ(counter.flowers, 0);
  EXPECT_EQ(counter.seeds, 2);
}

TEST(SnapshotWriter, AnEmptyPopulationGivesTheFourHeaderLines) {
  mWorld world;
  EXPECT_EQ(vek::snapshotText(world.place()),
            "/*-----Tovra View-------*/\r\n/ turn = 0\r\n/ time = 0\r\n-40 -40 40 40 0 0 0.08\r\n");
}

TEST(SnapshotWriter, TheFieldLineComesFromTheParameters) {
  Parameters p;
  p.mField_min_x = -10;
  p.mField_min_y = 5;
  p.mField_haba = 0.5;
  p.mField_N = 40;
  EXPECT_EQ(vek::snapshotFieldLine(p), "-10 5 10 25 0 15 0.5");
  p.mField_min_x = -40.123456789;
  p.mField_haba = 0.0125;
  p.mField_N = 1000;
  EXPECT_EQ(vek::snapshotFieldLine(p), "-40.1235 5 -27.6235 17.5 -33.8735 11.25 0.0125");
}

}  // namespace
