// mField: the square ground the population lives on and the sunlight that falls on it.
//
// The ground is a grid of side x side square cells of width mField_haba whose lower corner is
// (mField_min_x, mField_min_y); cell (i, j) has index i along x and j along y. Once per turn
// every cell receives mField_daylight, and the leaves and flowers of all living bodies take it
// from the top down: each part takes mField_downsize of the light of every cell whose centre
// lies strictly within its radius, and passes the rest on to the parts below.
//
// The grid's side follows mField_N: a computation that finds mField_N changed (a parameter
// file read after the field was made) first rebuilds the grid with the new side, so the light
// covers exactly the field that insideField describes. A side outside 0..kMaxSide is not
// taken (the grid keeps its side): it would ask for more memory than any machine has. The
// grid holds nothing that is saved, so a rebuild loses nothing. The computation, its daylight
// sums and the cells use the grid's own side(), never reaching outside it. insideField,
// centreX and centreY read the parameters only. The occupancy is the share of the light given
// that the parts took (the light given less the light left, over the light given), summed
// part by part in the order they take it.
// mField_daylight, mField_min_x/y, mField_haba, mField_downsize and mField_capacity are read
// at each use.
//
// Two computations give the same light (body/world_settings.h, body/light_grid.h): the
// plain one refills and tests the whole grid; the fast one costs what the parts cover. Each
// part's light, leafLight, flowerLight, every cell, the occupancy and the excess come out
// identical. Frames the fast one cannot handle (a cell width that is not a positive number, a
// daylight that is not finite, a share taken outside 0..1) always use the plain computation.
//
// Owned by the place, whose settings (parameters and algorithms) it reads and which outlive
// it. Called on the world's thread only (computeLight in phase SUN_LIGHT).
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <vector>

#include "base/descending_order.h"
#include "base/object.h"
#include "body/world_settings.h"

class mLightGrid;
class mPartsList;
class mPoint3D;
class mSphere;

class mField : public mObject {
 public:
  // Sizes the grid from the settings' mField_N (no cells when it is not positive); the cells
  // themselves are allocated by the first computation.
  explicit mField(const mWorldSettings& settings);
  ~mField() override;

  // The light of one turn. `livingBodies` are the bodies of the living individuals in
  // population order (null entries are skipped). Sets every leaf's and flower's light (parts
  // whose centre lies below the ground keep their last light), each body's leafLight and
  // flowerLight, and occupancy, excess and totalDaylight. Ties in height keep their order.
  void computeLight(const std::vector<mPartsList*>& livingBodies);

  // Whether p lies in the field rectangle that `f` gives (bounds included) and not below the
  // ground; false for no point.
  static bool insideField(const Parameters& f, const mPoint3D* p);
  static double centreX(const Parameters& f);
  static double centreY(const Parameters& f);

  double occupancy() const { return mOccupancy; }
  double excess() const { return mExcess; }
  double totalDaylight() const { return mTotalDaylight; }
  // occupancy > mField_capacity
  bool isOverCapacity() const;

  static constexpr int kMaxSide = 16384;
  int side() const;
  // Covered cells visited by the light computations so far (a cell once per part over it).
  std::uint64_t coveredCellVisits() const;
  // The light left in cell (i, j) after the last computation; 0 <= i, j < side().
  double cellLight(int i, int j) const;

  // Block output: "/*mField start*/", "occupancy excess totalDaylight", "/*mField end*/".
  // The grid is not stored: the next computation refills it.
  void write(std::ostream& out) const;
  void read(std::istream& in);

 private:
  const mWorldSettings& mSettings;
  double mTotalDaylight = 0;
  std::unique_ptr<mLightGrid> mGrid;  // its side follows mField_N
  double mOccupancy = 0;
  double mExcess = 0;
  // The fast computation's lists of the parts by height, kept for their memory (tens of
  // kilobytes, which the allocator would otherwise hand back and take again every turn).
  struct Keyed {
    std::uint64_t key;
    mSphere* part;
  };
  std::vector<Keyed> mKeyed;
  vek::SortScratch<Keyed> mKeyedScratch;
  std::vector<mSphere*> mByHeight;
};
