#include "app/world_texts.h"

#include <algorithm>
#include <cstdio>

#include "body/energy.h"
#include "body/field.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "genome/gene.h"
#include "genome/gene_list.h"

namespace app {

namespace {

bool sameId(const mID& a, const mID& b) { return a.size == b.size && a.time == b.time && a.mark == b.mark; }

// mID::before answers true both ways for equal identifiers; its strict part is an ordering.
bool strictlyBefore(const mID& a, const mID& b) { return mID::before(&a, &b) && !mID::before(&b, &a); }

}  // namespace

std::string intText(int value) { return std::to_string(value); }

std::string realText(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.10lf", value);
  return buffer;
}

SeedHandle handleOf(const mSeed& seed) { return {&seed, seed.id()}; }

mSeed* findSeed(const mPlace& place, const SeedHandle& handle) {
  if (!handle.seed) return nullptr;
  for (const auto* list : {&place.population().living(), &place.population().newborn()})
    for (const auto& seed : *list)
      if (seed.get() == handle.seed && sameId(seed->id(), handle.id)) return seed.get();
  return nullptr;
}

mGene* findGene(const mPlace& place, const GeneHandle& handle) {
  if (!handle.gene) return nullptr;
  const mGeneVector* vector = place.genePool().vectorFor(handle.id.size);
  if (!vector) return nullptr;
  for (const auto& gene : vector->genes())
    if (gene.get() == handle.gene && sameId(gene->identifier(), handle.id)) return gene.get();
  return nullptr;
}

DaughterTexts daughterTexts(const mPlace& place) {
  const mSeedList& population = place.population();
  // Taken as the world stands, without making them the population's own: what a save writes
  // must not depend on whether this view is open.
  const mSeedList::Statistics statistics = population.statisticsNow();
  const int living = population.livingCount();
  const mEnergy& average = statistics.averageAccount;
  DaughterTexts texts;
  texts.turn = intText(place.turn());
  texts.executeCount = intText(place.time());
  texts.seeds = intText(living);
  texts.averageSize = realText(statistics.averageGenomeSize);
  texts.averageEvaluation = realText(statistics.averageEvaluation);
  texts.fieldCapacity = realText(place.field().occupancy());
  texts.genes = intText(place.genePool().geneCount());
  texts.averageTurn = realText(statistics.averageAge);
  texts.totalEnergy = realText(place.field().totalDaylight());
  texts.acquiredEnergy = realText(average.total() * living);
  texts.maintenanceEnergy = realText(average.keep() * living);
  texts.usedEnergy = realText(average.used() * living);
  texts.births = intText(population.turnBirths());
  texts.deaths = intText(population.turnDeaths());
  texts.averageEnergy = average.report();
  return texts;
}

SeedTexts seedTexts(const mSeed& seed) {
  SeedTexts texts;
  texts.seedId = seed.id().text();
  texts.geneId = seed.genome() ? seed.genome()->identifier().text() : std::string();
  texts.centre = seed.position().toText();
  texts.volume = realText(seed.body().totalVolume());
  texts.calorie = realText(seed.body().totalCalorie());
  texts.turn = intText(seed.age());
  texts.isBirth = intText(seed.newborn());
  texts.births = intText(seed.processor().breedCount());
  texts.evaluation = realText(seed.evaluation());
  texts.doneWork = seed.processor().trace();
  texts.aBuffer = seed.body().text();
  texts.energy = seed.processor().energy().report();
  texts.handle = handleOf(seed);
  return texts;
}

std::vector<int> poolSizes(const mPlace& place) { return place.genePool().lengths(); }

std::optional<std::vector<SeedEntry>> carriersOfSize(const mPlace& place, int size) {
  if (!place.genePool().vectorFor(size)) return std::nullopt;
  std::vector<mSeed*> carriers = place.genePool().carriersOfLength(size);
  std::stable_sort(carriers.begin(), carriers.end(),
                   [](const mSeed* a, const mSeed* b) { return strictlyBefore(a->id(), b->id()); });
  std::vector<SeedEntry> entries;
  entries.reserve(carriers.size());
  for (const mSeed* seed : carriers) entries.push_back({seed->id().text(), handleOf(*seed)});
  return entries;
}

std::optional<std::vector<GeneEntry>> genesOfSize(const mPlace& place, int size) {
  const mGeneVector* vector = place.genePool().vectorFor(size);
  if (!vector || vector->geneCount() == 0) return std::nullopt;
  std::vector<GeneEntry> entries;
  for (const auto& gene : vector->genes())
    entries.push_back({gene->identifier().text(), {gene.get(), gene->identifier()}});
  return entries;
}

std::optional<GeneTexts> geneTexts(const mGene& gene) {
  const int count = gene.carrierCount();
  if (count == 0) return std::nullopt;
  GeneTexts texts;
  double evaluation = 0, volume = 0, calorie = 0, age = 0;
  mEnergy energy;
  for (const mSeed* seed : gene.carriers()) {
    evaluation += seed->evaluation();
    volume += seed->body().totalVolume();
    calorie += seed->body().totalCalorie();
    age += seed->age();
    energy.accumulate(&seed->processor().energy());
    texts.carriers.push_back({seed->id().text(), handleOf(*seed)});
  }
  energy.divideBy(count);
  texts.geneId = gene.identifier().text();
  texts.seedNumber = intText(count);
  texts.averageEvaluation = realText(evaluation / count);
  texts.averageVolume = realText(volume / count);
  texts.averageCalorie = realText(calorie / count);
  texts.averageTurn = realText(age / count);
  texts.energy = energy.report();
  texts.code = gene.listing();
  texts.handle = {&gene, gene.identifier()};
  texts.id = gene.identifier();
  texts.codes = gene.code();
  return texts;
}

}  // namespace app
