#include "body/light_grid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "body/free_slots.h"
#include "body/parts.h"
#include "base/point3d.h"
#include "body/repeated_sum.h"

namespace {

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool sameFrame(const mGridFrame& a, const mGridFrame& b) {
  return sameBits(a.minX, b.minX) && sameBits(a.minY, b.minY) && sameBits(a.haba, b.haba) && a.side == b.side;
}

}  // namespace

mLightGrid::mLightGrid(int side) : mSide(std::max(side, 0)) {}

double mLightGrid::cell(int i, int j) const {
  const size_t k = static_cast<size_t>(i) * static_cast<size_t>(mSide) + static_cast<size_t>(j);
  if (mLastWasFast) return mLightAtDepth[mDepths[k]];
  return k < mCells.size() ? mCells[k] : 0.0;
}

double mLightGrid::absorbPlain(const std::vector<mSphere*>& parts, const mGridFrame& frame,
                               double daylight, double downsize) {
  mCells.assign(static_cast<size_t>(mSide) * static_cast<size_t>(mSide), daylight);
  mLastWasFast = false;
  double absorbed = 0;

  for (mSphere* part : parts) {
    const mPoint3D& centre = *part->position();
    if (centre.z < 0) break;
    const double r = part->radius();
    const mCellBox box = cellBox(frame, centre.x, centre.y, r);
    double taken = 0;
    if (!box.empty()) {
      for (int i = static_cast<int>(box.i0); i <= static_cast<int>(box.i1); ++i) {
        const double dx = centre.x - (frame.minX + (i + 0.5) * frame.haba);
        for (int j = static_cast<int>(box.j0); j <= static_cast<int>(box.j1); ++j) {
          const double dy = centre.y - (frame.minY + (j + 0.5) * frame.haba);
          if (dx * dx + dy * dy < r * r) {
            ++mVisits;
            double& cell = mCells[static_cast<size_t>(i) * mSide + j];
            taken += downsize * cell;
            cell *= 1.0 - downsize;
          }
        }
      }
    }
    part->setLight(taken);
    absorbed += taken;
  }

  const double given = static_cast<double>(mSide) * mSide * daylight;
  return given > 0 ? absorbed / given : 0.0;
}

double mLightGrid::absorbFast(const std::vector<mSphere*>& parts, const mGridFrame& frame,
                              double daylight, double downsize) {
  const size_t cells = static_cast<size_t>(mSide) * static_cast<size_t>(mSide);
  bool kept = mLastWasFast;
  if (mDepths.size() != cells + kPadding) {
    mDepths.assign(cells + kPadding, 0);
    mTileSide = (mSide + kTile - 1) / kTile;
    mMarked.assign(static_cast<size_t>(mTileSide) * static_cast<size_t>(mTileSide) + 8, 0);
    mMarkedList.clear();
    const size_t tieTiles = (static_cast<size_t>(mSide) + kTieTile - 1) / kTieTile;
    mTileStamps.assign(tieTiles * tieTiles, 0);
    mLatestPlace.assign(tieTiles * tieTiles, 0);
    kept = false;
  }
  if (!sameFrame(frame, mCoverFrame)) {
    mCovers.clear();
    mFreeCovers.clear();
    mCoverFrame = frame;
    kept = false;
  }
  ++mComputation;
  // The light at each depth, multiplied down exactly as the plain way shades a cell.
  if (!sameBits(mLightAtDepth[0], daylight) || !sameBits(mTableDownsize, downsize)) {
    mLightAtDepth[0] = daylight;
    for (int depth = 1; depth <= kDeepest; ++depth) mLightAtDepth[depth] = mLightAtDepth[depth - 1] * (1.0 - downsize);
    mTableDownsize = downsize;
    kept = false;
  }
  if (!kept) std::memset(mDepths.data(), 0, mDepths.size());

  double absorbed = 0;
  const std::uint64_t visits = mVisits;
  const bool done = absorbByDepth(parts, frame, downsize, kept, absorbed);
  clearMarkedTiles();
  if (!done) {
    // Too many parts over one cell for a byte: this once, the plain way (which sets every
    // part's light afresh). The next fast computation counts everything again.
    mVisits = visits;
    return absorbPlain(parts, frame, daylight, downsize);
  }
  forgetUnusedCovers(parts.size());
  mLastWasFast = true;

  const double given = static_cast<double>(mSide) * mSide * daylight;
  return given > 0 ? absorbed / given : 0.0;
}

namespace {

// Sixteen depths at a time. The x86-64 processors all have SSE2; elsewhere the same few
// operations are spelled out byte by byte.

// Row n holds 0xff in its first n bytes and 0 in the others: which cells of a group of sixteen
// a run takes in when n of them are left.
constexpr auto kFirstLanes = [] {
  std::array<std::array<std::uint8_t, 16>, 17> lanes{};
  for (size_t n = 0; n <= 16; ++n)
    for (size_t k = 0; k < n; ++k) lanes[n][k] = 0xff;
  return lanes;
}();

#if defined(__SSE2__)
using Group = __m128i;
Group loadGroup(const std::uint8_t* cells) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells)); }
void storeGroup(std::uint8_t* cells, Group group) { _mm_storeu_si128(reinterpret_cast<__m128i*>(cells), group); }
Group everyByte(std::uint8_t depth) { return _mm_set1_epi8(static_cast<char>(depth)); }
// Bit k is set where byte k of the two groups is equal.
unsigned equalBits(Group a, Group b) { return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b))); }
// One deeper where `lanes` holds 0xff (which is -1: subtracting it adds one).
Group deepen(Group group, Group lanes) { return _mm_sub_epi8(group, lanes); }
// `group` where `lanes` holds 0xff, `other` elsewhere.
Group blend(Group group, Group other, Group lanes) {
  return _mm_or_si128(_mm_and_si128(lanes, group), _mm_andnot_si128(lanes, other));
}
#else
struct Group {
  std::uint8_t byte[16];
};
Group loadGroup(const std::uint8_t* cells) {
  Group group;
  std::memcpy(group.byte, cells, sizeof group.byte);
  return group;
}
void storeGroup(std::uint8_t* cells, const Group& group) { std::memcpy(cells, group.byte, sizeof group.byte); }
Group everyByte(std::uint8_t depth) {
  Group group;
  std::memset(group.byte, depth, sizeof group.byte);
  return group;
}
unsigned equalBits(const Group& a, const Group& b) {
  unsigned bits = 0;
  for (int k = 0; k < 16; ++k) bits |= static_cast<unsigned>(a.byte[k] == b.byte[k]) << k;
  return bits;
}
Group deepen(Group group, const Group& lanes) {
  for (int k = 0; k < 16; ++k) group.byte[k] = static_cast<std::uint8_t>(group.byte[k] - lanes.byte[k]);
  return group;
}
Group blend(Group group, const Group& other, const Group& lanes) {
  for (int k = 0; k < 16; ++k) group.byte[k] = lanes.byte[k] ? group.byte[k] : other.byte[k];
  return group;
}
#endif

// Counts `n` cells from `cell`: notes each one's depth at `met` and makes it one deeper,
// sixteen at a time, and notes in `differs` whether a depth met is not the one `met` held. A
// last group of fewer cells reads and writes back the bytes after them (the cells after, the
// padding at worst) as they were. False, before changing anything of its group, when a cell
// is at the deepest depth already.
bool countCells(std::uint8_t* cell, std::uint8_t* met, int n, bool& differs) {
  for (int left = n; left > 0; left -= 16, cell += 16, met += 16) {
    const int count = left < 16 ? left : 16;
    const unsigned inRun = (1u << count) - 1;
    const Group lanes = loadGroup(kFirstLanes[static_cast<size_t>(count)].data());
    const Group group = loadGroup(cell);
    if ((equalBits(group, everyByte(255)) & inRun) != 0) return false;
    const Group before = loadGroup(met);
    differs = differs || (equalBits(group, before) & inRun) != inRun;
    storeGroup(met, blend(group, before, lanes));
    storeGroup(cell, deepen(group, lanes));
  }
  return true;
}

}  // namespace

bool mLightGrid::absorbByDepth(const std::vector<mSphere*>& parts, const mGridFrame& frame, double downsize,
                               bool kept, double& absorbed) {
  // First the parts that need it count their cells and note the stretches of equal depth
  // they met; then their light is summed from them. Each part's sum is a chain of additions
  // that must be made in cell order, but the chains of different parts are independent: kept
  // apart from the walk, several of them run at once in the processor.
  //
  // The parts lie all over the memory: the covers of all parts are found first, asking for
  // each part's record well before it is read, and while a part is counted the cells of the
  // next one are asked for.
  mStretches.clear();
  mStretchEnds.clear();
  mCoverSlots.clear();
  constexpr size_t kAhead = 8;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k + 2 * kAhead < parts.size()) __builtin_prefetch(parts[k + 2 * kAhead]);
    if (k + kAhead < parts.size()) {
      __builtin_prefetch(parts[k + kAhead]->position());
      // Its cover too, whose first two lines the part's turn reads.
      const std::uint32_t slot = parts[k + kAhead]->lightSlot();
      if (slot < mCovers.size()) {
        __builtin_prefetch(&mCovers[slot]);
        __builtin_prefetch(reinterpret_cast<const char*>(&mCovers[slot]) + 64);
      }
    }
    if (parts[k]->position()->z < 0) break;
    mCoverSlots.push_back(coverSlotOf(*parts[k], frame, kept));
  }
  if (kept) {
    markReorderedTies();
    markRemovedCovers();
    // The marked tiles are counted again from depth 0.
    for (const std::uint32_t tile : mMarkedList) {
      const int ti = static_cast<int>(tile / static_cast<std::uint32_t>(mTileSide));
      const int tj = static_cast<int>(tile % static_cast<std::uint32_t>(mTileSide));
      const int rows = std::min(kTile, mSide - ti * kTile);
      const int width = std::min(kTile, mSide - tj * kTile);
      std::uint8_t* row = mDepths.data() + (static_cast<size_t>(ti) * kTile * mSide + static_cast<size_t>(tj) * kTile);
      if (width == kTile) {
        constexpr std::uint8_t kZeros[kTile] = {};
        for (int i = 0; i < rows; ++i, row += mSide) std::memcpy(row, kZeros, kTile);
      } else {
        for (int i = 0; i < rows; ++i, row += mSide) std::memset(row, 0, static_cast<size_t>(width));
      }
    }
  }

  // Which parts count again: those that changed, and those over a marked tile.
  mSummed.resize(mCoverSlots.size());
  for (size_t k = 0; k < mCoverSlots.size(); ++k) {
    const Cover& cover = mCovers[mCoverSlots[k]];
    mVisits += cover.cells;
    mSummed[k] = cover.changed || (kept && touchesMarkedTile(cover.box));
  }
  size_t next = 0;
  auto findNext = [&] {
    while (next < mSummed.size() && !mSummed[next]) ++next;
  };
  findNext();
  for (size_t k = 0; k < mCoverSlots.size(); ++k) {
    if (mSummed[k]) {
      ++next;
      findNext();
      if (next < mCoverSlots.size()) {
        const Cover& ahead = mCovers[mCoverSlots[next]];
        __builtin_prefetch(ahead.depths.data());
        __builtin_prefetch(ahead.runs.data());
      }
      Cover& cover = mCovers[mCoverSlots[k]];
      bool differs = cover.fresh;
      if (!(cover.changed ? countAll(cover, differs) : countMarked(cover, differs))) return false;
      // The same depths give the same light.
      if (differs) appendStretches(cover);
      mSummed[k] = differs;
    }
    mStretchEnds.push_back(static_cast<std::uint32_t>(mStretches.size()));
  }

  // The same cells in the same order as the plain loop, so `taken` is the same sum; a stretch
  // adds the light of its depth once for each of its cells.
  const Stretch* stretch = mStretches.data();
  for (size_t k = 0; k < mStretchEnds.size(); ++k) {
    Cover& cover = mCovers[mCoverSlots[k]];
    if (mSummed[k]) {
      double taken = 0;
      for (const Stretch* end = mStretches.data() + mStretchEnds[k]; stretch < end; ++stretch)
        taken = addRepeatedly(taken, downsize * mLightAtDepth[stretch->depth], stretch->cells);
      cover.taken = taken;
    }
    cover.order = static_cast<std::uint32_t>(k);
    parts[k]->setLight(cover.taken);
    absorbed += cover.taken;
  }
  return true;
}

bool mLightGrid::countAll(Cover& cover, bool& differs) {
  std::uint8_t* met = cover.depths.data();
  for (const mCellRun& run : cover.runs) {
    if (!countCells(mDepths.data() + run.first, met, run.count, differs)) return false;
    met += run.count;
  }
  return true;
}

namespace {
// The marks of `tiles` tiles from `marked` (bytes of 0 or 1) as bits, tile t at bit t; at most
// 64 tiles. Eight at a time: multiplying gathers bit 0 of each byte into the top byte.
std::uint64_t markBits(const std::uint8_t* marked, size_t tiles) {
  std::uint64_t bits = 0;
  for (size_t t = 0; t < tiles; t += 8) {
    std::uint64_t eight;
    std::memcpy(&eight, marked + t, sizeof eight);
    if constexpr (std::endian::native != std::endian::little) eight = __builtin_bswap64(eight);
    bits |= ((eight * 0x0102040810204080ull) >> 56) << t;
  }
  return tiles < 64 ? bits & ((std::uint64_t{1} << tiles) - 1) : bits;
}
}  // namespace

bool mLightGrid::countMarked(Cover& cover, bool& differs) {
  const auto side = static_cast<size_t>(mSide);
  const size_t boxColumn = cover.box.first % side;
  const size_t firstTile = boxColumn / kTile;
  const size_t tiles = (boxColumn + static_cast<size_t>(cover.box.width) - 1) / kTile - firstTile + 1;
  std::uint8_t* met = cover.depths.data();
  // The runs lie in rows ascending, mostly one after the other: the row is followed along
  // rather than divided out of every run. The tiles' marks are read once per row of tiles, and
  // a row of tiles with none marked is passed over run by run.
  size_t row = cover.box.first / side;
  size_t rowStart = row * side;
  size_t tileRow = ~size_t{0};
  std::uint64_t marks = 0;  // bit t: tile firstTile + t of the row of tiles is marked
  const std::uint8_t* marked = nullptr;
  for (const mCellRun& run : cover.runs) {
    if (run.first >= rowStart + side) {
      if (run.first < rowStart + 2 * side) {
        ++row;
        rowStart += side;
      } else {
        row = run.first / side;
        rowStart = row * side;
      }
    }
    if (row / kTile != tileRow) {
      tileRow = row / kTile;
      marked = mMarked.data() + tileRow * static_cast<size_t>(mTileSide);
      marks = tiles <= 64 ? markBits(marked + firstTile, tiles) : ~std::uint64_t{0};
    }
    if (marks == 0) {
      met += run.count;
      continue;
    }
    const size_t column = run.first - rowStart;
    const size_t end = column + static_cast<size_t>(run.count);
    // Piece by piece, neighbouring tiles alike counted (or passed) in one go.
    size_t from = column;
    while (from < end) {
      const size_t tile = from / kTile;
      const bool counted = marked[tile] != 0;
      size_t to = std::min(end, (tile + 1) * kTile);
      if (tiles <= 64) {
        const std::uint64_t others = (counted ? ~marks : marks) >> (tile - firstTile);
        if (others == 0) to = end;
        else to = std::min(end, (tile + static_cast<size_t>(std::countr_zero(others))) * kTile);
      } else {
        while (to < end && (marked[to / kTile] != 0) == counted) to = std::min(end, to + kTile);
      }
      if (counted && !countCells(mDepths.data() + rowStart + from, met + (from - column), static_cast<int>(to - from), differs))
        return false;
      from = to;
    }
    met += run.count;
  }
  return true;
}

void mLightGrid::appendStretches(const Cover& cover) {
  // Sixteen depths at a time: find where the depth leaves the stretch's.
  const std::uint8_t* depth = cover.depths.data();
  std::uint8_t stretchDepth = 0;
  Group stretchBytes = everyByte(0);
  std::uint32_t stretchCells = 0;
  for (int left = static_cast<int>(cover.cells); left > 0; left -= 16, depth += 16) {
    const int n = left < 16 ? left : 16;
    const unsigned inRun = (1u << n) - 1;
    const Group group = loadGroup(depth);
    unsigned differs = ~equalBits(group, stretchBytes) & inRun;
    unsigned counted = 0;  // cells of the sixteen counted into stretches so far
    while (differs != 0) {
      const auto at = static_cast<unsigned>(std::countr_zero(differs));
      stretchCells += at - counted;
      if (stretchCells > 0) mStretches.push_back({stretchCells, stretchDepth});
      stretchDepth = depth[at];
      stretchBytes = everyByte(stretchDepth);
      stretchCells = 0;
      counted = at;
      differs = ~equalBits(group, stretchBytes) & inRun & (~0u << at);
    }
    stretchCells += static_cast<unsigned>(n) - counted;
  }
  if (stretchCells > 0) mStretches.push_back({stretchCells, stretchDepth});
}

void mLightGrid::markTiles(const std::vector<mCellRun>& runs) {
  // The runs of a part's rows that share a row of tiles together reach from the leftmost of
  // their cells to the rightmost (a disc's rows all hold its middle column): those tiles.
  const auto side = static_cast<size_t>(mSide);
  for (size_t k = 0; k < runs.size();) {
    const size_t tileRow = runs[k].first / side / kTile;
    size_t left = side, right = 0;
    for (; k < runs.size() && runs[k].first / side / kTile == tileRow; ++k) {
      left = std::min(left, runs[k].first % side);
      right = std::max(right, runs[k].first % side + static_cast<size_t>(runs[k].count) - 1);
    }
    std::uint8_t* marked = mMarked.data() + tileRow * static_cast<size_t>(mTileSide);
    for (size_t tile = left / kTile; tile <= right / kTile; ++tile) {
      if (marked[tile]) continue;
      marked[tile] = 1;
      mMarkedList.push_back(static_cast<std::uint32_t>(marked + tile - mMarked.data()));
    }
  }
}

void mLightGrid::markReorderedTies() {
  // Parts of equal height take their light in population order, which changes from turn to
  // turn (and many parts share a height: the same genome grows the same body). Two parts
  // that were as they were but now take their light the other way round meet other depths
  // only where both cover a cell, so it is enough that one of them counts all its cells
  // again: walking the parts of a height in their new order, each tile of kTieTile cells a
  // side remembers the latest of their old places seen over it, and a part under a tile that
  // holds a later old place than its own changed order with a part it shares a tile with.
  for (size_t first = 0; first < mCoverSlots.size();) {
    const double z = mCovers[mCoverSlots[first]].z;
    size_t end = first;
    bool inOrder = true, seen = false;
    std::uint32_t last = 0;  // the old place of the last part seen that was as it was
    for (; end < mCoverSlots.size() && mCovers[mCoverSlots[end]].z == z; ++end) {
      const Cover& cover = mCovers[mCoverSlots[end]];
      if (cover.changed) continue;
      inOrder = inOrder && (!seen || cover.order > last);
      seen = true;
      last = cover.order;
    }
    if (!inOrder) {
      if (++mTieStamp == 0) {
        std::fill(mTileStamps.begin(), mTileStamps.end(), 0u);
        mTieStamp = 1;
      }
      for (size_t k = first; k < end; ++k) {
        Cover& cover = mCovers[mCoverSlots[k]];
        if (cover.changed || cover.box.rows == 0) continue;
        bool reordered = false;
        forEachTileOf(cover.box, kTieTile, [&](size_t tile) {
          if (mTileStamps[tile] != mTieStamp) {
            mTileStamps[tile] = mTieStamp;
            mLatestPlace[tile] = cover.order;
          } else if (mLatestPlace[tile] > cover.order) {
            reordered = true;
          } else {
            mLatestPlace[tile] = cover.order;
          }
        });
        if (reordered) {
          cover.changed = true;
          markTiles(cover.runs);
        }
      }
    }
    first = end;
  }
}

void mLightGrid::markRemovedCovers() {
  // Parts that took light last time and not now: gone, or below the ground.
  for (const Cover& cover : mCovers)
    if (cover.part && cover.used != 0 && cover.used + 1 == mComputation) markTiles(cover.runs);
}

template <class Visit>
void mLightGrid::forEachTileOf(const Box& box, size_t tile, Visit visit) const {
  if (box.rows == 0) return;
  const auto side = static_cast<size_t>(mSide);
  const size_t tiles = (side + tile - 1) / tile;
  const size_t row = box.first / side, column = box.first % side;
  for (size_t ti = row / tile; ti <= (row + static_cast<size_t>(box.rows) - 1) / tile; ++ti)
    for (size_t tj = column / tile; tj <= (column + static_cast<size_t>(box.width) - 1) / tile; ++tj)
      visit(ti * tiles + tj);
}

bool mLightGrid::touchesMarkedTile(const Box& box) const {
  if (box.rows == 0) return false;
  // Eight tiles' marks at a time (mMarked ends in eight more bytes, never marked).
  const auto side = static_cast<size_t>(mSide);
  const size_t row = box.first / side, column = box.first % side;
  const size_t firstTile = column / kTile;
  const size_t tiles = (column + static_cast<size_t>(box.width) - 1) / kTile - firstTile + 1;
  for (size_t ti = row / kTile; ti <= (row + static_cast<size_t>(box.rows) - 1) / kTile; ++ti) {
    const std::uint8_t* marked = mMarked.data() + ti * static_cast<size_t>(mTileSide) + firstTile;
    for (size_t t = 0; t < tiles; t += 8) {
      std::uint64_t eight;
      std::memcpy(&eight, marked + t, sizeof eight);
      const size_t n = std::min<size_t>(8, tiles - t);
      if (n < 8) {
        // Keep the first n bytes: the low ones on a little-endian machine, the high ones else.
        const std::uint64_t low = (std::uint64_t{1} << (8 * n)) - 1;
        eight &= std::endian::native == std::endian::little ? low : ~(~std::uint64_t{0} >> (8 * n));
      }
      if (eight != 0) return true;
    }
  }
  return false;
}

void mLightGrid::clearMarkedTiles() {
  for (const std::uint32_t tile : mMarkedList) mMarked[tile] = 0;
  mMarkedList.clear();
}

std::uint32_t mLightGrid::coverSlotOf(mSphere& part, const mGridFrame& frame, bool kept) {
  std::uint32_t slot = part.lightSlot();
  if (slot >= mCovers.size() || mCovers[slot].part != &part) {
    slot = takeSlot(mCovers, mFreeCovers);
    mCovers[slot].part = &part;
    mCovers[slot].used = 0;
    part.setLightSlot(slot);
  }
  Cover& cover = mCovers[slot];
  const mPoint3D& centre = *part.position();
  const double r = part.radius();
  // Covered cells depend on nothing else, so a new part at a forgotten part's address with
  // the same centre and radius may take its cover as it stands; and one that stands where a
  // part that just went stood, at its height, meets what it met.
  const bool tookLight = cover.used != 0 && cover.used + 1 == mComputation;
  const bool moved = cover.used == 0 || !sameBits(cover.x, centre.x) || !sameBits(cover.y, centre.y) ||
                     !sameBits(cover.r, r);
  cover.changed = !kept || !tookLight || moved || !sameBits(cover.z, centre.z);
  if (kept && cover.changed && tookLight) markTiles(cover.runs);
  if (moved) {
    cover.x = centre.x;
    cover.y = centre.y;
    cover.r = r;
    cover.runs.clear();
    appendCoveredRuns(frame, centre.x, centre.y, r, cover.runs);
    cover.box = Box{};
    cover.cells = 0;
    if (!cover.runs.empty()) {
      const auto side = static_cast<size_t>(mSide);
      size_t left = side, right = 0;
      for (const mCellRun& run : cover.runs) {
        left = std::min(left, run.first % side);
        right = std::max(right, run.first % side + static_cast<size_t>(run.count));
        cover.cells += static_cast<std::uint32_t>(run.count);
      }
      const size_t firstRow = cover.runs.front().first / side;
      cover.box.first = firstRow * side + left;
      cover.box.rows = static_cast<int>(cover.runs.back().first / side - firstRow + 1);
      cover.box.width = static_cast<int>(right - left);
    }
    cover.depths.assign(cover.cells + kPadding, 0);
  }
  // Its depths and light belong to the last computation only when it took light in it.
  cover.fresh = moved || !kept || !tookLight;
  if (kept && cover.changed) markTiles(cover.runs);
  cover.z = centre.z;
  cover.used = mComputation;
  return slot;
}

void mLightGrid::forgetUnusedCovers(size_t partCount) {
  // Dead and shrunk-away parts leave their covers behind; sweep them once they outnumber the
  // parts, so the sweep costs little per computation.
  if (mCovers.size() - mFreeCovers.size() <= 2 * partCount + 64) return;
  for (size_t slot = 0; slot < mCovers.size(); ++slot) {
    Cover& cover = mCovers[slot];
    if (!cover.part || cover.used == mComputation) continue;
    cover.part = nullptr;
    mFreeCovers.push_back(static_cast<std::uint32_t>(slot));
  }
}
