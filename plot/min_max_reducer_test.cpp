#include "plot/min_max_reducer.h"

#include <gtest/gtest.h>

#include "plot/band_reducer.h"

#include <algorithm>
#include <cmath>

namespace vek::plot {
namespace {

std::vector<PlotPoint> allPoints(const MinMaxReducer& reducer) {
  std::vector<PlotPoint> points;
  for (const auto& line : reducer.polylines()) points.insert(points.end(), line.begin(), line.end());
  return points;
}

bool contains(const std::vector<PlotPoint>& points, PlotPoint point) {
  return std::find(points.begin(), points.end(), point) != points.end();
}

TEST(MinMaxReducer, KeepsASingleLineSpikeAmongAMillionLines) {
  constexpr std::int64_t kTurns = 1000000;
  MinMaxReducer reducer(1, kTurns, 800);
  EXPECT_EQ(reducer.bucketWidth(), 1250);
  for (std::int64_t turn = 1; turn <= kTurns; ++turn) {
    double value = 100 + static_cast<double>(turn % 7);
    if (turn == 777777) value = 5000;
    if (turn == 123456) value = -40;
    reducer.add(turn, value);
  }
  EXPECT_EQ(reducer.buckets().size(), 800u);
  EXPECT_EQ(reducer.maximum(), 5000);
  EXPECT_EQ(reducer.minimum(), -40);
  const std::vector<PlotPoint> points = allPoints(reducer);
  EXPECT_TRUE(contains(points, {777777, 5000}));
  EXPECT_TRUE(contains(points, {123456, -40}));
  EXPECT_LE(points.size(), 4u * 800u);
  EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                             [](const PlotPoint& a, const PlotPoint& b) { return a.x <= b.x; }))
      << "points in x order, each x once";
  EXPECT_EQ(reducer.polylines().size(), 1u);
}

TEST(MinMaxReducer, EachBucketIsOnePixelColumnWithItsFirstExtremesAndLast) {
  MinMaxReducer reducer(1, 1000, 100);
  ASSERT_EQ(reducer.bucketWidth(), 10);
  // A saw tooth inside each column: 5, 9, 1, 5, ... the extremes sit inside the column.
  const double tooth[10] = {5, 6, 9, 4, 1, 3, 5, 5, 6, 7};
  for (std::int64_t x = 1; x <= 1000; ++x) reducer.add(x, tooth[(x - 1) % 10] + static_cast<double>((x - 1) / 10));
  ASSERT_EQ(reducer.buckets().size(), 100u);
  const MinMaxBucket& third = reducer.buckets()[2];
  EXPECT_EQ(third.count, 10);
  EXPECT_EQ(third.first, (PlotPoint{21, 7}));
  EXPECT_EQ(third.max, (PlotPoint{23, 11}));
  EXPECT_EQ(third.min, (PlotPoint{25, 3}));
  EXPECT_EQ(third.last, (PlotPoint{30, 9}));
  const std::vector<PlotPoint> points = allPoints(reducer);
  EXPECT_EQ(points.size(), 400u);
  EXPECT_EQ(points[8], (PlotPoint{21, 7}));
  EXPECT_EQ(points[11], (PlotPoint{30, 9}));
}

TEST(MinMaxReducer, PointsBeyondThePlannedEndWidenTheBucketsAndLoseNoExtreme) {
  MinMaxReducer reducer(1, 100, 10);
  for (std::int64_t x = 1; x <= 1000; ++x) reducer.add(x, x == 999 ? 1e9 : static_cast<double>(x % 3));
  EXPECT_LE(reducer.buckets().size(), 10u);
  EXPECT_EQ(reducer.bucketWidth(), 160);
  EXPECT_EQ(reducer.lastX(), 1000);
  EXPECT_EQ(reducer.maximum(), 1e9);
  EXPECT_TRUE(contains(allPoints(reducer), {999, 1e9}));
  std::int64_t counted = 0;
  for (const MinMaxBucket& b : reducer.buckets()) counted += b.count;
  EXPECT_EQ(counted, 1000);
  EXPECT_EQ(reducer.buckets().front().first, (PlotPoint{1, 1}));
  EXPECT_EQ(reducer.buckets().back().last, (PlotPoint{1000, 1}));
}

TEST(MinMaxReducer, AGapShowsWhenAWholeColumnIsMissing) {
  MinMaxReducer exact(1, 6, 6);
  for (std::int64_t x = 1; x <= 6; ++x) exact.add(x, x == 3 || x == 4 ? NAN : static_cast<double>(x));
  const auto pieces = exact.polylines();
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], (std::vector<PlotPoint>{{1, 1}, {2, 2}}));
  EXPECT_EQ(pieces[1], (std::vector<PlotPoint>{{5, 5}, {6, 6}}));

  MinMaxReducer coarse(1, 6, 3);
  for (std::int64_t x = 1; x <= 6; ++x) coarse.add(x, x == 3 ? NAN : static_cast<double>(x));
  EXPECT_EQ(coarse.polylines().size(), 1u) << "a missing value inside a column leaves the line whole";

  MinMaxReducer none(1, 6, 3);
  none.add(1, NAN);
  EXPECT_FALSE(none.hasValues());
  EXPECT_TRUE(none.polylines().empty());
}

TEST(BandReducer, EachColumnCoversEveryIntervalInItAndAMissingColumnIsAGap) {
  BandReducer band(1, 12, 4);  // columns of 3
  const double low[12] = {5, 4, 6, NAN, NAN, NAN, 1, 2, 3, 0, 9, 9};
  const double high[12] = {6, 8, 7, NAN, NAN, NAN, 2, 9, 4, 1, 10, NAN};
  for (int x = 1; x <= 12; ++x) band.add(x, low[x - 1], high[x - 1]);
  ASSERT_TRUE(band.hasValues());
  EXPECT_EQ(band.minimum(), 0);
  EXPECT_EQ(band.maximum(), 10);
  const auto pieces = band.pieces();
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], (std::vector<BandPoint>{{1, 4, 8}, {3, 4, 8}}));
  EXPECT_EQ(pieces[1], (std::vector<BandPoint>{{7, 1, 9}, {9, 1, 9}, {10, 0, 10}, {11, 0, 10}}))
      << "a band with one end missing is missing";
}

}  // namespace
}  // namespace vek::plot
