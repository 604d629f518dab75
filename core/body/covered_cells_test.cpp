#include "body/covered_cells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// The cells a cell-by-cell scan of the bounding square finds, as runs in scan order.
std::vector<std::pair<size_t, int>> scanned(const mGridFrame& frame, double x, double y, double r) {
  std::vector<std::pair<size_t, int>> runs;
  const mCellBox box = cellBox(frame, x, y, r);
  if (box.empty()) return runs;
  for (int i = static_cast<int>(box.i0); i <= static_cast<int>(box.i1); ++i) {
    const double dx = x - (frame.minX + (i + 0.5) * frame.haba);
    for (int j = static_cast<int>(box.j0); j <= static_cast<int>(box.j1); ++j) {
      const double dy = y - (frame.minY + (j + 0.5) * frame.haba);
      if (!(dx * dx + dy * dy < r * r)) continue;
      const size_t cell = static_cast<size_t>(i) * frame.side + j;
      if (!runs.empty() && runs.back().first + runs.back().second == cell &&
          runs.back().first / frame.side == static_cast<size_t>(i)) {
        ++runs.back().second;
      } else {
        runs.emplace_back(cell, 1);
      }
    }
  }
  return runs;
}

std::vector<std::pair<size_t, int>> found(const mGridFrame& frame, double x, double y, double r) {
  std::vector<mCellRun> runs;
  appendCoveredRuns(frame, x, y, r, runs);
  std::vector<std::pair<size_t, int>> pairs;
  for (const mCellRun& run : runs) pairs.emplace_back(run.first, run.count);
  return pairs;
}

TEST(CoveredCells, RunsHoldExactlyTheCellsTheDiscTestSelects) {
  const mGridFrame frames[] = {{-40, -40, 0.08, 1000}, {0, 0, 1, 10}, {-3.3, 7.1, 0.37, 57}};
  std::mt19937 random(5);
  for (const mGridFrame& frame : frames) {
    const double width = frame.side * frame.haba;
    std::uniform_real_distribution<double> across(frame.minX - 0.1 * width, frame.minX + 1.1 * width);
    std::uniform_real_distribution<double> along(frame.minY - 0.1 * width, frame.minY + 1.1 * width);
    std::uniform_real_distribution<double> radius(0, 0.3 * width);
    for (int k = 0; k < 3000; ++k) {
      const double x = across(random), y = along(random);
      // Small radii give chords shorter than a cell; radii that are whole numbers of cells put
      // cell centres right on the circle.
      double r = radius(random);
      if (k % 3 == 1) r *= 0.02;
      if (k % 3 == 2) r = frame.haba * std::round(r / frame.haba * 4) / 2;
      ASSERT_EQ(found(frame, x, y, r), scanned(frame, x, y, r)) << x << " " << y << " " << r;
    }
  }
}

TEST(CoveredCells, CentresOnTheCircleAreNotCovered) {
  const mGridFrame frame{0, 0, 1, 10};
  // Centred on cell (5, 5): radius 1 reaches the four neighbours' centres exactly.
  EXPECT_EQ(found(frame, 5.5, 5.5, 1.0), (std::vector<std::pair<size_t, int>>{{55, 1}}));
  EXPECT_EQ(found(frame, 5.5, 5.5, std::nextafter(1.0, 2.0)),
            (std::vector<std::pair<size_t, int>>{{45, 1}, {54, 3}, {65, 1}}));
}

TEST(CoveredCells, DegenerateRadiiCoverNothingOrEverything) {
  const mGridFrame frame{0, 0, 1, 10};
  EXPECT_TRUE(found(frame, 5.5, 5.5, 0).empty());
  EXPECT_TRUE(found(frame, 5.5, 5.5, std::numeric_limits<double>::quiet_NaN()).empty());
  EXPECT_TRUE(found(frame, std::numeric_limits<double>::quiet_NaN(), 5.5, 3).empty());
  // A negative radius squares like a positive one, but its bounding square is empty.
  EXPECT_TRUE(found(frame, 5.5, 5.5, -3).empty());
  EXPECT_TRUE(found(frame, 50, 5.5, 3).empty());

  const auto all = found(frame, 5, 5, std::numeric_limits<double>::infinity());
  ASSERT_EQ(all.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(all[i], std::make_pair(static_cast<size_t>(10 * i), 10));
  EXPECT_EQ(found(frame, 5, 5, 1e300), all);
}

TEST(CoveredCells, FramesThatAllowRuns) {
  EXPECT_TRUE(mGridFrame({-40, -40, 0.08, 1000}).allowsRuns());
  EXPECT_FALSE(mGridFrame({0, 0, 0, 10}).allowsRuns());
  EXPECT_FALSE(mGridFrame({0, 0, -1, 10}).allowsRuns());
  EXPECT_FALSE(mGridFrame({0, 0, std::numeric_limits<double>::infinity(), 10}).allowsRuns());
  EXPECT_FALSE(mGridFrame({std::numeric_limits<double>::quiet_NaN(), 0, 1, 10}).allowsRuns());
}

}  // namespace
