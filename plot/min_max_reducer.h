// Reduces a long series to what a chart of a given width can show, without losing a spike.
//
// The x range is cut into at most `columns` buckets of equal width, one per pixel column of
// the chart; each bucket keeps its first, last, smallest and largest value with their x. The
// line through those four points, bucket by bucket in x order, covers exactly the pixels the
// whole series would cover at that width: a single extreme value stays visible, however many
// points fall into its column. Memory is a fixed number of buckets, whatever the length of the
// series.
//
// The width is planned from the expected x range. Points beyond it (a log that grew while it
// was read, a live series that goes on turn after turn) widen the buckets instead: neighbouring
// buckets are merged in pairs and the width doubles, so there are never more than `columns`.
//
// A value that is not a number is missing: a bucket that ends up without any value breaks
// the line, so a gap of a pixel column or more shows as a gap.
//
// Not thread-safe: one thread adds, and reads once adding is done (or between adds).
#pragma once

#include <cstdint>
#include <vector>

namespace vek::plot {

struct PlotPoint {
  double x = 0;
  double y = 0;
  bool operator==(const PlotPoint&) const = default;
};

struct MinMaxBucket {
  std::int64_t count = 0;  // values in the bucket, missing ones not counted
  PlotPoint first, last, min, max;
};

class MinMaxReducer {
 public:
  // Buckets start at `firstX` with a width of ceil((expectedLastX - firstX + 1) / columns),
  // at least 1. Requires columns >= 1.
  MinMaxReducer(std::int64_t firstX, std::int64_t expectedLastX, int columns);

  // x must be at least firstX and greater than the x of every earlier call; a point that is
  // not is ignored. NaN is missing.
  void add(std::int64_t x, double y);

  // Bucket i covers x from firstX + i * bucketWidth() up to, not including, the next one's.
  // Only the buckets up to the last one reached are held.
  const std::vector<MinMaxBucket>& buckets() const { return mBuckets; }
  std::int64_t bucketWidth() const { return mWidth; }
  std::int64_t firstX() const { return mFirstX; }
  // The x of the last add, or firstX - 1 before any.
  std::int64_t lastX() const { return mLastX; }

  bool hasValues() const;
  // The smallest and largest value added; requires hasValues().
  double minimum() const;
  double maximum() const;

  // The line to draw, as pieces between the gaps: each bucket's first, extreme and last
  // points in x order, each x once.
  std::vector<std::vector<PlotPoint>> polylines() const;

 private:
  void widen();

  std::int64_t mFirstX;
  int mColumns;
  std::int64_t mWidth;
  std::int64_t mLastX;
  std::vector<MinMaxBucket> mBuckets;
};

}  // namespace vek::plot
