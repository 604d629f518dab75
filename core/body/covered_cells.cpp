#include "body/covered_cells.h"

#include <algorithm>
#include <cmath>

#include "body/parameters.h"

mGridFrame mGridFrame::fromParameters(const Parameters& p, int side) {
  return {p.mField_min_x, p.mField_min_y, p.mField_haba, side};
}

bool mGridFrame::allowsRuns() const {
  return std::isfinite(minX) && std::isfinite(minY) && std::isfinite(haba) && haba > 0;
}

mCellBox cellBox(const mGridFrame& frame, double x, double y, double r) {
  // Clamped while still a double: a huge or infinite radius must not overflow the conversion
  // to an index.
  const double last = frame.side - 1.0;
  return {std::max(std::trunc((x - r - frame.minX) / frame.haba - 0.5), 0.0),
          std::min(std::trunc((x + r - frame.minX) / frame.haba - 0.5), last),
          std::max(std::trunc((y - r - frame.minY) / frame.haba - 0.5), 0.0),
          std::min(std::trunc((y + r - frame.minY) / frame.haba - 0.5), last)};
}

namespace {

// An estimate in cells as an index within [low, high]; NaN counts as low.
int clampToIndex(double estimate, int low, int high) {
  if (!(estimate > low)) return low;
  if (!(estimate < high)) return high;
  return static_cast<int>(estimate);
}

}  // namespace

void appendCoveredRuns(const mGridFrame& frame, double x, double y, double r,
                       std::vector<mCellRun>& runs) {
  const mCellBox box = cellBox(frame, x, y, r);
  if (box.empty()) return;
  const int i0 = static_cast<int>(box.i0), i1 = static_cast<int>(box.i1);
  const int j0 = static_cast<int>(box.j0), j1 = static_cast<int>(box.j1);
  const double rr = r * r;
  // The estimates need not be exact (the test settles every end), so they may multiply by the
  // cell width's inverse and round by conversion.
  const double perCell = 1.0 / frame.haba;
  const double centreColumn = (y - frame.minY) * perCell - 0.5;
  auto dyAt = [&](int j) { return y - (frame.minY + (j + 0.5) * frame.haba); };

  for (int i = i0; i <= i1; ++i) {
    const double dx = x - (frame.minX + (i + 0.5) * frame.haba);
    const double dxx = dx * dx;
    // The sum can never fall below dx * dx, so such a row holds no covered cell.
    if (!(dxx < rr)) continue;
    auto covered = [&](int j) {
      const double dy = dyAt(j);
      return dxx + dy * dy < rr;
    };

    const double halfChord = std::sqrt(rr - dxx) * perCell;
    const int low = clampToIndex(centreColumn - halfChord + 1, j0, j1);
    const int high = clampToIndex(centreColumn + halfChord, j0, j1);
    int inside;  // one covered cell of the row
    const bool lowCovered = covered(low);
    if (lowCovered) {
      inside = low;
    } else if (covered(high)) {
      inside = high;
    } else {
      // The estimate missed (a chord shorter than a cell): the row's least dy * dy stands
      // where dy changes sign, at b or b + 1, or at an end of the range; if that cell is not
      // covered, none is.
      int b = clampToIndex(centreColumn, j0, j1);
      while (b > j0 && dyAt(b) < 0) --b;
      while (b < j1 && dyAt(b + 1) >= 0) ++b;
      if (covered(b)) {
        inside = b;
      } else if (b < j1 && covered(b + 1)) {
        inside = b + 1;
      } else {
        continue;
      }
    }

    // Covered cells form one stretch around `inside`; settle each end from its estimate.
    int first = std::min(low, inside);
    if (first == low ? lowCovered : covered(first)) {
      while (first > j0 && covered(first - 1)) --first;
    } else {
      do ++first;
      while (!covered(first));
    }
    int last = std::max(high, inside);
    if (covered(last)) {
      while (last < j1 && covered(last + 1)) ++last;
    } else {
      do --last;
      while (!covered(last));
    }
    runs.push_back({static_cast<size_t>(i) * static_cast<size_t>(frame.side) + static_cast<size_t>(first),
                    last - first + 1});
  }
}
