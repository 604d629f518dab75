// Helpers for the engine's tests: individuals with a given genome placed into a place's
// population, and a field pushed over its capacity.
#pragma once

#include <memory>
#include <sstream>
#include <vector>

#include "body/field.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "genome/gene.h"
#include "genome/gene_list.h"

namespace vek::test {

// A living individual of `place` carrying a pool gene of `codes` (an equal gene is shared).
// The place's time then moves on, as it does between two entries of an initial gene file, so
// genes made by later calls get identifiers of their own.
inline mSeed& addIndividual(mPlace& place, std::vector<int> codes, mPoint3D position = {},
                            double energy = 1000.0) {
  auto gene = std::make_unique<mGene>(&place.genePool(), std::move(codes));
  mGene* pooled = place.genePool().findEqual(*gene);
  if (!pooled) {
    gene->setIdentifier(place.genePool().newIdentifier(gene->size()));
    pooled = place.genePool().addGene(std::move(gene));
  }
  const mID id = place.genePool().newIdentifier(pooled->size());
  place.population().addLiving(
      std::make_unique<mSeed>(pooled, &place.population(), id, position, 0, energy));
  place.advanceTime();
  return *place.population().living().back();
}

// Makes the field report the given occupancy (as a loaded world would).
inline void setOccupancy(mField& field, double occupancy) {
  std::istringstream in("/*mField start*/\n" + std::to_string(occupancy) + " 0 0\n/*mField end*/\n");
  field.read(in);
}

}  // namespace vek::test
