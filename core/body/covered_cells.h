// The cells of the light grid that one leaf or flower covers.
//
// A part covers cell (i, j) when the cell's centre lies strictly within its radius:
// dx * dx + dy * dy < r * r, with dx = x - (minX + (i + 0.5) * haba) and dy likewise, tested
// only over the cells of the part's bounding square (clamped to the grid). This file finds
// exactly those cells, each row's as one run of consecutive cells, without testing every cell:
// along a row dy falls steadily, so the test holds on one unbroken stretch whose ends are
// estimated from the circle and then settled by the test itself, evaluated in the very form
// above. The runs therefore hold the same cells, in the same row-by-row order, as a cell-by-cell
// scan would visit.
//
// Plain functions; any thread.
#pragma once

#include <cstddef>
#include <vector>

class mPoint3D;
struct Parameters;

// Where the grid lies: the lower corner, the cell width and the cells per side.
struct mGridFrame {
  double minX = 0;
  double minY = 0;
  double haba = 1;
  int side = 0;

  // The frame the field's parameters give for a grid of `side` cells per side.
  static mGridFrame fromParameters(const Parameters& p, int side);
  // Whether the runs below can be found for this frame: finite corner and a finite, positive
  // cell width. Other frames must be scanned cell by cell.
  bool allowsRuns() const;
};

// A stretch of covered cells in one row: `count` cells from grid index `first`
// (row * side + column).
struct mCellRun {
  size_t first;
  int count;
};

// The bounding square of a part of radius r at (x, y) in cells, clamped to the grid, as the
// light computation has always taken it. Empty (i0 > i1 or j0 > j1, or NaN) when the part
// misses the grid.
struct mCellBox {
  double i0, i1, j0, j1;
  bool empty() const { return !(i0 <= i1 && j0 <= j1); }
};
mCellBox cellBox(const mGridFrame& frame, double x, double y, double r);

// Appends the runs of cells covered by a part of radius r centred at (x, y), rows ascending.
// Requires frame.allowsRuns().
void appendCoveredRuns(const mGridFrame& frame, double x, double y, double r,
                       std::vector<mCellRun>& runs);
