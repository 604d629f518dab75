// Reduces a band, a low and a high value at every x (a confidence interval turn by turn), to
// what a chart of a given width can show: per pixel column the lowest low and the highest
// high, so the band drawn covers every interval that falls into the column. Memory is a
// fixed number of columns, whatever the length of the series; like MinMaxReducer, points
// beyond the planned end widen the columns.
//
// Not thread-safe: one thread adds, and reads once adding is done.
#pragma once

#include <cstdint>
#include <vector>

#include "plot/figure_model.h"
#include "plot/min_max_reducer.h"

namespace vek::plot {

class BandReducer {
 public:
  // The columns of MinMaxReducer(firstX, expectedLastX, columns).
  BandReducer(std::int64_t firstX, std::int64_t expectedLastX, int columns);

  // x as for MinMaxReducer::add. A band with either end not a number is missing at x.
  void add(std::int64_t x, double low, double high);

  bool hasValues() const { return mLow.hasValues(); }
  // The lowest low and the highest high; require hasValues().
  double minimum() const { return mLow.minimum(); }
  double maximum() const { return mHigh.maximum(); }

  // The band between its gaps (a column without any band): each column's lowest low and
  // highest high at the column's first and last x.
  std::vector<std::vector<BandPoint>> pieces() const;

 private:
  // Both see the same x's and the same missing values, so their columns match one to one.
  MinMaxReducer mLow;
  MinMaxReducer mHigh;
};

}  // namespace vek::plot
