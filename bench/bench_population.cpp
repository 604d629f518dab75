#include "bench/bench_population.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "body/bare_pass.h"
#include "body/field.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene.h"
#include "genome/gene_list.h"

namespace vek::bench {

namespace {

std::string number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10f", value);
  return buffer;
}

std::string vectorText(double x, double y, double z) {
  return "E<" + number(x) + "," + number(y) + "," + number(z) + ">";
}

mGene* poolGene(mPlace& place, const std::vector<int>& codes) {
  auto gene = std::make_unique<mGene>(&place.genePool(), codes);
  if (mGene* equal = place.genePool().findEqual(*gene)) return equal;
  gene->setIdentifier(place.genePool().newIdentifier(gene->size()));
  return place.genePool().addGene(std::move(gene));
}

}  // namespace

const char* modeName(long mode) { return mode == 0 ? "fast" : "reference"; }

mWorldSettings settingsOf(long mode) {
  mWorldSettings settings;
  settings.algorithms = mode == 0 ? mAlgorithms::kFast : mAlgorithms::kPlain;
  return settings;
}

void holdPopulationSteady(Parameters& p) {
  p.mSeedList_random_delete_probability = 0;
  p.mField_capacity = 10;
}

void populate(mPlace& place, int parts, const std::vector<int>& genome, double energy) {
  const int plants = parts / 4;
  if (plants == 0) return;
  mGene* gene = poolGene(place, genome);
  const Parameters& p = place.parameters();
  const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(plants))));
  const double width = p.mField_N * p.mField_haba;
  const double spacing = width / perRow;
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  mSeedList& population = place.population();
  for (int k = 0; k < plants; ++k) {
    const double x = p.mField_min_x + (k % perRow + 0.5) * spacing + 0.02 * (unit(random) - 0.5);
    const double y = p.mField_min_y + (k / perRow + 0.5) * spacing + 0.02 * (unit(random) - 0.5);
    const mID id = place.genePool().newIdentifier(gene->size());
    population.addLiving(std::make_unique<mSeed>(gene, &population, id, mPoint3D(x, y, 0), 0, energy));
    place.advanceTime();

    // The leaf stands 0.2 beside the root's vertical, the flower well off on the other side.
    const std::string text = "((N" + vectorText(0.2, 0.0, 0.8 + 0.8 * unit(random)) + "L<" +
                             number(0.3 + 0.2 * unit(random)) + ">)" +
                             vectorText(-0.7, 0.2, 0.5 + 0.7 * unit(random)) + "F<" +
                             number(0.1 + 0.08 * unit(random)) + ">)";
    std::istringstream block("/*mPartsList start*/\n" + text + "\n0\n0\n/*mPartsList end*/\n");
    mPartsList& body = population.living().back()->body();
    body.read(block);
    if (body.edges().size() != 2 || body.leaves().size() != 1 || body.flowers().size() != 1) {
      std::fprintf(stderr, "bench: plant %d could not be laid out: %s\n", k, text.c_str());
      std::abort();
    }
  }
}

std::vector<mPoint3D> probePoints(const Parameters& p, int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double width = p.mField_N * p.mField_haba;
  std::vector<mPoint3D> points;
  for (int k = 0; k < count; ++k) {
    points.emplace_back(p.mField_min_x + width * unit(random),
                        p.mField_min_y + width * unit(random), 0.5 + 1.2 * unit(random));
  }
  return points;
}

std::unique_ptr<mWorld> evolvedWorld(int turns) {
  auto world = std::make_unique<mWorld>();
  world->place().populateWithBuiltInGenome();
  while (world->place().turn() < turns) runTurn(*world);
  return world;
}

void runTurn(mWorld& world) { world.stepUntil(SUN_LIGHT); }

namespace {
std::vector<const mPartsList*> livingBodies(const mPlace& place) {
  std::vector<const mPartsList*> bodies;
  for (const auto& seed : place.population().living()) bodies.push_back(&seed->body());
  return bodies;
}

mGridFrame frameOf(const mPlace& place) {
  return mGridFrame::fromParameters(place.parameters(), place.field().side());
}
}  // namespace

std::vector<mCoveredDisc> coveredDiscs(const mPlace& place) { return coveredDiscsOf(livingBodies(place)); }

std::vector<mCellRun> coveredRuns(const mPlace& place, const std::vector<mCoveredDisc>& discs) {
  return coveredRunsOf(discs, frameOf(place));
}

std::vector<mCellRun> coveredRuns(const mPlace& place) { return coveredRunsOf(livingBodies(place), frameOf(place)); }

double barePassSeconds(const mPlace& place, const std::vector<mCellRun>& runs, int repeats) {
  const Parameters& p = place.parameters();
  return ::barePassSeconds(runs, place.field().side(), p.mField_daylight, p.mField_downsize, repeats);
}

}  // namespace vek::bench
