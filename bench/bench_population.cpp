#include "bench/bench_population.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>

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

void runTurn(mWorld& world) {
  do world.step();
  while (world.phase() != SUN_LIGHT);
}

std::vector<std::pair<size_t, int>> coveredRuns(mPlace& place) {
  const int side = place.field().side();
  const Parameters& p = place.parameters();
  const double minX = p.mField_min_x, minY = p.mField_min_y, haba = p.mField_haba;
  std::vector<std::pair<size_t, int>> runs;
  // Cells outside the part's bounding square (with a cell to spare) cannot be covered.
  auto clampedCell = [&](double coordinate) {
    return static_cast<int>(std::clamp(std::floor(coordinate / haba), 0.0, side - 1.0));
  };
  auto cover = [&](const mSphere& part) {
    const mPoint3D& c = *part.position();
    const double r = part.radius();
    const int i0 = clampedCell(c.x - r - minX - haba), i1 = clampedCell(c.x + r - minX + haba);
    const int j0 = clampedCell(c.y - r - minY - haba), j1 = clampedCell(c.y + r - minY + haba);
    for (int i = i0; i <= i1; ++i) {
      const double dx = c.x - (minX + (i + 0.5) * haba);
      int start = -1;
      for (int j = j0; j <= j1 + 1; ++j) {
        const double dy = c.y - (minY + (j + 0.5) * haba);
        const bool in = j <= j1 && dx * dx + dy * dy < r * r;
        if (in && start < 0) start = j;
        if (!in && start >= 0) {
          runs.emplace_back(static_cast<size_t>(i) * side + start, j - start);
          start = -1;
        }
      }
    }
  };
  for (const auto& seed : place.population().living()) {
    for (const auto& flower : seed->body().flowers()) cover(*flower);
    for (const auto& leaf : seed->body().leaves()) cover(*leaf);
  }
  return runs;
}

}  // namespace vek::bench
