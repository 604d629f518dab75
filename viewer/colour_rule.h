// How the scene colours its edges and leaves. Both kinds take three random components u1, u2,
// u3 in [0, 1] (red, green, blue, in that order): an edge (0.3 + 0.2 u1, 0.15 + 0.05 u2,
// 0.05 u3), a brown between dark and light; a leaf (0.05 u1, 0.15 + 0.2 u2, 0.075 u3), a green.
// Ground, flowers and petals have fixed colours.
//
// Two rules give the components:
// - `DrawnColours`, the window's: one generator, seeded at every load, draws afresh for every
//   edge and every leaf in file order, so each part has a shade of its own and the shades
//   change from load to load.
// - `PlantColours`, for pictures and models made without a window: every plant takes one edge
//   colour and one leaf colour from a generator seeded by its identifier, so a plant has the
//   same colours in every snapshot, at every picture size and in the exported model, and a
//   movie of a growing world does not flicker.
//
// Thread-safety: none; a rule belongs to one reading at a time.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "viewer/colour_random.h"

namespace viewer {

struct Colour {
  double r = 0;
  double g = 0;
  double b = 0;
};

inline constexpr Colour kGroundColour{0.7, 0.5, 0.3};
inline constexpr Colour kFlowerColour{1, 1, 0};
inline constexpr Colour kPetalColour{1, 0, 0};

// The next edge or leaf colour of `random`, taking three values from it.
Colour edgeColour(ColourRandom& random);
Colour leafColour(ColourRandom& random);

class ColourRule {
 public:
  virtual ~ColourRule() = default;
  // The colour of the next edge or leaf of the plant `id`.
  virtual Colour edge(const std::string& id) = 0;
  virtual Colour leaf(const std::string& id) = 0;
};

class DrawnColours final : public ColourRule {
 public:
  explicit DrawnColours(std::uint32_t seed) { mRandom.seed(seed); }
  Colour edge(const std::string&) override { return edgeColour(mRandom); }
  Colour leaf(const std::string&) override { return leafColour(mRandom); }
  ColourRandom& random() { return mRandom; }

 private:
  ColourRandom mRandom;
};

class PlantColours final : public ColourRule {
 public:
  Colour edge(const std::string& id) override { return of(id).edge; }
  Colour leaf(const std::string& id) override { return of(id).leaf; }

  // The generator's seed for a plant: the 32-bit FNV-1a hash of its identifier's bytes, the
  // same on every machine.
  static std::uint32_t seedOf(const std::string& id);

 private:
  struct Pair {
    Colour edge;
    Colour leaf;
  };
  const Pair& of(const std::string& id);

  std::unordered_map<std::string, Pair> mPlants;
};

}  // namespace viewer
