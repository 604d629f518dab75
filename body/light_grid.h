// mLightGrid: the cells of the light field and the two ways of letting the parts take their
// light from them (engine/reference_mode.h).
//
// Both start from `daylight` in every cell and let each part, highest first, take `downsize`
// of the light of every cell it covers (body/covered_cells.h): taken += downsize * cell, then
// cell *= 1 - downsize, cell by cell, rows ascending. They set each part's light to its
// `taken`, leave the same light in every cell, and answer the occupancy, 1 - light left /
// daylight given (0 when nothing is given).
//
// absorbPlain fills every cell, tests every cell of each part's bounding square and sums the
// whole grid (a compensated sum). absorbFast costs what the parts cover: one bit per cell
// tells whether the current computation has written it, and a cell it has not written holds
// its daylight, so nothing is refilled (only the bits set last time are cleared); each part's
// covered cells are kept from one computation to the next while its centre, its radius and
// the grid's frame stay the same; and the light left is the light given less the light taken,
// which differs from the plain sum only in its last digits. absorbFast requires
// frame.allowsRuns(), a finite daylight and 0 <= downsize <= 1.
//
// Owned by the field; called on the world's thread only.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "body/covered_cells.h"

class mSphere;

class mLightGrid {
 public:
  explicit mLightGrid(int side);
  mLightGrid(const mLightGrid&) = delete;
  mLightGrid& operator=(const mLightGrid&) = delete;

  int side() const { return mSide; }
  // Covered cells visited by all computations so far (a cell once per part over it).
  std::uint64_t visits() const { return mVisits; }
  void addVisits(std::uint64_t visits) { mVisits += visits; }
  // The light left in cell (i, j) after the last computation; 0 <= i, j < side().
  double cell(int i, int j) const;

  // `parts` in the order they take their light; parts below the ground end the walk.
  double absorbPlain(const std::vector<mSphere*>& parts, const mGridFrame& frame, double daylight,
                     double downsize);
  double absorbFast(const std::vector<mSphere*>& parts, const mGridFrame& frame, double daylight,
                    double downsize);

 private:
  // A part's covered cells as they were last found.
  struct Cover {
    double x = 0, y = 0, r = 0;
    std::vector<mCellRun> runs;
    std::uint32_t used = 0;  // the computation that last used it
  };
  const std::vector<mCellRun>& coverOf(const mSphere& part, const mGridFrame& frame);
  void forgetUnusedCovers(size_t partCount);

  int mSide;
  std::uint64_t mVisits = 0;
  std::vector<double> mCells;  // mSide * mSide, row i holds the cells (i, 0 .. side-1)
  // Bit k % 64 of word k / 64: the last fast computation wrote cell k. The words it set bits
  // in, to be cleared before the next.
  std::vector<std::uint64_t> mWritten;
  std::vector<size_t> mWrittenWords;
  bool mLastWasFast = false;
  double mDaylight = 0;  // what the last computation gave each cell
  std::uint32_t mComputation = 0;  // fast computations so far; covers note the last that used them
  std::unordered_map<const mSphere*, Cover> mCovers;
  mGridFrame mCoverFrame;  // the frame mCovers were found in
};
