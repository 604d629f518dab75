// The texts of the target dialog for one individual, copied out of the world as plain values.
// Call the builders with the world's mutex held (or on a temporary individual, which the
// world does not share).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/plant_drawing.h"
#include "base/id.h"

class mSeed;

namespace app {

// The part kind selector's entries, in its order.
enum class PartKind { kEdge, kLeaf, kFlower, kNode, kSeed };
inline constexpr int kPartKindCount = 5;

struct PartListTexts {
  std::vector<std::string> lines;
  std::string volume;   // empty for the seed entry, which has no totals
  std::string calorie;
};

struct TargetTexts {
  std::vector<std::string> registers;
  std::string code, energy, done, aBuff, evaluation, id;
  std::array<PartListTexts, kPartKindCount> parts;
  PlantShape shape;
  mID geneId;                // of the individual's genome
  std::string snapshotName;  // the default names of its snapshot and picture files
  std::string pictureName;
};

TargetTexts targetTexts(const mSeed& seed);

// The light an isolated individual's leaves take in one turn, which "exec" pays in:
// pi x (sum of the leaves' squared radii) / mField_haba^2 x mField_downsize x mField_daylight.
double lightIncome(const mSeed& seed);

// The default name of the picture file: "SeedID" + the individual's identifier + ".bmp" for
// an individual of a population, else "GeneID" + its genome's identifier + ".bmp".
std::string pictureFileName(const mSeed& seed);

}  // namespace app
