#include "body/part_index.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "body/parameters.h"
#include "body/parts.h"
#include "body/parts_list.h"
#include "body/point3d.h"

namespace {

// Leaves and edges are about a unit across, as are the placement tests' reaches; the father
// search reaches ten.
constexpr int kBucketsPerSide[] = {32, 64, 64};  // flowers, leaves, edges
// Values up to this size keep every product the clearance tests form finite.
constexpr double kLargest = 1e50;
// How far a box is widened, relative to its largest coordinate (plus one). Rounding can move
// the tests' verdicts by less than 1e-7 of the values they are given.
constexpr double kSlack = 1e-5;
// A part touching more buckets than this is kept apart instead.
constexpr long kMostBuckets = 64;

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Written so that NaN fails too.
bool usable(double value) { return std::fabs(value) <= kLargest; }
bool usable(const mPoint3D& p) { return usable(p.x) && usable(p.y) && usable(p.z); }

}  // namespace

mPartIndex::Box mPartIndex::aroundPoint(const mPoint3D& p, double reach) {
  const double r = std::fabs(reach);
  return Box{{p.x - r, p.y - r, p.z - r}, {p.x + r, p.y + r, p.z + r}};
}

mPartIndex::Box mPartIndex::aroundSegment(const mPoint3D& a, const mPoint3D& b) {
  return Box{{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
             {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
}

void mPartIndex::widen(Box& box) {
  double largest = 0;
  for (int d = 0; d < 3; ++d) largest = std::max({largest, std::fabs(box.lo[d]), std::fabs(box.hi[d])});
  const double slack = kSlack * (1 + largest);
  for (int d = 0; d < 3; ++d) {
    box.lo[d] -= slack;
    box.hi[d] += slack;
  }
}

bool mPartIndex::meet(const Box& a, const Box& b) {
  for (int d = 0; d < 3; ++d) {
    if (a.lo[d] > b.hi[d] || b.lo[d] > a.hi[d]) return false;
  }
  return true;
}

mPartIndex::mPartIndex() { clear(); }

void mPartIndex::clear() {
  mFieldMinX = gParam.mField_min_x;
  mFieldMinY = gParam.mField_min_y;
  mFieldHaba = gParam.mField_haba;
  mFieldN = gParam.mField_N;
  const double width = mFieldN * mFieldHaba;
  const bool framed = std::isfinite(mFieldMinX) && std::isfinite(mFieldMinY) && std::isfinite(width) && width > 0;
  // Without a usable frame one bucket holds every part of a kind: slow, but still exact.
  mOriginX = framed ? mFieldMinX : 0;
  mOriginY = framed ? mFieldMinY : 0;
  size_t buckets = 0;
  for (int kind = 0; kind < kKinds; ++kind) {
    mCount[kind] = framed ? kBucketsPerSide[kind] : 1;
    mPerWidth[kind] = framed ? kBucketsPerSide[kind] / width : 1;
    mFirst[kind] = buckets;
    buckets += static_cast<size_t>(mCount[kind]) * static_cast<size_t>(mCount[kind]);
  }
  mBuckets.assign(buckets, {});
  mLoose.clear();
  mBodies.clear();
}

bool mPartIndex::fitsParameters() const {
  return sameBits(mFieldMinX, gParam.mField_min_x) && sameBits(mFieldMinY, gParam.mField_min_y) &&
         sameBits(mFieldHaba, gParam.mField_haba) && mFieldN == gParam.mField_N;
}

size_t mPartIndex::bucketIndex(Kind kind, int x, int y) const {
  return mFirst[kind] + static_cast<size_t>(y) * static_cast<size_t>(mCount[kind]) + static_cast<size_t>(x);
}

mPartIndex::Span mPartIndex::spanOf(const Box& box, Kind kind) const {
  // Any rule that never puts a larger coordinate in a lower bucket will do, as long as parts
  // and queries share it.
  const double perWidth = mPerWidth[kind];
  const int count = mCount[kind];
  auto column = [&](double coordinate, double origin) {
    const double at = std::floor((coordinate - origin) * perWidth);
    return at < 0 ? 0 : at >= count ? count - 1 : static_cast<int>(at);
  };
  return Span{column(box.lo[0], mOriginX), column(box.hi[0], mOriginX), column(box.lo[1], mOriginY),
              column(box.hi[1], mOriginY)};
}

void mPartIndex::insert(const Entry& given, bool usable, Held& held) {
  Entry entry = given;
  entry.held = &held;
  widen(entry.box);
  bool inBuckets = usable;
  Span span{};
  if (inBuckets) {
    span = spanOf(entry.box, entry.kind);
    inBuckets = static_cast<long>(span.x1 - span.x0 + 1) * (span.y1 - span.y0 + 1) <= kMostBuckets;
  }
  if (inBuckets) {
    entry.x0 = span.x0;
    entry.y0 = span.y0;
    for (int y = span.y0; y <= span.y1; ++y) {
      for (int x = span.x0; x <= span.x1; ++x) {
        const size_t bucket = bucketIndex(entry.kind, x, y);
        mBuckets[bucket].push_back(entry);
        held.buckets.push_back(bucket);
      }
    }
  } else {
    mLoose.push_back(entry);
    held.loose = true;
  }
}

void mPartIndex::insertParts(const mPartsList& body, Held& held) {
  auto sphere = [&](const mSphere& part, Kind kind) {
    const double r = part.radius();
    insert({aroundPoint(*part.position(), r), &part, &body, nullptr, kind, 0, 0},
           usable(*part.position()) && usable(r), held);
  };
  for (const auto& flower : body.flowers()) sphere(*flower, kFlower);
  for (const auto& leaf : body.leaves()) sphere(*leaf, kLeaf);
  for (const auto& edge : body.edges()) {
    insert({aroundSegment(*edge->start(), *edge->end()), edge.get(), &body, nullptr, kEdge, 0, 0},
           usable(*edge->start()) && usable(*edge->end()), held);
  }
  std::sort(held.buckets.begin(), held.buckets.end());
  held.buckets.erase(std::unique(held.buckets.begin(), held.buckets.end()), held.buckets.end());
}

void mPartIndex::erase(const mPartsList& body, Held& held) {
  auto ofBody = [&](const Entry& entry) { return entry.body == &body; };
  for (size_t bucket : held.buckets) std::erase_if(mBuckets[bucket], ofBody);
  if (held.loose) std::erase_if(mLoose, ofBody);
  held.buckets.clear();
  held.loose = false;
}

void mPartIndex::addBody(const mPartsList& body, int position) {
  auto [at, added] = mBodies.try_emplace(&body);
  if (!added) erase(body, at->second);
  at->second.position = position;
  insertParts(body, at->second);
}

void mPartIndex::updateBody(const mPartsList& body) {
  const auto at = mBodies.find(&body);
  if (at == mBodies.end()) return;
  erase(body, at->second);
  insertParts(body, at->second);
}

void mPartIndex::removeBody(const mPartsList& body) {
  const auto at = mBodies.find(&body);
  if (at == mBodies.end()) return;
  erase(body, at->second);
  mBodies.erase(at);
}

void mPartIndex::setPosition(const mPartsList& body, int position) {
  const auto at = mBodies.find(&body);
  if (at != mBodies.end()) at->second.position = position;
}

template <class Test>
bool mPartIndex::visit(const Box& query, unsigned kinds, Test test) const {
  for (int k = 0; k < kKinds; ++k) {
    if (!(kinds >> k & 1)) continue;
    const Kind kind = static_cast<Kind>(k);
    const Span q = spanOf(query, kind);
    for (int y = q.y0; y <= q.y1; ++y) {
      const std::vector<Entry>* row = &mBuckets[bucketIndex(kind, 0, y)];
      for (int x = q.x0; x <= q.x1; ++x) {
        for (const Entry& entry : row[x]) {
          if (std::max(entry.x0, q.x0) != x || std::max(entry.y0, q.y0) != y) continue;
          if (meet(entry.box, query) && !test(entry)) return false;
        }
      }
    }
  }
  // Their boxes may not even be numbers: every query of their kind tests them.
  for (const Entry& entry : mLoose) {
    if ((kinds >> entry.kind & 1) && !test(entry)) return false;
  }
  return true;
}

std::optional<bool> mPartIndex::isClear(const mPoint3D& p, double margin) const {
  if (!usable(p) || !usable(margin)) return std::nullopt;
  Box query = aroundPoint(p, margin);
  widen(query);
  return visit(query, 1u << kFlower | 1u << kLeaf | 1u << kEdge, [&](const Entry& entry) {
    if (entry.kind == kEdge) return static_cast<const mEdge*>(entry.part)->clearOf(&p, margin);
    return static_cast<const mSphere*>(entry.part)->clearOf(&p, margin);
  });
}

std::optional<bool> mPartIndex::isSegmentClear(const mPoint3D& a, const mPoint3D& b) const {
  if (!usable(a) || !usable(b)) return std::nullopt;
  Box query = aroundSegment(a, b);
  widen(query);
  return visit(query, 1u << kFlower | 1u << kLeaf, [&](const Entry& entry) {
    return static_cast<const mSphere*>(entry.part)->clearOfSegment(&a, &b);
  });
}

std::optional<std::vector<int>> mPartIndex::positionsWithFlowersNear(const mPoint3D& p,
                                                                     double reach) const {
  std::vector<int> positions;
  // A squared distance is never negative, so nothing is in reach.
  if (!(reach >= 0)) return positions;
  const double distance = std::sqrt(reach);
  if (!usable(p) || !usable(distance)) return std::nullopt;
  Box query = aroundPoint(p, distance);
  widen(query);
  visit(query, 1u << kFlower, [&](const Entry& entry) {
    // The entry's box holds the whole flower; the father search measures to its centre.
    const mPoint3D& centre = *entry.part->position();
    if (!(centre.x < query.lo[0] || centre.x > query.hi[0] || centre.y < query.lo[1] ||
          centre.y > query.hi[1] || centre.z < query.lo[2] || centre.z > query.hi[2]))
      positions.push_back(entry.held->position);
    return true;
  });
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}
