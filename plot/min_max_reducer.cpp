#include "plot/min_max_reducer.h"

#include <algorithm>
#include <cmath>

namespace vek::plot {

namespace {

// Ties keep the earlier point, so a flat stretch is drawn from where it begins.
MinMaxBucket merged(const MinMaxBucket& a, const MinMaxBucket& b) {
  if (a.count == 0) return b;
  if (b.count == 0) return a;
  MinMaxBucket both = a;
  both.count = a.count + b.count;
  both.last = b.last;
  if (b.min.y < a.min.y) both.min = b.min;
  if (b.max.y > a.max.y) both.max = b.max;
  return both;
}

}  // namespace

MinMaxReducer::MinMaxReducer(std::int64_t firstX, std::int64_t expectedLastX, int columns)
    : mFirstX(firstX), mColumns(std::max(columns, 1)), mLastX(firstX - 1) {
  const std::int64_t span = std::max<std::int64_t>(expectedLastX - firstX + 1, 1);
  mWidth = std::max<std::int64_t>((span + mColumns - 1) / mColumns, 1);
  mBuckets.reserve(static_cast<std::size_t>(std::min<std::int64_t>(span, mColumns)));
}

void MinMaxReducer::widen() {
  std::vector<MinMaxBucket> wider((mBuckets.size() + 1) / 2);
  for (std::size_t i = 0; i < mBuckets.size(); ++i) wider[i / 2] = merged(wider[i / 2], mBuckets[i]);
  mBuckets = std::move(wider);
  mWidth *= 2;
}

void MinMaxReducer::add(std::int64_t x, double y) {
  if (x < mFirstX || x <= mLastX) return;
  mLastX = x;
  std::int64_t index = (x - mFirstX) / mWidth;
  while (index >= mColumns) {
    widen();
    index = (x - mFirstX) / mWidth;
  }
  if (static_cast<std::size_t>(index) >= mBuckets.size()) mBuckets.resize(static_cast<std::size_t>(index) + 1);
  if (std::isnan(y)) return;
  MinMaxBucket& bucket = mBuckets[static_cast<std::size_t>(index)];
  const PlotPoint point{static_cast<double>(x), y};
  if (bucket.count++ == 0) {
    bucket.first = bucket.last = bucket.min = bucket.max = point;
    return;
  }
  bucket.last = point;
  if (y < bucket.min.y) bucket.min = point;
  if (y > bucket.max.y) bucket.max = point;
}

bool MinMaxReducer::hasValues() const {
  return std::any_of(mBuckets.begin(), mBuckets.end(), [](const MinMaxBucket& b) { return b.count > 0; });
}

double MinMaxReducer::minimum() const {
  double least = INFINITY;
  for (const MinMaxBucket& b : mBuckets)
    if (b.count > 0) least = std::min(least, b.min.y);
  return least;
}

double MinMaxReducer::maximum() const {
  double most = -INFINITY;
  for (const MinMaxBucket& b : mBuckets)
    if (b.count > 0) most = std::max(most, b.max.y);
  return most;
}

std::vector<std::vector<PlotPoint>> MinMaxReducer::polylines() const {
  std::vector<std::vector<PlotPoint>> lines;
  bool inGap = true;
  for (const MinMaxBucket& b : mBuckets) {
    if (b.count == 0) {
      inGap = true;
      continue;
    }
    if (inGap) lines.emplace_back();
    inGap = false;
    PlotPoint points[4] = {b.first, b.min, b.max, b.last};
    std::sort(points, points + 4, [](const PlotPoint& p, const PlotPoint& q) { return p.x < q.x; });
    std::vector<PlotPoint>& line = lines.back();
    for (const PlotPoint& p : points)
      if (line.empty() || line.back().x != p.x) line.push_back(p);
  }
  return lines;
}

}  // namespace vek::plot
