#include "body/light_grid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

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

bool mLightGrid::absorbByDepth(const std::vector<mSphere*>& parts, const mGridFrame& frame, double downsize,
                               double& absorbed) {
  static_assert(std::endian::native == std::endian::little, "the first of eight depths is the lowest byte");
  constexpr std::uint64_t kEachByte = 0x0101010101010101;
  std::uint8_t* const depths = mDepths.data();
  for (mSphere* part : parts) {
    if (part->position()->z < 0) break;
    const Cover& cover = coverOf(*part, frame);
    if (!cover.runs.empty()) {
      mTouched.push_back(cover.box);
      mTouchedArea += static_cast<size_t>(cover.box.rows) * static_cast<size_t>(cover.box.width);
    }
    // The same cells in the same order as the plain loop, so `taken` is the same sum.
    double taken = 0;
    int stretchDepth = 0;
    std::uint64_t stretchBytes = 0;  // kEachByte * stretchDepth
    std::uint64_t stretchCells = 0;
    for (const mCellRun& run : cover.runs) {
      mVisits += static_cast<std::uint64_t>(run.count);
      // Eight cells at a time: find where the depth leaves the stretch's, then deepen all
      // eight at once (no byte is at the deepest depth, so no carry crosses a byte). A last
      // group of fewer cells reads past the run, into the padding at worst, and leaves the
      // cells beyond it as they were.
      for (std::uint8_t* cell = depths + run.first; cell < depths + run.first + run.count; cell += 8) {
        const auto n = static_cast<unsigned>(std::min<std::ptrdiff_t>(depths + run.first + run.count - cell, 8));
        const std::uint64_t inRun = n == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << 8 * n) - 1;
        std::uint64_t eight;
        std::memcpy(&eight, cell, sizeof eight);
        unsigned counted = 0;  // cells of the eight counted into stretches so far
        for (std::uint64_t differs = (eight ^ stretchBytes) & inRun; differs != 0;) {
          const auto at = static_cast<unsigned>(std::countr_zero(differs) / 8);
          const int depth = cell[at];
          if (depth == kDeepest) return false;
          stretchCells += at - counted;
          taken = addRepeatedly(taken, downsize * mLightAtDepth[stretchDepth], stretchCells);
          stretchDepth = depth;
          stretchBytes = kEachByte * static_cast<std::uint64_t>(depth);
          stretchCells = 0;
          counted = at;
          differs = (eight ^ stretchBytes) & inRun & ~std::uint64_t{0} << 8 * at;
        }
        stretchCells += n - counted;
        eight += kEachByte & inRun;
        std::memcpy(cell, &eight, sizeof eight);
      }
    }
    taken = addRepeatedly(taken, downsize * mLightAtDepth[stretchDepth], stretchCells);
    part->setLight(taken);
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

const mLightGrid::Cover& mLightGrid::coverOf(mSphere& part, const mGridFrame& frame) {
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
  return cover;
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
