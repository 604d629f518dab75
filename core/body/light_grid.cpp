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
  if (mDepths.size() != cells + kPadding) {
    mDepths.assign(cells + kPadding, 0);
    mTouched.clear();
  }
  clearDepths();
  if (!sameFrame(frame, mCoverFrame)) {
    mCovers.clear();
    mFreeCovers.clear();
    mCoverFrame = frame;
  }
  ++mComputation;
  // The light at each depth, multiplied down exactly as the plain way shades a cell.
  if (!sameBits(mLightAtDepth[0], daylight) || !sameBits(mTableDownsize, downsize)) {
    mLightAtDepth[0] = daylight;
    for (int depth = 1; depth <= kDeepest; ++depth) mLightAtDepth[depth] = mLightAtDepth[depth - 1] * (1.0 - downsize);
    mTableDownsize = downsize;
  }

  double absorbed = 0;
  const std::uint64_t visits = mVisits;
  if (!absorbByDepth(parts, frame, downsize, absorbed)) {
    // Too many parts over one cell for a byte: this once, the plain way (which sets every
    // part's light afresh). The touched cells are cleared by the next fast computation.
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
#endif

}  // namespace

bool mLightGrid::absorbByDepth(const std::vector<mSphere*>& parts, const mGridFrame& frame, double downsize,
                               double& absorbed) {
  // First every part's cells are walked and deepened, noting the stretches of equal depth it
  // met; then its light is summed from them. Each part's sum is a chain of additions that
  // must be made in cell order, but the chains of different parts are independent: kept
  // apart from the walk, several of them run at once in the processor.
  //
  // The parts lie all over the memory and so do their rows of cells: the covers of all parts
  // are found first, asking for each part's record well before it is read, and while a part
  // is walked the cells of the next one are asked for.
  mStretches.clear();
  mStretchEnds.clear();
  mCoverSlots.clear();
  constexpr size_t kAhead = 8;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k + 2 * kAhead < parts.size()) __builtin_prefetch(parts[k + 2 * kAhead]);
    if (k + kAhead < parts.size()) __builtin_prefetch(parts[k + kAhead]->position());
    if (parts[k]->position()->z < 0) break;
    mCoverSlots.push_back(coverSlotOf(*parts[k], frame));
  }
  std::uint8_t* const depths = mDepths.data();
  for (size_t k = 0; k < mCoverSlots.size(); ++k) {
    if (k + 2 < mCoverSlots.size()) {
      const std::vector<mCellRun>& runs = mCovers[mCoverSlots[k + 2]].runs;
      const char* const first = reinterpret_cast<const char*>(runs.data());
      for (size_t line = 0; line < runs.size() * sizeof(mCellRun); line += 64) __builtin_prefetch(first + line);
    }
    if (k + 1 < mCoverSlots.size()) {
      for (const mCellRun& run : mCovers[mCoverSlots[k + 1]].runs) __builtin_prefetch(depths + run.first);
    }
    const Cover& cover = mCovers[mCoverSlots[k]];
    if (!cover.runs.empty()) {
      mTouched.push_back(cover.box);
      mTouchedArea += static_cast<size_t>(cover.box.rows) * static_cast<size_t>(cover.box.width);
    }
    std::uint8_t stretchDepth = 0;
    Group stretchBytes = everyByte(0);
    std::uint32_t stretchCells = 0;
    for (const mCellRun& run : cover.runs) {
      mVisits += static_cast<std::uint64_t>(run.count);
      // Sixteen cells at a time: find where the depth leaves the stretch's, then deepen the
      // run's cells of the sixteen at once (no cell is at the deepest depth, so none wraps).
      // A last group of fewer cells reads and writes back the cells after the run (the
      // padding at worst) as they were.
      std::uint8_t* cell = depths + run.first;
      for (int left = run.count; left > 0; left -= 16, cell += 16) {
        const int n = left < 16 ? left : 16;
        const unsigned inRun = (1u << n) - 1;
        const Group group = loadGroup(cell);
        unsigned differs = ~equalBits(group, stretchBytes) & inRun;
        unsigned counted = 0;  // cells of the sixteen counted into stretches so far
        while (differs != 0) {
          const auto at = static_cast<unsigned>(std::countr_zero(differs));
          if (cell[at] == kDeepest) return false;
          stretchCells += at - counted;
          if (stretchCells > 0) mStretches.push_back({stretchCells, stretchDepth});
          stretchDepth = cell[at];
          stretchBytes = everyByte(stretchDepth);
          stretchCells = 0;
          counted = at;
          differs = ~equalBits(group, stretchBytes) & inRun & (~0u << at);
        }
        stretchCells += static_cast<unsigned>(n) - counted;
        storeGroup(cell, deepen(group, loadGroup(kFirstLanes[static_cast<size_t>(n)].data())));
      }
    }
    if (stretchCells > 0) mStretches.push_back({stretchCells, stretchDepth});
    mStretchEnds.push_back(static_cast<std::uint32_t>(mStretches.size()));
  }

  // The same cells in the same order as the plain loop, so `taken` is the same sum; a stretch
  // adds the light of its depth once for each of its cells.
  const Stretch* stretch = mStretches.data();
  for (size_t k = 0; k < mStretchEnds.size(); ++k) {
    double taken = 0;
    for (const Stretch* end = mStretches.data() + mStretchEnds[k]; stretch < end; ++stretch)
      taken = addRepeatedly(taken, downsize * mLightAtDepth[stretch->depth], stretch->cells);
    parts[k]->setLight(taken);
    absorbed += taken;
  }
  return true;
}

void mLightGrid::clearDepths() {
  // Boxes row by row while they are few; once they add up to a good part of the grid, one
  // sweep over all of it costs less.
  if (mTouchedArea > mDepths.size() / 4) {
    std::memset(mDepths.data(), 0, mDepths.size());
    mTouched.clear();
  }
  mTouchedArea = 0;
  for (const Box& box : mTouched) {
    std::uint8_t* row = mDepths.data() + box.first;
    for (int i = 0; i < box.rows; ++i, row += mSide) std::memset(row, 0, static_cast<size_t>(box.width));
  }
  mTouched.clear();
}

std::uint32_t mLightGrid::coverSlotOf(mSphere& part, const mGridFrame& frame) {
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
  // the same centre and radius may take its cover as it stands.
  if (cover.used == 0 || !sameBits(cover.x, centre.x) || !sameBits(cover.y, centre.y) ||
      !sameBits(cover.r, r)) {
    cover.x = centre.x;
    cover.y = centre.y;
    cover.r = r;
    cover.runs.clear();
    appendCoveredRuns(frame, centre.x, centre.y, r, cover.runs);
    cover.box = Box{};
    if (!cover.runs.empty()) {
      const auto side = static_cast<size_t>(mSide);
      size_t left = side, right = 0;
      for (const mCellRun& run : cover.runs) {
        left = std::min(left, run.first % side);
        right = std::max(right, run.first % side + static_cast<size_t>(run.count));
      }
      const size_t firstRow = cover.runs.front().first / side;
      cover.box.first = firstRow * side + left;
      cover.box.rows = static_cast<int>(cover.runs.back().first / side - firstRow + 1);
      cover.box.width = static_cast<int>(right - left);
    }
  }
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
