#include "body/field.h"

#include <algorithm>
#include <cmath>

#include "body/parameters.h"
#include "body/parts_list.h"
#include "records/text_io.h"

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
}  // namespace

mField::mField()
    : mSide(std::max(gParam.mField_N, 0)),
      mGrid(static_cast<size_t>(mSide) * static_cast<size_t>(mSide), 0.0) {}

void mField::computeLight(const std::vector<mPartsList*>& livingBodies) {
  std::vector<mSphere*> parts;
  for (const mPartsList* body : livingBodies) {
    if (!body) continue;
    for (const auto& flower : body->flowers()) parts.push_back(flower.get());
    for (const auto& leaf : body->leaves()) parts.push_back(leaf.get());
  }
  // Stable, so parts of equal height keep population order and a run repeats itself.
  std::stable_sort(parts.begin(), parts.end(), [](const mSphere* a, const mSphere* b) {
    return a->position()->z > b->position()->z;
  });

  const double daylight = gParam.mField_daylight;
  std::fill(mGrid.begin(), mGrid.end(), daylight);

  const double minX = gParam.mField_min_x;
  const double minY = gParam.mField_min_y;
  const double haba = gParam.mField_haba;
  const double downsize = gParam.mField_downsize;
  const double last = mSide - 1.0;
  for (mSphere* part : parts) {
    const mPoint3D& centre = *part->position();
    if (centre.z < 0) break;
    const double r = part->radius();
    // The cell range is clamped while still a double: a huge or infinite radius must not
    // overflow the conversion to an index.
    const double i0 = std::max(std::trunc((centre.x - r - minX) / haba - 0.5), 0.0);
    const double i1 = std::min(std::trunc((centre.x + r - minX) / haba - 0.5), last);
    const double j0 = std::max(std::trunc((centre.y - r - minY) / haba - 0.5), 0.0);
    const double j1 = std::min(std::trunc((centre.y + r - minY) / haba - 0.5), last);
    double taken = 0;
    if (i0 <= i1 && j0 <= j1) {
      for (int i = static_cast<int>(i0); i <= static_cast<int>(i1); ++i) {
        const double dx = centre.x - (minX + (i + 0.5) * haba);
        for (int j = static_cast<int>(j0); j <= static_cast<int>(j1); ++j) {
          const double dy = centre.y - (minY + (j + 0.5) * haba);
          if (dx * dx + dy * dy < r * r) {
            double& cell = mGrid[static_cast<size_t>(i) * mSide + j];
            taken += downsize * cell;
            cell *= 1.0 - downsize;
          }
        }
      }
    }
    part->setLight(taken);
  }

  for (mPartsList* body : livingBodies) {
    if (!body) continue;
    body->sumLeafLight();
    body->sumFlowerLight();
  }

  const double left = compensatedSum(mGrid);
  const double given = static_cast<double>(mSide) * mSide * daylight;
  // A field without cells or without daylight has nothing to absorb.
  mOccupancy = given > 0 ? 1 - left / given : 0.0;
  mTotalDaylight += given;
  mExcess = std::max(mOccupancy / gParam.mField_capacity - 1, 0.0);
}

bool mField::insideField(const mPoint3D* p) {
  if (!p) return false;
  const double width = gParam.mField_N * gParam.mField_haba;
  return p->z >= 0 && gParam.mField_min_x <= p->x && p->x <= gParam.mField_min_x + width &&
         gParam.mField_min_y <= p->y && p->y <= gParam.mField_min_y + width;
}

double mField::centreX() {
  return (gParam.mField_min_x + (gParam.mField_N * gParam.mField_haba + gParam.mField_min_x)) * 0.5;
}

double mField::centreY() {
  return (gParam.mField_min_y + (gParam.mField_N * gParam.mField_haba + gParam.mField_min_y)) * 0.5;
}

bool mField::isOverCapacity() const { return mOccupancy > gParam.mField_capacity; }

void mField::write(std::ostream& out) const {
  out << "/*mField start*/" << vek::kEol << mOccupancy << ' ' << mExcess << ' ' << mTotalDaylight
      << vek::kEol << "/*mField end*/" << vek::kEol;
}

void mField::read(std::istream& in) {
  vek::skipLine(in);
  vek::readDouble(in, mOccupancy) && vek::readDouble(in, mExcess) &&
      vek::readDouble(in, mTotalDaylight);
  vek::skipLine(in);
}
