#include "viewer/colour_rule.h"

namespace viewer {

Colour edgeColour(ColourRandom& random) {
  const double u1 = random.unit();
  const double u2 = random.unit();
  const double u3 = random.unit();
  return {0.3 + 0.2 * u1, 0.15 + 0.05 * u2, 0.05 * u3};
}

Colour leafColour(ColourRandom& random) {
  const double u1 = random.unit();
  const double u2 = random.unit();
  const double u3 = random.unit();
  return {0.05 * u1, 0.15 + 0.2 * u2, 0.075 * u3};
}

std::uint32_t PlantColours::seedOf(const std::string& id) {
  std::uint32_t hash = 2166136261u;
  for (const char c : id) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

const PlantColours::Pair& PlantColours::of(const std::string& id) {
  const auto known = mPlants.find(id);
  if (known != mPlants.end()) return known->second;
  ColourRandom random;
  random.seed(seedOf(id));
  Pair pair;
  pair.edge = edgeColour(random);
  pair.leaf = leafColour(random);
  return mPlants.emplace(id, pair).first->second;
}

}  // namespace viewer
