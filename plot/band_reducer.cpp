#include "plot/band_reducer.h"

#include <cmath>
#include <limits>

namespace vek::plot {

BandReducer::BandReducer(std::int64_t firstX, std::int64_t expectedLastX, int columns)
    : mLow(firstX, expectedLastX, columns), mHigh(firstX, expectedLastX, columns) {}

void BandReducer::add(std::int64_t x, double low, double high) {
  if (std::isnan(low) || std::isnan(high)) low = high = std::numeric_limits<double>::quiet_NaN();
  mLow.add(x, low);
  mHigh.add(x, high);
}

std::vector<std::vector<BandPoint>> BandReducer::pieces() const {
  std::vector<std::vector<BandPoint>> pieces;
  bool inGap = true;
  const std::vector<MinMaxBucket>& lows = mLow.buckets();
  const std::vector<MinMaxBucket>& highs = mHigh.buckets();
  for (std::size_t i = 0; i < lows.size(); ++i) {
    if (lows[i].count == 0) {
      inGap = true;
      continue;
    }
    if (inGap) pieces.emplace_back();
    inGap = false;
    const double low = lows[i].min.y;
    const double high = highs[i].max.y;
    pieces.back().push_back({lows[i].first.x, low, high});
    if (lows[i].last.x != lows[i].first.x) pieces.back().push_back({lows[i].last.x, low, high});
  }
  return pieces;
}

}  // namespace vek::plot
