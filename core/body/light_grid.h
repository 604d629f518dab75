// mLightGrid: the cells of the light field and the two ways of letting the parts take their
// light from them (body/world_settings.h).
//
// Both start from `daylight` in every cell and let each part, highest first, take `downsize`
// of the light of every cell it covers (body/covered_cells.h): taken += downsize * cell, then
// cell *= 1 - downsize, cell by cell, rows ascending. They set each part's light to its
// `taken`, leave the same light in every cell, and answer the occupancy: the parts' light
// summed in the order they took it, over the daylight given (0 when nothing is given). Both
// ways give each part the same `taken`, bit for bit, so they answer the same occupancy.
//
// absorbPlain fills every cell and tests every cell of each part's bounding square.
//
// absorbFast costs what the parts cover. A cell's light depends only on how many parts have
// taken from it so far in this computation, its depth: the daylight times 1 - downsize, that
// many times over. So the fast way keeps one byte of depth per cell instead of a double (an
// eighth of the memory to walk) and a table of the light at each depth. Only the cells the
// last computation touched are set back to depth 0. Along a part's cells the depth comes in
// stretches (0 where no higher part reached, the same under the same parts); a stretch adds
// the same share to the part's light again and again, which addRepeatedly sums in one go
// with the bits of adding cell by cell. Each part's covered cells are kept from one
// computation to the next while its centre, its radius and the grid's frame stay the same. A
// computation that would stack more than 255 parts over one cell is made the plain way
// instead. absorbFast requires frame.allowsRuns(), a finite daylight and 0 <= downsize <= 1.
//
// Owned by the field; called on the world's thread only.
#pragma once

#include <array>
#include <cstdint>
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
  // The rectangle of cells around a part's runs: `rows` rows of `width` cells from `first`.
  struct Box {
    size_t first = 0;
    int rows = 0;
    int width = 0;
  };
  // A part's covered cells as they were last found.
  struct Cover {
    const mSphere* part = nullptr;  // compared, never followed: the part may be gone
    double x = 0, y = 0, r = 0;
    std::vector<mCellRun> runs;
    Box box;
    std::uint32_t used = 0;  // the computation that last used it
  };
  // The slot in mCovers of the part's covered cells, found anew when the part moved or grew.
  std::uint32_t coverSlotOf(mSphere& part, const mGridFrame& frame);
  void forgetUnusedCovers(size_t partCount);
  // Sets every cell the last fast computation touched back to depth 0.
  void clearDepths();
  // Lets the parts take their light; false (with the parts' light partly set) when a cell
  // would pass the deepest depth a byte holds.
  bool absorbByDepth(const std::vector<mSphere*>& parts, const mGridFrame& frame, double downsize,
                     double& absorbed);

  static constexpr int kDeepest = 255;
  // Bytes after the last cell, so that sixteen depths can always be read at once.
  static constexpr size_t kPadding = 16;

  int mSide;
  std::uint64_t mVisits = 0;
  std::vector<double> mCells;  // plain: mSide * mSide, row i holds the cells (i, 0 .. side-1)
  // fast: the depth of every cell, laid out as mCells (and kPadding more, always 0); the boxes
  // of the parts of the last fast computation, which hold every cell it touched.
  std::vector<std::uint8_t> mDepths;
  std::vector<Box> mTouched;
  // The stretches of equal depth the parts of a fast computation met, part after part, and
  // where each part's end: one computation's scratch, kept for its memory.
  struct Stretch {
    std::uint32_t cells;
    std::uint8_t depth;
  };
  std::vector<Stretch> mStretches;
  std::vector<std::uint32_t> mStretchEnds;
  std::vector<std::uint32_t> mCoverSlots;  // of the parts taking light, in their order
  size_t mTouchedArea = 0;  // their cells in all
  std::array<double, kDeepest + 1> mLightAtDepth{};
  double mTableDownsize = 0;  // the share mLightAtDepth was made with
  bool mLastWasFast = false;
  std::uint32_t mComputation = 0;  // fast computations so far; covers note the last that used them
  // Covers by slot (mSphere::lightSlot), and the slots given up by parts no longer seen.
  std::vector<Cover> mCovers;
  std::vector<std::uint32_t> mFreeCovers;
  mGridFrame mCoverFrame;  // the frame mCovers were found in
};
