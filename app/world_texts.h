// The texts of the daughter, seed and gene views, built from the world as plain values so they
// can cross from the world's thread to the GUI thread, and the lists the views offer.
//
// Every builder reads the world: call it with the world's mutex held (on the world's thread
// from an observer, or on the GUI thread around the call). The results hold no live pointer
// that may be used without the mutex: a handle only lets the individual or genome be found
// again, under the mutex, if it still exists.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/id.h"

class mGene;
class mPlace;
class mSeed;

namespace app {

// Numbers as every view shows them: integers "%d", reals "%.10lf".
std::string intText(int value);
std::string realText(double value);

// An individual seen earlier. `seed` is never dereferenced: findSeed looks for it again.
struct SeedHandle {
  const mSeed* seed = nullptr;
  mID id;
};
SeedHandle handleOf(const mSeed& seed);
// The individual if it still belongs to the place's population (living or just born) and
// still carries the identifier it had; nullptr when it is gone.
mSeed* findSeed(const mPlace& place, const SeedHandle& handle);

// A genome seen earlier, found again by findGene only while the pool still holds it.
struct GeneHandle {
  const mGene* gene = nullptr;
  mID id;
};
mGene* findGene(const mPlace& place, const GeneHandle& handle);

struct DaughterTexts {
  std::string turn, executeCount, seeds, averageSize, averageEvaluation, fieldCapacity, genes, averageTurn,
      totalEnergy, acquiredEnergy, maintenanceEnergy, usedEnergy, births, deaths, averageEnergy;
};
// The averages are recomputed over the population as it is now (as the view always showed
// them), into the texts only: the world's own averages, which a save writes, stay as the
// turn's close left them.
DaughterTexts daughterTexts(const mPlace& place);

struct SeedTexts {
  std::string seedId, geneId, centre, volume, calorie, turn, isBirth, births, evaluation, doneWork, aBuffer, energy;
  SeedHandle handle;
};
SeedTexts seedTexts(const mSeed& seed);

// One entry of an identifier list.
struct SeedEntry {
  std::string idText;
  SeedHandle handle;
};
struct GeneEntry {
  std::string idText;
  GeneHandle handle;
};

// The genome lengths the pool holds, ascending.
std::vector<int> poolSizes(const mPlace& place);
// The carriers of every genome of length `size`, by identifier; nothing when the pool holds
// no genome of that length any more.
std::optional<std::vector<SeedEntry>> carriersOfSize(const mPlace& place, int size);
// The genomes of length `size` in pool order; nothing when there are none any more.
std::optional<std::vector<GeneEntry>> genesOfSize(const mPlace& place, int size);

struct GeneTexts {
  std::string geneId, seedNumber, averageEvaluation, averageVolume, averageCalorie, averageTurn, energy, code;
  std::vector<SeedEntry> carriers;
  GeneHandle handle;
  mID id;                 // the genome's identifier
  std::vector<int> codes; // its program, for a temporary individual
};
// Nothing when the genome has no carrier left.
std::optional<GeneTexts> geneTexts(const mGene& gene);

}  // namespace app
