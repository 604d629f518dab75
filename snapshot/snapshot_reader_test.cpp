#include "snapshot/snapshot_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

std::string text(const vek::SnapshotPoint& p) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%g %g %g", p.x, p.y, p.z);
  return buffer;
}

// Writes every record it receives as one short line, so whole readings compare as texts.
class Recorder : public vek::SnapshotSink {
 public:
  void field(const vek::SnapshotField& f) override {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "field %g %g %g %g %g %g %g", f.min_x, f.min_y, f.max_x, f.max_y,
                  f.center_x, f.center_y, f.haba);
    records.push_back(buffer);
  }
  void edge(const vek::SnapshotEdge& e) override { records.push_back("E " + text(e.a) + " | " + text(e.b) + " " + e.id); }
  void leaf(const vek::SnapshotLeaf& l) override { records.push_back("L " + organ(l)); }
  void flower(const vek::SnapshotLeaf& l) override { records.push_back("F " + organ(l)); }
  void seed(const vek::SnapshotSeed& s) override { records.push_back("S " + text(s.position) + " " + s.id); }

  std::vector<std::string> records;

 private:
  static std::string organ(const vek::SnapshotLeaf& l) {
    char size[32];
    std::snprintf(size, sizeof size, "%g", l.size);
    return text(l.position) + " | " + size + " | " + text(l.owner) + " " + l.id;
  }
};

std::vector<std::string> read(const std::string& file) {
  std::istringstream in(file);
  Recorder r;
  vek::readSnapshot(in, r);
  return r.records;
}

const char* const kHead = "/*-----Tovra View-------*/\r\n/ turn = 3\r\n/ time = 9\r\n";

TEST(SnapshotReader, ReadsTheFixtureInFileOrder) {
  Recorder r;
  ASSERT_TRUE(vek::readSnapshotFile(vek::test::dataPath("snapshot_plant.view"), r));
  const std::vector<std::string> expected = {
      "field -40 -40 40 40 0 0 0.08",
      "S 1.5 -3.25 0 3-12-7",
      "E 1.5 -3.25 0 | 1.5 -3.25 0.4 3-12-7",
      "E 1.5 -3.25 0.4 | 1.8 -3 0.7 3-12-7",
      "E 1.5 -3.25 0.4 | 1.2 -3.4 0.9 3-12-7",
      "L 1.8 -3 0.7 | 0.05 | 1.5 -3.25 0 3-12-7",
      "F 1.2 -3.4 0.9 | 0.1 | 1.5 -3.25 0 3-12-7",
      "S -10.25 6.5 0 5-20-7",
      "E -10.25 6.5 0 | -10.25 6.5 0.6 5-20-7",
      "L -10.25 6.5 0.6 | 0.08 | -10.25 6.5 0 5-20-7",
      "S 20 20 0 2-30-7",
  };
  EXPECT_EQ(r.records, expected);
}

TEST(SnapshotReader, AFileThatCannotBeOpenedGivesNothing) {
  Recorder r;
  EXPECT_FALSE(vek::readSnapshotFile(vek::test::freshFolder("missing") + "none.view", r));
  EXPECT_TRUE(r.records.empty());
}

TEST(SnapshotReader, AcceptsLfAndALastLineWithoutLineEnd) {
  const std::vector<std::string> expected = {"field -4 -3 2 1 0 0 0.5", "S 1 2 0 1-2-3", "S 4 5 0 1-2-4"};
  EXPECT_EQ(read("/*-----Tovra View-------*/\n/ turn = 3\n-4 -3 2 1 0 0 0.5\nS 1 2 0 1-2-3\nS 4 5 0 1-2-4"), expected);
  EXPECT_EQ(read("-4 -3 2 1 0 0 0.5\r\nS 1 2 0 1-2-3\r\nS 4 5 0 1-2-4\r\n"), expected);
}

TEST(SnapshotReader, FieldLineBoundsAreSwappedAndMissingNumbersStayZero) {
  EXPECT_EQ(read(std::string(kHead) + "40 30 -40 -30 0 0 0.08\r\n"),
            std::vector<std::string>{"field -40 -30 40 30 0 0 0.08"});
  EXPECT_EQ(read(std::string(kHead) + "-10 -20 10 xyz 4 5 6\r\n"),
            std::vector<std::string>{"field -10 -20 10 0 0 0 0"});
  EXPECT_EQ(read(std::string(kHead) + "-10 -20 nan 20 0 0 1\r\n"), std::vector<std::string>{"field -10 -20 0 0 0 0 0"});
  EXPECT_EQ(read(std::string(kHead) + "-1 -2 +3 0x1p2 0 0 .5\r\n"), std::vector<std::string>{"field -1 -2 3 4 0 0 0.5"});
}

TEST(SnapshotReader, WithoutAFieldLineTheFirstRecordIsStillARecord) {
  EXPECT_EQ(read(std::string(kHead) + "S 1 2 0 1-2-3\r\nS 4 5 0 1-2-4\r\n"),
            (std::vector<std::string>{"S 1 2 0 1-2-3", "S 4 5 0 1-2-4"}));
  EXPECT_TRUE(read(kHead).empty());
  EXPECT_TRUE(read("").empty());
}

TEST(SnapshotReader, SkipsLinesItDoesNotKnow) {
  const std::string file = std::string(kHead) + "\r\n   \r\n0 0 10 10 5 5 0.1\r\n" +
                           "N 1 1 1 1-1-1\r\n/ a remark\r\n\r\n E 1 1 1 2 2 2 1-1-1\r\ns 1 2 3 1-1-1\r\n" +
                           "S 1 2 3 1-1-1\r\n";
  EXPECT_EQ(read(file), (std::vector<std::string>{"field 0 0 10 10 5 5 0.1", "S 1 2 3 1-1-1"}));
}

TEST(SnapshotReader, RecordsMissingAValueOrCarryingANonFiniteOneAreSkipped) {
  const std::string file = std::string(kHead) + "0 0 10 10 5 5 0.1\r\n" +
                           "E 1 2 3 4 5 6\r\n"                  // no identifier
                           "E 1 2 3 4 5 id\r\n"                 // the identifier stands where a number should
                           "L 1 2 3 0.5 1 2 id\r\n"             // owner without z
                           "F 1 2 3 inf 1 2 0 1-1-1\r\n"
                           "S nan 2 3 1-1-1\r\n"
                           "S 1e999 2 3 1-1-1\r\n"
                           "S 1 --2 3 1-1-1\r\n"
                           "S 1 2 3\r\n"
                           "E1 2 3 4 5 6 1-1-2 and more\r\n"  // the scanning formats need no blank after the letter
                           "L 1 2 3 0.5 4 5 6 1-1-3\r\n";
  EXPECT_EQ(read(file), (std::vector<std::string>{"field 0 0 10 10 5 5 0.1", "E 1 2 3 | 4 5 6 1-1-2",
                                                  "L 1 2 3 | 0.5 | 4 5 6 1-1-3"}));
}

TEST(SnapshotReader, LongIdentifiersAndLinesAreCut) {
  const std::string longId(150, 'k');
  const std::string hugeLine(3 * vek::kSnapshotLineLimit, '7');
  const std::string file = std::string(kHead) + "0 0 10 10 5 5 0.1\r\n" + "S 1 2 3 " + longId + "\r\n" +
                           hugeLine + "\r\n" +
                           "S 1 2 3" + std::string(vek::kSnapshotLineLimit, ' ') + "1-1-1\r\n" +  // id beyond the limit
                           "S 4 5 6 1-1-2\r\n";
  const auto records = read(file);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1], "S 1 2 3 " + longId.substr(0, 99));
  EXPECT_EQ(records[2], "S 4 5 6 1-1-2");
}

TEST(SnapshotReader, EveryTruncationOfAFileReadsAGrowingPrefixOfItsRecords) {
  const std::string whole = vek::test::readBytes(vek::test::dataPath("snapshot_plant.view"));
  ASSERT_FALSE(whole.empty());
  const size_t all = read(whole).size();
  size_t previous = 0;
  for (size_t length = 0; length <= whole.size(); ++length) {
    const size_t now = read(whole.substr(0, length)).size();
    EXPECT_GE(now, previous) << "at length " << length;
    EXPECT_LE(now, all);
    previous = now;
  }
  EXPECT_EQ(previous, all);
}

}  // namespace
