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
// absorbFast costs what the parts cover, and from one computation to the next only what
// changed. A cell's light depends only on how many parts have taken from it so far in this
// computation, its depth: the daylight times 1 - downsize, that many times over. So the fast
// way keeps one byte of depth per cell instead of a double (an eighth of the memory to walk)
// and a table of the light at each depth. Along a part's cells the depth comes in stretches
// (0 where no higher part reached, the same under the same parts); a stretch adds the same
// share to the part's light again and again, which addRepeatedly sums in one go with the bits
// of adding cell by cell.
//
// Each part's covered cells, the depth it met at each of them and the light it took are kept
// from one computation to the next. A part whose cells saw the same parts above them as last
// time met the same depths and takes the same light, bit for bit; so a computation recounts
// only the tiles of kTile x kTile cells where the stack changed: the cells of parts that
// appeared, went, moved, grew or shrank, or changed height, or whose order among parts of
// equal height changed. Those tiles are set back to depth 0 and counted again by every part
// over them, in order; each such part sums its light anew from the depths it met, the others
// keep theirs. A change of frame, daylight or share, or a computation made the plain way,
// makes the next one count everything. A computation that would stack more than 255 parts
// over one cell is made the plain way instead. absorbFast requires frame.allowsRuns(), a
// finite daylight and 0 <= downsize <= 1.
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
  // A part's covered cells as they were last found, and what it met there the last time it
  // took light.
  struct Cover {
    const mSphere* part = nullptr;  // compared, never followed: the part may be gone
    double x = 0, y = 0, r = 0;  // the runs were found for this centre and radius
    double z = 0;                // its height when it last took light
    std::vector<mCellRun> runs;
    Box box;
    std::uint32_t cells = 0;  // in its runs
    // The depth it met at each of its cells, in the order of its runs (and kPadding more).
    std::vector<std::uint8_t> depths;
    double taken = 0;          // the light those depths gave
    std::uint32_t order = 0;   // its place among the parts taking light
    std::uint32_t used = 0;    // the computation that last used it (0: none yet)
    bool changed = false;      // in this computation: every cell is counted again
    bool fresh = false;        // in this computation: its light is summed again
  };
  // The slot in mCovers of the part's covered cells, found anew when the part moved or grew.
  // With `kept`, a part that changed marks the tiles of its old and new cells.
  std::uint32_t coverSlotOf(mSphere& part, const mGridFrame& frame, bool kept);
  void forgetUnusedCovers(size_t partCount);
  // Lets the parts take their light, counting everything again unless `kept` (the depths and
  // covers hold the last fast computation's); false (with the parts' light partly set) when a
  // cell would pass the deepest depth a byte holds.
  bool absorbByDepth(const std::vector<mSphere*>& parts, const mGridFrame& frame, double downsize,
                     bool kept, double& absorbed);
  // The dirty tiles, where the stack of parts over some cell may differ from last time.
  void markTiles(const std::vector<mCellRun>& runs);
  void markReorderedTies();
  void markRemovedCovers();
  bool touchesMarkedTile(const Box& box) const;
  // Calls visit(t) for every tile of `tile` x `tile` cells the box reaches into, t counting
  // the tiles row after row.
  template <class Visit>
  void forEachTileOf(const Box& box, size_t tile, Visit visit) const;
  void clearMarkedTiles();
  // Counts the cover's cells again (all of them, or those in marked tiles): each notes the
  // depth it is at and becomes one deeper; `differs` is set when a depth is not the one it
  // met last time. False when one is at the deepest depth already.
  bool countAll(Cover& cover, bool& differs);
  bool countMarked(Cover& cover, bool& differs);
  // Appends the stretches of equal depth along the cover's depths.
  void appendStretches(const Cover& cover);

  static constexpr int kDeepest = 255;
  // Bytes after the last cell, so that sixteen depths can always be read at once.
  static constexpr size_t kPadding = 16;
  static constexpr int kTile = 8;
  static constexpr size_t kTieTile = 32;

  int mSide;
  std::uint64_t mVisits = 0;
  std::vector<double> mCells;  // plain: mSide * mSide, row i holds the cells (i, 0 .. side-1)
  // fast: the depth of every cell after the last fast computation (the number of parts over
  // it), laid out as mCells (and kPadding more, always 0).
  std::vector<std::uint8_t> mDepths;
  // One byte per tile, row after row of mTileSide tiles: 1 where this computation counts again
  // (and eight more bytes, never marked, so that eight tiles can always be read at once).
  std::vector<std::uint8_t> mMarked;
  std::vector<std::uint32_t> mMarkedList;  // the tiles marked, each once
  int mTileSide = 0;
  // For markReorderedTies: per tile of kTieTile cells a side, the latest old place seen over it among the parts of one
  // height, valid where its stamp is the height's.
  std::vector<std::uint32_t> mTileStamps;
  std::vector<std::uint32_t> mLatestPlace;
  std::uint32_t mTieStamp = 0;
  // The stretches of equal depth the parts of a fast computation met, part after part, and
  // where each part's end: one computation's scratch, kept for its memory.
  struct Stretch {
    std::uint32_t cells;
    std::uint8_t depth;
  };
  std::vector<Stretch> mStretches;
  std::vector<std::uint32_t> mStretchEnds;
  std::vector<std::uint32_t> mCoverSlots;  // of the parts taking light, in their order
  std::vector<std::uint8_t> mSummed;       // of those, whether its light is summed anew
  std::array<double, kDeepest + 1> mLightAtDepth{};
  double mTableDownsize = 0;  // the share mLightAtDepth was made with
  bool mLastWasFast = false;
  std::uint32_t mComputation = 0;  // fast computations so far; covers note the last that used them
  // Covers by slot (mSphere::lightSlot), and the slots given up by parts no longer seen.
  std::vector<Cover> mCovers;
  std::vector<std::uint32_t> mFreeCovers;
  mGridFrame mCoverFrame;  // the frame mCovers were found in
};
