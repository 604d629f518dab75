// mPartIndex: where the flowers, leaves and edges of a population's bodies stand, so that a
// placement test or the father search looks at the parts near its point instead of at every
// part of every body.
//
// A uniform grid of square buckets over the field (in x and y) holds each flower, leaf and
// edge in every bucket its bounding box touches. The father search reaches far and measures to
// flower centres: a coarser grid holds the centres alone, each in the one bucket its point lies
// in, and the search's widened cube takes in every centre within its reach. A query visits
// the buckets its own box touches and makes with the parts found there the very tests the
// bodies make (mSphere::clearOf, mEdge::clearOf, mSphere::clearOfSegment): the same
// arithmetic on copies of the parts' coordinates and radii, kept beside each part's box so
// that a query need not visit the parts themselves, and the same identity rules with the
// parts' own point objects, so its answers are the full scans' answers: a part is never near
// the edge that ends in its own point. Every part's box is widened by a margin relative to its
// coordinates, far more than rounding in those tests can reach, so a part outside the query's
// box can never fail the query.
//
// Parts with a value that is not finite or lies beyond 1e50, and parts that span very many
// buckets, are kept apart and tested by every query. A query with such a value answers
// "unknown" (nullopt): the caller then scans every body, as it would without the index. The
// grid's frame is taken from the field's parameters when the index is made or cleared; after
// they change the answers stay exact, only slower, until the index is cleared.
//
// The index holds the bodies it is given as they are when given. Whoever gives them calls
// updateBody after every change of a held body's flowers, leaves or edges (made, grown, cut,
// reset, laid out), or updateSphere when only one leaf's or flower's radius changed, and
// removeBody before a held body changes owner or is destroyed. Bodies and parts are not
// owned; the index never reads a part of a body after it was told of the body's change.
//
// Not thread-safe: called on the world's thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class mParts;
class mPartsList;
class mSphere;
class mPoint3D;
struct Parameters;

class mPartIndex {
 public:
  // An empty index framed by the built-in field.
  mPartIndex();
  mPartIndex(const mPartIndex&) = delete;
  mPartIndex& operator=(const mPartIndex&) = delete;

  // Holds `body`; a body already held is indexed anew.
  void addBody(const mPartsList& body);
  // Indexes a held body's parts anew; nothing for a body not held.
  void updateBody(const mPartsList& body);
  // The same when only the radius of `sphere`, a leaf or flower of the body, has changed.
  void updateSphere(const mPartsList& body, const mSphere& sphere);
  void removeBody(const mPartsList& body);
  // Forgets every body and takes the grid's frame from the field's parameters in `p`.
  void clear(const Parameters& p);
  // Whether the grid's frame is the one `p` gives.
  bool fitsParameters(const Parameters& p) const;
  bool holds(const mPartsList& body) const { return slotOf(body) != kNotHeld; }
  size_t bodyCount() const { return mBodies.size(); }

  // Whether every held body answers isClear(p, margin).
  std::optional<bool> isClear(const mPoint3D& p, double margin) const;
  // Whether every held body answers isSegmentClear(a, b).
  std::optional<bool> isSegmentClear(const mPoint3D& a, const mPoint3D& b) const;
  // A flower of a held body within reach of a point: its body, the body's number in the
  // index (the same for as long as the body is held; mPartsList::indexSlot gives it too unless
  // another index has numbered the body since), its place among the body's flowers, and its
  // squared distance from the point as mPoint3D::distance2(centre, point) gives it.
  struct FlowerNear {
    const mPartsList* body;
    std::uint32_t slot;
    int place;
    double distance2;
  };
  // Puts into `flowers` (emptied first), in no particular order, every flower of a held body
  // whose squared distance from p is at most `reach`, each once; none when reach is negative
  // or not a number. False (answer unknown) for a point or reach the grid cannot take.
  bool flowersNear(const mPoint3D& p, double reach, std::vector<FlowerNear>& flowers) const;

 private:
  // kCentre files every flower a second time, as the point at its centre, for the father
  // search.
  enum Kind : int { kFlower, kLeaf, kEdge, kCentre };
  // The grid of the flowers, leaves and edges, and the grid of the centres.
  enum Grid : int { kPartsGrid, kCentreGrid, kGrids };
  static Grid gridOf(Kind kind) { return kind == kCentre ? kCentreGrid : kPartsGrid; }
  struct Box {
    double lo[3];
    double hi[3];
  };
  // The buckets a box touches, as inclusive ranges of columns (x) and rows (y).
  struct Span {
    int x0, x1, y0, y1;
  };
  struct Held;
  // What the tests need of a part, copied from it: a sphere's centre (first) and radius, or
  // an edge's start (first) and end; and the point object of the identity rules, the sphere's
  // centre or the edge's end. A flower's centre (kCentre) holds the centre (first) and the
  // flower's place among its body's flowers (end[0]).
  struct Shape {
    double first[3];
    double end[3];
    double radius;
    const mPoint3D* point;
  };
  // What a bucket holds of a part, in two arrays walked side by side. A query's walk over a
  // bucket reads the keys alone, two to a cache line: all that decides whether the part is
  // looked at further. The tail, read for the few parts that pass, holds the rest; its first
  // cache line all that a sphere's test reads.
  struct Key {
    union {
      // A flower, leaf or edge: its widened box (low corner, high corner), rounded outwards to
      // floats: a query whose box does not meet it does not meet the part's box either.
      float box[6];
      double centre[3];  // a flower's centre: Shape::first
    };
    std::uint32_t slot;  // the body's record in mHeld
    // The bucket where the entry's and a query's spans first meet is the one place the entry
    // is tested, so a part held in several buckets is tested once.
    std::int8_t x0, y0;
    std::uint8_t kind;  // a Kind
  };
  static_assert(sizeof(Key) == 32);
  struct alignas(64) Tail {
    double first[3];  // Shape::first
    double radius;
    const mPoint3D* point;  // Shape::point
    const mPartsList* body;
    const mParts* part;
    std::int32_t place;  // a flower's centre: the flower's place among its body's flowers
    double end[3];       // Shape::end
  };
  static_assert(sizeof(Tail) == 128);
  struct Bucket {
    std::vector<Key> keys;
    std::vector<Tail> tails;  // tails[k] goes with keys[k]
    size_t size() const { return keys.size(); }
    void push(const Key& key, const Tail& tail) {
      keys.push_back(key);
      tails.push_back(tail);
    }
    // The last entry takes the place of entry k: the order of a bucket does not matter.
    void removeAt(size_t k) {
      keys[k] = keys.back();
      keys.pop_back();
      tails[k] = tails.back();
      tails.pop_back();
    }
    void clear() {
      keys.clear();
      tails.clear();
    }
  };
  // Where one part of a held body is filed: its widened box and its buckets, or mLoose.
  struct Placed {
    const mParts* part;
    Kind kind;
    bool loose;
    Span span;
    Box box;
    Shape shape;
    bool before(const Placed& other) const;  // by part address, then kind
    bool sameAs(const Placed& other) const;
  };
  struct Held {
    const mPartsList* body = nullptr;
    std::uint32_t slot = 0;  // its place in mHeld
    std::vector<Placed> placed;  // the body's parts as filed, in the body's order
  };
  // The record of a held body, or nullptr.
  Held* find(const mPartsList& body);
  static constexpr std::uint32_t kNotHeld = UINT32_MAX;
  // The slot of a held body's record, or kNotHeld.
  std::uint32_t slotOf(const mPartsList& body) const;
  static Box aroundPoint(const mPoint3D& p, double reach);  // the cube p +- |reach|
  static Box aroundSegment(const mPoint3D& a, const mPoint3D& b);
  static void widen(Box& box);

  // How a part with that box and shape is filed, and a leaf or flower.
  Placed placed(const mParts& part, Kind kind, Box box, bool usable, const Shape& shape) const;
  Placed placedSphere(const mSphere& part, Kind kind) const;
  // The body's parts as they would be filed now: its flowers (each also as a centre), leaves
  // and edges in the body's order.
  void placementOf(const mPartsList& body, std::vector<Placed>& placement) const;
  // Files the body's parts anew, touching only the buckets of parts that are new, gone or
  // changed since the body was last filed (the others keep their entries).
  void refile(const mPartsList& body, Held& held);
  void file(const mPartsList& body, const Held& held, const Placed& placed);
  // Takes out the entries of `placed`, a part of the body in `slot`.
  void unfile(const Placed& placed, std::uint32_t slot);
  Span spanOf(const Box& box, Grid grid) const;
  // A hint to the cache: the buckets of `q` in `grid` are about to be walked.
  void prefetchSpan(const Span& q, Grid grid) const;
  size_t bucketIndex(Grid grid, int x, int y) const;
  // Calls test(kind, tail) for each entry of the kinds in `kinds` (bit 1 << kind) of the
  // parts' grid that may meet `query`, each once; stops and answers false as soon as a test
  // does.
  template <class Test>
  bool visit(const Box& query, unsigned kinds, Test test) const;

  double mOriginX = 0;
  double mOriginY = 0;
  double mPerWidth[kGrids] = {};  // 1 / the width of a bucket
  int mCount[kGrids] = {};        // buckets per side
  size_t mFirst[kGrids] = {};     // bucket (x, y) of grid g is mBuckets[mFirst[g] + y * mCount[g] + x]
  double mFieldMinX = 0, mFieldMinY = 0, mFieldHaba = 0;
  int mFieldN = 0;
  std::vector<Bucket> mBuckets;
  Bucket mLoose;
  // removeBody's marks of the buckets it has cleared of the body: a bucket is marked when its
  // stamp is the removal's.
  std::vector<std::uint32_t> mBucketStamps;
  std::uint32_t mRemoval = 0;
  // Records by slot (no body: free), side by side, found through the body's slot
  // (mPartsList::indexSlot), or through the map when another index has taken the body's slot.
  // A record's address holds only until a body is added.
  std::vector<Held> mHeld;
  std::vector<std::uint32_t> mFreeSlots;
  std::unordered_map<const mPartsList*, std::uint32_t> mBodies;
  // Scratch vectors of refile, kept for their memory.
  std::vector<Placed> mSparePlacement, mSortedPlacement, mSortedFresh;
};
