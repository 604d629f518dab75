#include "body/light_grid.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "body/parts.h"
#include "body/point3d.h"

namespace {

// The light left over a million cells: a plain running sum drifts by about 1e-11 of the
// total, enough to show an empty field as slightly occupied; the compensated (Neumaier) sum
// stays within rounding of the exact total.
double compensatedSum(const std::vector<double>& values) {
  double sum = 0, compensation = 0;
  for (double value : values) {
    const double next = sum + value;
    compensation += std::fabs(sum) >= std::fabs(value) ? (sum - next) + value : (value - next) + sum;
    sum = next;
  }
  return sum + compensation;
}

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool sameFrame(const mGridFrame& a, const mGridFrame& b) {
  return sameBits(a.minX, b.minX) && sameBits(a.minY, b.minY) && sameBits(a.haba, b.haba) && a.side == b.side;
}

}  // namespace

mLightGrid::mLightGrid(int side)
    : mSide(std::max(side, 0)), mCells(static_cast<size_t>(mSide) * static_cast<size_t>(mSide), 0.0) {}

double mLightGrid::cell(int i, int j) const {
  const size_t k = static_cast<size_t>(i) * static_cast<size_t>(mSide) + static_cast<size_t>(j);
  if (mLastWasFast && !(mWritten[k / 64] >> (k % 64) & 1)) return mDaylight;
  return mCells[k];
}

double mLightGrid::absorbPlain(const std::vector<mSphere*>& parts, const mGridFrame& frame,
                               double daylight, double downsize) {
  std::fill(mCells.begin(), mCells.end(), daylight);
  mLastWasFast = false;
  mDaylight = daylight;

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
  }

  const double given = static_cast<double>(mSide) * mSide * daylight;
  return given > 0 ? 1 - compensatedSum(mCells) / given : 0.0;
}

double mLightGrid::absorbFast(const std::vector<mSphere*>& parts, const mGridFrame& frame,
                              double daylight, double downsize) {
  if (mWritten.size() * 64 < mCells.size()) mWritten.assign((mCells.size() + 63) / 64, 0);
  for (size_t word : mWrittenWords) mWritten[word] = 0;
  mWrittenWords.clear();
  if (!sameFrame(frame, mCoverFrame)) {
    mCovers.clear();
    mCoverFrame = frame;
  }
  ++mComputation;

  // What a cell still holding the daylight gives and keeps, as the general step would compute
  // it from `daylight`.
  const double keep = 1.0 - downsize;
  const double takenFromDaylight = downsize * daylight;
  const double keptFromDaylight = daylight * keep;
  double absorbed = 0;
  for (mSphere* part : parts) {
    if (part->position()->z < 0) break;
    // The same cells in the same order as the plain loop, so `taken` is the same sum. A run is
    // walked a word of the written-bits at a time; most words are wholly unwritten (the part
    // is the first over those cells) or wholly written.
    double taken = 0;
    for (const mCellRun& run : coverOf(*part, frame)) {
      mVisits += static_cast<std::uint64_t>(run.count);
      const size_t end = run.first + static_cast<size_t>(run.count);
      for (size_t k = run.first; k < end;) {
        const size_t word = k / 64;
        const unsigned bit = static_cast<unsigned>(k % 64);
        const unsigned n = static_cast<unsigned>(std::min<size_t>(64 - bit, end - k));
        const std::uint64_t mask = (n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1) << bit;
        const std::uint64_t written = mWritten[word] & mask;
        double* cell = mCells.data() + k;
        if (written == 0) {
          for (unsigned i = 0; i < n; ++i) {
            taken += takenFromDaylight;
            cell[i] = keptFromDaylight;
          }
        } else if (written == mask) {
          for (unsigned i = 0; i < n; ++i) {
            const double light = cell[i];
            taken += downsize * light;
            cell[i] = light * keep;
          }
        } else {
          for (unsigned i = 0; i < n; ++i) {
            const double light = (written >> (bit + i)) & 1 ? cell[i] : daylight;
            taken += downsize * light;
            cell[i] = light * keep;
          }
        }
        if (mWritten[word] == 0) mWrittenWords.push_back(word);
        mWritten[word] |= mask;
        k += n;
      }
    }
    part->setLight(taken);
    absorbed += taken;
  }
  forgetUnusedCovers(parts.size());
  mLastWasFast = true;
  mDaylight = daylight;

  const double given = static_cast<double>(mSide) * mSide * daylight;
  return given > 0 ? absorbed / given : 0.0;
}

const std::vector<mCellRun>& mLightGrid::coverOf(const mSphere& part, const mGridFrame& frame) {
  Cover& cover = mCovers[&part];
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
  }
  cover.used = mComputation;
  return cover.runs;
}

void mLightGrid::forgetUnusedCovers(size_t partCount) {
  // Dead and shrunk-away parts leave their covers behind; sweep them once they outnumber the
  // parts, so the sweep costs little per computation.
  if (mCovers.size() <= 2 * partCount + 64) return;
  std::erase_if(mCovers, [&](const auto& entry) { return entry.second.used != mComputation; });
}
