// The parts of a plant body: nodes (branching points), edges (cylinders joining two points),
// and spheres, which are leaves (they catch light) and flowers (they are bred into children).
//
// Ownership of points: a node, leaf or flower owns its point; an edge borrows the points of
// the parts at its two ends. The placement tests rely on that identity: a part is never near
// the edge that ends in its own point, while an equal point held by another object is.
// Every part is owned by exactly one mPartsList, which outlives none of the points it lends.
// `owner` is the individual whose body holds the part (not owned; it outlives the body).
//
// No thread-safety of their own: called on the world's thread.
#pragma once

#include <cstdint>

#include <memory>
#include <string>

#include "body/body_owner.h"
#include "base/point3d.h"
#include "base/object.h"

// "%.10lf": how body texts and part lines write a radius or a displacement.
std::string bodyNumberText(double value);
// The same written at `out`, which has room for the longest (kBodyNumberRoom characters);
// answers the length.
inline constexpr size_t kBodyNumberRoom = 400;
size_t writeBodyNumber(char* out, double value);
void appendBodyNumber(std::string& text, double value);

class mParts : public mObject {
 public:
  ~mParts() override = default;
  mParts(const mParts&) = delete;
  mParts& operator=(const mParts&) = delete;

  // The part's record line for snapshot files, without a line end.
  virtual std::string snapshotLine() const;

  const mPoint3D* position() const { return mPosition; }
  const mBodyOwner* owner() const { return mOwner; }
  // The owner's world's parameters; the built-in defaults for a part without an owner.
  const Parameters& parameters() const;

 protected:
  mParts(const mPoint3D* position, const mBodyOwner* owner) : mPosition(position), mOwner(owner) {}

  // The owner's identifier text and position text as the record lines print them; an absent
  // owner or root prints as empty, respectively as the origin.
  std::string ownerIdText() const;
  std::string ownerRootText() const;

 private:
  const mPoint3D* mPosition;
  const mBodyOwner* mOwner;
};

class mNode : public mParts {
 public:
  mNode(std::unique_ptr<mPoint3D> position, const mBodyOwner* owner);
  // Puts the node's point (and so the ends of the edges that borrow it) at `p`.
  void moveTo(const mPoint3D& p) { *mOwned = p; }
  // "N " point " " identifier; snapshot files never carry nodes, but the line exists.
  std::string snapshotLine() const override;

 private:
  std::unique_ptr<mPoint3D> mOwned;
};

class mEdge : public mParts {
 public:
  // Both points are borrowed: `start` from the part the edge grows from, `end` from its tip.
  mEdge(const mPoint3D* start, const mPoint3D* end, const mBodyOwner* owner)
      : mParts(start, owner), mEnd(end) {}

  std::string snapshotLine() const override;  // "E " start " " end " " identifier
  // True when p lies at least `margin` from the edge's axis segment (or is its end object).
  virtual bool clearOf(const mPoint3D* p, double margin) const;

  const mPoint3D* start() const { return position(); }
  const mPoint3D* end() const { return mEnd; }
  double length() const;
  double volume() const;   // pi * mEdge_radius^2 * length
  double calorie() const;  // volume * mEdge_calorie
  double keep() const;     // calorie * mEdge_keep_calorie

 private:
  const mPoint3D* mEnd;
};

// A leaf or flower: a sphere around its owned centre. `light` is what it took in the last
// light computation.
class mSphere : public mParts {
 public:
  std::string snapshotLine() const override = 0;
  // True when no part of the segment a-b comes strictly within the radius of the centre
  // (the segment ending in the very centre object never does).
  virtual bool clearOfSegment(const mPoint3D* a, const mPoint3D* b) const;
  // True when p is the very centre object, or lies at least margin + radius from it.
  virtual bool clearOf(const mPoint3D* p, double margin) const;

  double radius() const { return mRadius; }
  void setRadius(double radius) { mRadius = radius; }
  // Puts the centre (and so the end of the edge that borrows it) at `p`.
  void moveTo(const mPoint3D& p) { *mOwned = p; }
  double light() const { return mLight; }
  void setLight(double light) { mLight = light; }
  // Where the light field keeps what it found of this part between computations; the field
  // checks that the slot is still this part's. Nothing else reads it.
  std::uint32_t lightSlot() const { return mLightSlot; }
  void setLightSlot(std::uint32_t slot) { mLightSlot = slot; }

  double volume() const;                 // 4/3 * pi * radius^3
  double calorie() const;                // volume * the kind's calorie per volume
  virtual double keep() const = 0;       // calorie * the kind's upkeep factor
  virtual double caloriePerVolume() const = 0;

 protected:
  mSphere(std::unique_ptr<mPoint3D> centre, double radius, const mBodyOwner* owner);
  // `letter` is "L" or "F": letter, centre, radius "%.10lf", the owner's root and identifier.
  std::string sphereLine(const char* letter) const;
  // The radius of a sphere holding `calorie` at `perVolume` calories per unit volume;
  // 0 for a content at or below 0.
  static double radiusFor(double calorie, double perVolume);

 private:
  std::unique_ptr<mPoint3D> mOwned;
  double mLight = 0;
  double mRadius;
  std::uint32_t mLightSlot = UINT32_MAX;
};

class mLeaf : public mSphere {
 public:
  mLeaf(std::unique_ptr<mPoint3D> centre, double radius, const mBodyOwner* owner)
      : mSphere(std::move(centre), radius, owner) {}
  std::string snapshotLine() const override;  // "L " centre size root identifier
  double keep() const override;
  double caloriePerVolume() const override;
  // The radius of a leaf that holds exactly `calorie` (0 for a content at or below 0).
  static double radiusForCalorie(const Parameters& p, double calorie);
};

class mFlower : public mSphere {
 public:
  mFlower(std::unique_ptr<mPoint3D> centre, double radius, const mBodyOwner* owner)
      : mSphere(std::move(centre), radius, owner) {}
  std::string snapshotLine() const override;  // "F " centre size root identifier
  double keep() const override;
  double caloriePerVolume() const override;
  static double radiusForCalorie(const Parameters& p, double calorie);
};
