#include "body/part_index.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "body/free_slots.h"
#include "body/parameters.h"
#include "body/parts.h"
#include "body/parts_list.h"
#include "base/point3d.h"

namespace {

// Flowers, leaves and edges are about a unit across, as are the placement tests' reaches:
// they share one grid, so that a test asks each bucket it needs once for all three kinds.
// The father search reaches ten, and looks at flower centres only: a grid of its own. On the
// default field (80 units a side) a parts' bucket is 2.5 units: finer buckets file a part in
// more of them and make a test visit more, which costs more than the few extra parts a test
// meets in a coarser one (with 64 a side a growth step took a fifth longer on aged worlds).
constexpr int kBucketsPerSide[] = {32, 16};  // the parts' grid, the centres' grid
static_assert(kBucketsPerSide[0] <= 128 && kBucketsPerSide[1] <= 128, "an entry keeps its first bucket in a byte");
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
  for (int d = 0; d < 3; ++d) {
    const double lo = std::fabs(box.lo[d]), hi = std::fabs(box.hi[d]);
    largest = std::max(largest, std::max(lo, hi));
  }
  const double slack = kSlack * (1 + largest);
  for (int d = 0; d < 3; ++d) {
    box.lo[d] -= slack;
    box.hi[d] += slack;
  }
}

namespace {
// The float next to a finite f towards -infinity and +infinity, as std::nextafter gives it: a
// step of one in the bits of its magnitude, or the least subnormal either side of a zero.
float floatDown(float f) {
  if (f == 0) return -std::numeric_limits<float>::denorm_min();
  const auto bits = std::bit_cast<std::uint32_t>(f);
  return std::bit_cast<float>(f > 0 ? bits - 1 : bits + 1);
}
float floatUp(float f) {
  if (f == 0) return std::numeric_limits<float>::denorm_min();
  const auto bits = std::bit_cast<std::uint32_t>(f);
  return std::bit_cast<float>(f > 0 ? bits + 1 : bits - 1);
}
// The largest float at most `value`, and the smallest at least it.
float floatBelow(double value) {
  if (!(value > -FLT_MAX)) return -INFINITY;
  if (value > FLT_MAX) return FLT_MAX;
  const auto f = static_cast<float>(value);
  return f > value ? floatDown(f) : f;
}
float floatAbove(double value) {
  if (!(value < FLT_MAX)) return INFINITY;
  if (value < -FLT_MAX) return -FLT_MAX;
  const auto f = static_cast<float>(value);
  return f < value ? floatUp(f) : f;
}
}  // namespace

mPartIndex::mPartIndex() { clear(Parameters()); }

void mPartIndex::clear(const Parameters& p) {
  mFieldMinX = p.mField_min_x;
  mFieldMinY = p.mField_min_y;
  mFieldHaba = p.mField_haba;
  mFieldN = p.mField_N;
  const double width = mFieldN * mFieldHaba;
  const bool framed = std::isfinite(mFieldMinX) && std::isfinite(mFieldMinY) && std::isfinite(width) && width > 0;
  // Without a usable frame one bucket holds every part of a kind: slow, but still exact.
  mOriginX = framed ? mFieldMinX : 0;
  mOriginY = framed ? mFieldMinY : 0;
  size_t buckets = 0;
  for (int grid = 0; grid < kGrids; ++grid) {
    mCount[grid] = framed ? kBucketsPerSide[grid] : 1;
    mPerWidth[grid] = framed ? kBucketsPerSide[grid] / width : 1;
    mFirst[grid] = buckets;
    buckets += static_cast<size_t>(mCount[grid]) * static_cast<size_t>(mCount[grid]);
  }
  mBuckets.assign(buckets, {});
  mLoose.clear();
  mBodies.clear();
  mHeld.clear();
  mFreeSlots.clear();
}

bool mPartIndex::fitsParameters(const Parameters& p) const {
  return sameBits(mFieldMinX, p.mField_min_x) && sameBits(mFieldMinY, p.mField_min_y) &&
         sameBits(mFieldHaba, p.mField_haba) && mFieldN == p.mField_N;
}

size_t mPartIndex::bucketIndex(Grid grid, int x, int y) const {
  return mFirst[grid] + static_cast<size_t>(y) * static_cast<size_t>(mCount[grid]) + static_cast<size_t>(x);
}

mPartIndex::Span mPartIndex::spanOf(const Box& box, Grid grid) const {
  // Any rule that never puts a larger coordinate in a lower bucket will do, as long as parts
  // and queries share it. (Truncation is the floor once the value is not negative; a value
  // that is not a number goes to the first bucket.)
  const double perWidth = mPerWidth[grid];
  const int count = mCount[grid];
  auto column = [&](double coordinate, double origin) {
    const double at = (coordinate - origin) * perWidth;
    return !(at >= 0) ? 0 : at >= count ? count - 1 : static_cast<int>(at);
  };
  return Span{column(box.lo[0], mOriginX), column(box.hi[0], mOriginX), column(box.lo[1], mOriginY),
              column(box.hi[1], mOriginY)};
}

bool mPartIndex::Placed::before(const Placed& other) const {
  if (part != other.part) return std::less<const mParts*>()(part, other.part);
  return kind < other.kind;
}

bool mPartIndex::Placed::sameAs(const Placed& other) const {
  return part == other.part && kind == other.kind && loose == other.loose &&
         std::memcmp(&box, &other.box, sizeof box) == 0 && std::memcmp(&shape, &other.shape, sizeof shape) == 0;
}

mPartIndex::Placed mPartIndex::placed(const mParts& part, Kind kind, Box box, bool usable, const Shape& shape) const {
  // A flower's centre is a point, filed in the one bucket it lies in: the father search measures
  // the distance to it and nothing else.
  if (kind != kCentre) widen(box);
  Placed placed{&part, kind, !usable, Span{}, box, shape};
  if (usable) {
    placed.span = spanOf(box, gridOf(kind));
    const Span& span = placed.span;
    // Their boxes may not even be numbers, or reach over much of the field: kept apart.
    placed.loose = static_cast<long>(span.x1 - span.x0 + 1) * (span.y1 - span.y0 + 1) > kMostBuckets;
  }
  return placed;
}

mPartIndex::Placed mPartIndex::placedSphere(const mSphere& part, Kind kind) const {
  const double r = part.radius();
  const mPoint3D& c = *part.position();
  return placed(part, kind, aroundPoint(c, r), usable(c) && usable(r), Shape{{c.x, c.y, c.z}, {}, r, &c});
}

void mPartIndex::placementOf(const mPartsList& body, std::vector<Placed>& placement) const {
  placement.clear();
  double place = 0;
  for (const auto& flower : body.flowers()) {
    placement.push_back(placedSphere(*flower, kFlower));
    const mPoint3D& c = *flower->position();
    placement.push_back(placed(*flower, kCentre, aroundPoint(c, 0), usable(c), Shape{{c.x, c.y, c.z}, {place}, 0, &c}));
    ++place;
  }
  for (const auto& leaf : body.leaves()) placement.push_back(placedSphere(*leaf, kLeaf));
  for (const auto& edge : body.edges()) {
    const mPoint3D& a = *edge->start();
    const mPoint3D& b = *edge->end();
    placement.push_back(
        placed(*edge, kEdge, aroundSegment(a, b), usable(a) && usable(b), Shape{{a.x, a.y, a.z}, {b.x, b.y, b.z}, 0, &b}));
  }
}

void mPartIndex::file(const mPartsList& body, const Held& held, const Placed& placed) {
  Key key;
  Tail tail;
  key.x0 = static_cast<std::int8_t>(placed.span.x0);
  key.y0 = static_cast<std::int8_t>(placed.span.y0);
  key.kind = static_cast<std::uint8_t>(placed.kind);
  key.slot = held.slot;
  const Shape& shape = placed.shape;
  tail.place = placed.kind == kCentre ? static_cast<std::int32_t>(shape.end[0]) : 0;
  for (int d = 0; d < 3; ++d) {
    tail.first[d] = shape.first[d];
    tail.end[d] = shape.end[d];
  }
  if (placed.kind == kCentre) {
    for (int d = 0; d < 3; ++d) key.centre[d] = shape.first[d];
  } else {
    for (int d = 0; d < 3; ++d) {
      key.box[d] = floatBelow(placed.box.lo[d]);
      key.box[3 + d] = floatAbove(placed.box.hi[d]);
    }
  }
  tail.radius = shape.radius;
  tail.body = &body;
  tail.point = shape.point;
  tail.part = placed.part;
  if (placed.loose) {
    mLoose.push(key, tail);
    return;
  }
  for (int y = placed.span.y0; y <= placed.span.y1; ++y)
    for (int x = placed.span.x0; x <= placed.span.x1; ++x) mBuckets[bucketIndex(gridOf(placed.kind), x, y)].push(key, tail);
}

namespace {
// Removes the entry of `part` as `kind` of the body in `slot` from `bucket`. The keys tell
// most other entries apart; a tail is read only for the body's own parts of that kind.
template <class Bucket, class Kind>
void removeEntryOf(Bucket& bucket, const mParts* part, Kind kind, std::uint32_t slot) {
  for (size_t k = 0; k < bucket.size(); ++k) {
    if (bucket.keys[k].kind != kind || bucket.keys[k].slot != slot || bucket.tails[k].part != part) continue;
    bucket.removeAt(k);
    return;
  }
}
}  // namespace

void mPartIndex::unfile(const Placed& placed, std::uint32_t slot) {
  // Only the address is compared: the part itself may be gone.
  if (placed.loose) {
    removeEntryOf(mLoose, placed.part, placed.kind, slot);
    return;
  }
  for (int y = placed.span.y0; y <= placed.span.y1; ++y)
    for (int x = placed.span.x0; x <= placed.span.x1; ++x)
      removeEntryOf(mBuckets[bucketIndex(gridOf(placed.kind), x, y)], placed.part, placed.kind, slot);
}

void mPartIndex::refile(const mPartsList& body, Held& held) {
  // The fresh placement is made in the spare vector, which then takes the old one's place.
  std::vector<Placed>& fresh = mSparePlacement;
  placementOf(body, fresh);
  std::vector<Placed>& old = held.placed;
  // Mostly a part has grown or shrunk and the body holds the same parts as before: then the
  // placements match entry by entry.
  const bool sameParts = fresh.size() == old.size() && std::equal(fresh.begin(), fresh.end(), old.begin(), [](const Placed& a, const Placed& b) {
                           return a.part == b.part && a.kind == b.kind;
                         });
  if (sameParts) {
    for (size_t k = 0; k < fresh.size(); ++k) {
      if (old[k].sameAs(fresh[k])) continue;
      unfile(old[k], held.slot);
      file(body, held, fresh[k]);
    }
  } else {
    // Otherwise both are matched by part, in the order of their addresses.
    auto byPart = [](const Placed& a, const Placed& b) { return a.before(b); };
    std::vector<Placed>& then = mSortedPlacement;
    then.assign(old.begin(), old.end());
    std::sort(then.begin(), then.end(), byPart);
    std::vector<Placed>& now = mSortedFresh;
    now.assign(fresh.begin(), fresh.end());
    std::sort(now.begin(), now.end(), byPart);
    auto was = then.begin();
    auto is = now.begin();
    while (was != then.end() || is != now.end()) {
      if (is == now.end() || (was != then.end() && was->before(*is))) {
        unfile(*was++, held.slot);
      } else if (was == then.end() || is->before(*was)) {
        file(body, held, *is++);
      } else {
        if (!was->sameAs(*is)) {
          unfile(*was, held.slot);
          file(body, held, *is);
        }
        ++was;
        ++is;
      }
    }
  }
  old.swap(fresh);
}

std::uint32_t mPartIndex::slotOf(const mPartsList& body) const {
  // The body's slot names its record unless another index has written its own slot since.
  const std::uint32_t slot = body.indexSlot();
  if (slot < mHeld.size() && mHeld[slot].body == &body) return slot;
  const auto at = mBodies.find(&body);
  if (at == mBodies.end()) return kNotHeld;
  body.setIndexSlot(at->second);
  return at->second;
}

mPartIndex::Held* mPartIndex::find(const mPartsList& body) {
  const std::uint32_t slot = slotOf(body);
  return slot == kNotHeld ? nullptr : &mHeld[slot];
}

void mPartIndex::addBody(const mPartsList& body) {
  Held* held = find(body);
  if (!held) {
    const std::uint32_t slot = takeSlot(mHeld, mFreeSlots);
    held = &mHeld[slot];
    held->body = &body;
    held->slot = slot;
    mBodies.emplace(&body, slot);
    body.setIndexSlot(slot);
  }
  refile(body, *held);
}

void mPartIndex::updateBody(const mPartsList& body) {
  if (Held* held = find(body)) refile(body, *held);
}

void mPartIndex::updateSphere(const mPartsList& body, const mSphere& sphere) {
  Held* held = find(body);
  if (!held) return;
  // Its centre stands where it stood: only its box as a leaf or flower can have changed.
  auto update = [&](Placed& old) {
    const Placed fresh = placedSphere(sphere, old.kind);
    if (old.sameAs(fresh)) return;
    unfile(old, held->slot);
    file(body, *held, fresh);
    old = fresh;
  };
  // The body's flowers were filed first, each followed by its centre, then its leaves: the
  // sphere's place among them names its placement, unless the body changed unseen since.
  const auto& flowers = body.flowers();
  const auto& leaves = body.leaves();
  size_t at = SIZE_MAX;
  for (size_t k = 0; k < flowers.size() && at == SIZE_MAX; ++k)
    if (flowers[k].get() == &sphere) at = 2 * k;
  for (size_t k = 0; k < leaves.size() && at == SIZE_MAX; ++k)
    if (leaves[k].get() == &sphere) at = 2 * flowers.size() + k;
  if (at < held->placed.size() && held->placed[at].part == &sphere && held->placed[at].kind != kCentre) {
    update(held->placed[at]);
    return;
  }
  for (Placed& old : held->placed) {
    if (old.part != &sphere || old.kind == kCentre) continue;
    update(old);
    return;
  }
}

namespace {
// Removes every entry of the body held in `slot` from `bucket`.
template <class Bucket>
void removeEntriesOf(Bucket& bucket, std::uint32_t slot) {
  for (size_t k = 0; k < bucket.size();) {
    if (bucket.keys[k].slot != slot) {
      ++k;
      continue;
    }
    bucket.removeAt(k);
  }
}
}  // namespace

void mPartIndex::removeBody(const mPartsList& body) {
  Held* held = find(body);
  if (!held) return;
  const std::uint32_t slot = held->slot;
  // A body's parts crowd into a few buckets: each of those is cleared of all of them at once
  // (the slot tells the body's entries), rather than searched once for each part.
  if (mBucketStamps.size() != mBuckets.size()) mBucketStamps.assign(mBuckets.size(), 0);
  if (++mRemoval == 0) {
    std::fill(mBucketStamps.begin(), mBucketStamps.end(), 0u);
    mRemoval = 1;
  }
  bool loose = false;
  for (const Placed& placed : held->placed) {
    if (placed.loose) {
      loose = true;
      continue;
    }
    for (int y = placed.span.y0; y <= placed.span.y1; ++y) {
      for (int x = placed.span.x0; x <= placed.span.x1; ++x) {
        const size_t bucket = bucketIndex(gridOf(placed.kind), x, y);
        if (mBucketStamps[bucket] == mRemoval) continue;
        mBucketStamps[bucket] = mRemoval;
        removeEntriesOf(mBuckets[bucket], slot);
      }
    }
  }
  if (loose) removeEntriesOf(mLoose, slot);
  // The record stays, free, its list's memory kept for the next body.
  mHeld[slot].body = nullptr;
  mHeld[slot].placed.clear();
  mFreeSlots.push_back(slot);
  mBodies.erase(&body);
}

void mPartIndex::prefetchSpan(const Span& q, Grid grid) const {
  // The buckets' records first, all at once, then the first lines of their keys: a query's
  // few buckets lie apart in the memory, and their misses overlap instead of following each
  // other (the rest of a bucket's keys follow in order, as the processor expects).
  for (int y = q.y0; y <= q.y1; ++y) {
    const Bucket* row = &mBuckets[bucketIndex(grid, 0, y)];
    for (int x = q.x0; x <= q.x1; ++x) __builtin_prefetch(&row[x]);
  }
  for (int y = q.y0; y <= q.y1; ++y) {
    const Bucket* row = &mBuckets[bucketIndex(grid, 0, y)];
    for (int x = q.x0; x <= q.x1; ++x) {
      const char* keys = reinterpret_cast<const char*>(row[x].keys.data());
      const size_t bytes = std::min<size_t>(row[x].size() * sizeof(Key), 4 * 64);
      for (size_t at = 0; at < bytes; at += 64) __builtin_prefetch(keys + at);
    }
  }
}

template <class Test>
bool mPartIndex::visit(const Box& query, unsigned kinds, Test test) const {
  // The query's box too is rounded outwards to floats: boxes that meet still meet.
  float lo[3], hi[3];
  for (int d = 0; d < 3; ++d) {
    lo[d] = floatBelow(query.lo[d]);
    hi[d] = floatAbove(query.hi[d]);
  }
  auto meets = [&](const Key& key) {
    return !(key.box[0] > hi[0] || lo[0] > key.box[3] || key.box[1] > hi[1] || lo[1] > key.box[4] ||
             key.box[2] > hi[2] || lo[2] > key.box[5]);
  };
  const unsigned wanted = kinds & ~(1u << kCentre);
  const Span q = spanOf(query, kPartsGrid);
  prefetchSpan(q, kPartsGrid);
  for (int y = q.y0; y <= q.y1; ++y) {
    const Bucket* row = &mBuckets[bucketIndex(kPartsGrid, 0, y)];
    for (int x = q.x0; x <= q.x1; ++x) {
      const Key* keys = row[x].keys.data();
      const Tail* tails = row[x].tails.data();
      for (size_t k = 0, n = row[x].size(); k < n; ++k) {
        const Key& key = keys[k];
        if (!(wanted >> key.kind & 1)) continue;
        if (std::max<int>(key.x0, q.x0) != x || std::max<int>(key.y0, q.y0) != y) continue;
        if (meets(key) && !test(key.kind, tails[k])) return false;
      }
    }
  }
  // Their boxes may not even be numbers: every query of their kind tests them.
  for (size_t k = 0; k < mLoose.size(); ++k) {
    const int kind = mLoose.keys[k].kind;
    if ((wanted >> kind & 1) && !test(kind, mLoose.tails[k])) return false;
  }
  return true;
}

std::optional<bool> mPartIndex::isClear(const mPoint3D& p, double margin) const {
  if (!usable(p) || !usable(margin)) return std::nullopt;
  Box query = aroundPoint(p, margin);
  widen(query);
  return visit(query, 1u << kFlower | 1u << kLeaf | 1u << kEdge, [&](int kind, const Tail& tail) {
    // As mEdge::clearOf and mSphere::clearOf: the same sums decide, and the same point objects
    // pass whatever they say.
    const mPoint3D first(tail.first[0], tail.first[1], tail.first[2]);
    bool clear;
    if (kind == kEdge) {
      const mPoint3D end(tail.end[0], tail.end[1], tail.end[2]);
      clear = !mPoint3D::nearSegment(&p, margin, &first, &end);
    } else {
      const double reach = margin + tail.radius;
      clear = reach * reach <= mPoint3D::distance2(p, first);
    }
    return clear || &p == tail.point;
  });
}

std::optional<bool> mPartIndex::isSegmentClear(const mPoint3D& a, const mPoint3D& b) const {
  if (!usable(a) || !usable(b)) return std::nullopt;
  Box query = aroundSegment(a, b);
  widen(query);
  return visit(query, 1u << kFlower | 1u << kLeaf, [&](int, const Tail& tail) {
    // As mSphere::clearOfSegment.
    if (tail.point == &b) return true;
    const mPoint3D centre(tail.first[0], tail.first[1], tail.first[2]);
    return !mPoint3D::nearSegment(&centre, tail.radius, &a, &b);
  });
}

bool mPartIndex::flowersNear(const mPoint3D& p, double reach, std::vector<FlowerNear>& flowers) const {
  flowers.clear();
  // A squared distance is never negative, so nothing is in reach.
  if (!(reach >= 0)) return true;
  const double distance = std::sqrt(reach);
  if (!usable(p) || !usable(distance)) return false;
  Box query = aroundPoint(p, distance);
  widen(query);
  // A centre in reach lies in the cube, whose widening takes in far more than the rounding of
  // the distances: its one bucket is among those the cube touches. The distance alone decides
  // (and leaves out a centre that is not a number); the tail is read for the centres in reach.
  auto take = [&](const Key& key, const Tail& tail) {
    const double d = mPoint3D::distance2(mPoint3D(key.centre[0], key.centre[1], key.centre[2]), p);
    if (d <= reach) flowers.push_back({tail.body, key.slot, tail.place, d});
  };
  const Span q = spanOf(query, kCentreGrid);
  prefetchSpan(q, kCentreGrid);
  for (int y = q.y0; y <= q.y1; ++y) {
    const Bucket* row = &mBuckets[bucketIndex(kCentreGrid, 0, y)];
    for (int x = q.x0; x <= q.x1; ++x) {
      // Taken out of the loop: what take() pushes might, for all the compiler knows, be them.
      const Key* keys = row[x].keys.data();
      const Tail* tails = row[x].tails.data();
      for (size_t k = 0, n = row[x].size(); k < n; ++k) take(keys[k], tails[k]);
    }
  }
  for (size_t k = 0; k < mLoose.size(); ++k)
    if (mLoose.keys[k].kind == kCentre) take(mLoose.keys[k], mLoose.tails[k]);
  return true;
}
