#include "batch/run_summary.h"

#include <cerrno>
#include <nlohmann/json.hpp>

#include "base/instructions.h"
#include "base/text_io.h"
#include "body/field.h"
#include "body/parameters.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"

namespace vek::batch {

namespace {

// Energy spent on building each kind of part, as the statistics logs add it up.
double usageOf(const mEnergy& account, std::initializer_list<int> codes) {
  double sum = 0;
  for (int code : codes) sum += account.usageOf(code);
  return sum;
}

}  // namespace

std::string runSummaryText(const mWorld& world, const RunFacts& facts) {
  const mPlace& place = world.place();
  const mSeedList& population = place.population();
  const mEnergy& average = population.averageAccount();
  using namespace op;
  const double edge = usageOf(average, {make_node, set_edge_number, cut_edge});
  const double leaf = usageOf(average, {grow_leaf, make_leaf, set_leaf_energy, set_leaf_number});
  const double flower =
      usageOf(average, {breed_flower, grow_flower, make_flower, set_flower_energy, set_flower_number});
  const double spent = edge + leaf + flower;

  nlohmann::ordered_json changed = nlohmann::ordered_json::object();
  const Parameters defaults;
  for (const ParameterKey& key : parameterKeys()) {
    const double value = key.get(place.parameters());
    if (value != key.get(defaults) && !(value != value && key.get(defaults) != key.get(defaults)))
      changed[key.name] = value;
  }

  const int turnsRun = place.turn() - facts.firstTurn;
  nlohmann::ordered_json summary = {
      {"folder", facts.folder},
      {"seed", facts.seed ? nlohmann::ordered_json(*facts.seed) : nlohmann::ordered_json(nullptr)},
      {"algorithms", facts.reference ? "plain" : "fast"},
      {"interrupted", facts.interrupted},
      {"first_turn", facts.firstTurn},
      {"turn", place.turn()},
      {"time", place.time()},
      {"turns_run", turnsRun},
      {"living", population.livingCount()},
      {"genes", place.genePool().geneCount()},
      {"births", population.totalBirths()},
      {"deaths", population.totalDeaths()},
      {"last_turn",
       {{"births", population.turnBirths()},
        {"deaths", population.turnDeaths()},
        {"average_evaluation", population.averageEvaluation()},
        {"average_age", population.averageAge()},
        {"average_genome_size", population.averageGenomeSize()},
        {"average_energy", average.current()},
        {"average_energy_gained", average.total()},
        {"average_energy_used", average.used()},
        {"average_energy_kept", average.keep()},
        {"occupancy", place.field().occupancy()},
        {"energy_share_edges", edge / spent},
        {"energy_share_leaves", leaf / spent},
        {"energy_share_flowers", flower / spent}}},
      {"wall_seconds", facts.wallSeconds},
      {"cpu_seconds", facts.cpuSeconds},
      {"turns_per_second", facts.wallSeconds > 0 ? turnsRun / facts.wallSeconds : 0.0},
      {"parameters_changed", changed},
  };
  return summary.dump(2) + "\n";
}

FileOutcome writeRunSummary(const std::string& path, const std::string& text) {
  errno = 0;
  if (!writeFileAtomically(path, text)) return {describeFileError("cannot write the summary", path)};
  return {};
}

}  // namespace vek::batch
