#include "body/field.h"

#include <algorithm>
#include <cstdint>
#include <cmath>

#include "base/descending_order.h"
#include "body/light_grid.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "base/text_io.h"

mField::mField(const mWorldSettings& settings)
    : mSettings(settings), mGrid(std::make_unique<mLightGrid>(settings.parameters.mField_N)) {}

mField::~mField() = default;

int mField::side() const { return mGrid->side(); }

std::uint64_t mField::coveredCellVisits() const { return mGrid->visits(); }

double mField::cellLight(int i, int j) const { return mGrid->cell(i, j); }

namespace {

// The leaves and flowers of the bodies, highest first. Stable, so parts of equal height keep
// population order and a run repeats itself.
std::vector<mSphere*> partsByHeight(const std::vector<mPartsList*>& bodies) {
  std::vector<mSphere*> parts;
  for (const mPartsList* body : bodies) {
    if (!body) continue;
    for (const auto& flower : body->flowers()) parts.push_back(flower.get());
    for (const auto& leaf : body->leaves()) parts.push_back(leaf.get());
  }
  std::stable_sort(parts.begin(), parts.end(), [](const mSphere* a, const mSphere* b) {
    return a->position()->z > b->position()->z;
  });
  return parts;
}

// The same order, found by a stable radix sort on the heights' bits (base/descending_order.h),
// into `parts`. Heights are finite (a part stands inside the field), so equal heights keep
// population order as in the stable sort.
template <class Keyed>
void partsByHeightKeyed(const std::vector<mPartsList*>& bodies, std::vector<Keyed>& keyed,
                        vek::SortScratch<Keyed>& scratch, std::vector<mSphere*>& parts) {
  keyed.clear();
  for (const mPartsList* body : bodies) {
    if (!body) continue;
    for (const auto& flower : body->flowers()) keyed.push_back({vek::descendingKey(flower->position()->z), flower.get()});
    for (const auto& leaf : body->leaves()) keyed.push_back({vek::descendingKey(leaf->position()->z), leaf.get()});
  }
  vek::sortByKey(keyed, scratch);
  parts.clear();
  for (const Keyed& entry : keyed) parts.push_back(entry.part);
}

}  // namespace

void mField::computeLight(const std::vector<mPartsList*>& livingBodies) {
  const Parameters& p = mSettings.parameters;
  const int wanted = p.mField_N;
  if (wanted != side() && wanted >= 0 && wanted <= kMaxSide) {
    const std::uint64_t visits = mGrid->visits();
    mGrid = std::make_unique<mLightGrid>(wanted);
    mGrid->addVisits(visits);
  }
  const mGridFrame frame = mGridFrame::fromParameters(p, side());
  const double daylight = p.mField_daylight;
  const double downsize = p.mField_downsize;
  const bool fast = mSettings.algorithms == mAlgorithms::kFast && frame.allowsRuns() && std::isfinite(daylight) &&
                    0 <= downsize && downsize <= 1;
  if (fast) {
    partsByHeightKeyed(livingBodies, mKeyed, mKeyedScratch, mByHeight);
    mOccupancy = mGrid->absorbFast(mByHeight, frame, daylight, downsize);
  } else {
    mOccupancy = mGrid->absorbPlain(partsByHeight(livingBodies), frame, daylight, downsize);
  }

  for (mPartsList* body : livingBodies) {
    if (!body) continue;
    body->sumLeafLight();
    body->sumFlowerLight();
  }
  mTotalDaylight += static_cast<double>(side()) * side() * daylight;
  mExcess = std::max(mOccupancy / p.mField_capacity - 1, 0.0);
}

bool mField::insideField(const Parameters& f, const mPoint3D* p) {
  if (!p) return false;
  const double width = f.mField_N * f.mField_haba;
  return p->z >= 0 && f.mField_min_x <= p->x && p->x <= f.mField_min_x + width && f.mField_min_y <= p->y &&
         p->y <= f.mField_min_y + width;
}

double mField::centreX(const Parameters& f) {
  return (f.mField_min_x + (f.mField_N * f.mField_haba + f.mField_min_x)) * 0.5;
}

double mField::centreY(const Parameters& f) {
  return (f.mField_min_y + (f.mField_N * f.mField_haba + f.mField_min_y)) * 0.5;
}

bool mField::isOverCapacity() const { return mOccupancy > mSettings.parameters.mField_capacity; }

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
