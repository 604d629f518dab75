#include "python/world_tables.h"

#include <algorithm>

#include "base/cp932.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "genome/gene.h"
#include "genome/gene_list.h"
#include "python/figure_names.h"
#include "records/statistics_logs.h"

namespace vek::python {

namespace {

// The highest point of a body: its nodes, and the tops of its leaves and flowers.
double heightOf(const mPartsList& body) {
  double height = 0;
  for (const auto& node : body.nodes()) height = std::max(height, node->position()->z);
  for (const auto& leaf : body.leaves()) height = std::max(height, leaf->position()->z + leaf->radius());
  for (const auto& flower : body.flowers()) height = std::max(height, flower->position()->z + flower->radius());
  return height;
}

}  // namespace

Column& Table::add(std::string name, Column::Kind kind) {
  Column& column = columns.emplace_back();
  column.name = std::move(name);
  column.kind = kind;
  return column;
}

Table individualsTable(const mPlace& place) {
  Table table;
  Column& index = table.add("index", Column::kCount);
  Column& id = table.add("id", Column::kText);
  Column& gene = table.add("gene", Column::kText);
  Column& genomeLength = table.add("genome_length", Column::kCount);
  Column& carriers = table.add("carriers", Column::kCount);
  Column& x = table.add("x", Column::kReal);
  Column& y = table.add("y", Column::kReal);
  Column& z = table.add("z", Column::kReal);
  Column& energy = table.add("energy", Column::kReal);
  Column& gained = table.add("energy_gained", Column::kReal);
  Column& used = table.add("energy_used", Column::kReal);
  Column& upkeep = table.add("energy_upkeep", Column::kReal);
  Column& age = table.add("age", Column::kCount);
  Column& newborn = table.add("newborn", Column::kFlag);
  Column& evaluation = table.add("evaluation", Column::kReal);
  Column& children = table.add("children", Column::kCount);
  Column& ip = table.add("ip", Column::kCount);
  Column& nodes = table.add("nodes", Column::kCount);
  Column& edges = table.add("edges", Column::kCount);
  Column& leaves = table.add("leaves", Column::kCount);
  Column& flowers = table.add("flowers", Column::kCount);
  Column& edgeVolume = table.add("edge_volume", Column::kReal);
  Column& leafVolume = table.add("leaf_volume", Column::kReal);
  Column& flowerVolume = table.add("flower_volume", Column::kReal);
  Column& volume = table.add("volume", Column::kReal);
  Column& calorie = table.add("calorie", Column::kReal);
  Column& bodyUpkeep = table.add("body_upkeep", Column::kReal);
  Column& leafLight = table.add("leaf_light", Column::kReal);
  Column& flowerLight = table.add("flower_light", Column::kReal);
  Column& height = table.add("height", Column::kReal);

  const auto& living = place.population().living();
  for (size_t i = 0; i < living.size(); ++i) {
    const mSeed& seed = *living[i];
    const mPartsList& body = seed.body();
    const mEnergy& account = seed.processor().energy();
    const mGene* genome = seed.genome();
    index.counts.push_back(static_cast<std::int64_t>(i));
    id.texts.push_back(seed.id().text());
    gene.texts.push_back(genome ? genome->identifier().text() : std::string());
    genomeLength.counts.push_back(genome ? genome->size() : 0);
    carriers.counts.push_back(genome ? genome->carrierCount() : 0);
    x.reals.push_back(seed.position().x);
    y.reals.push_back(seed.position().y);
    z.reals.push_back(seed.position().z);
    energy.reals.push_back(account.current());
    gained.reals.push_back(account.total());
    used.reals.push_back(account.used());
    upkeep.reals.push_back(account.keep());
    age.counts.push_back(seed.age());
    newborn.counts.push_back(seed.newborn() != 0);
    evaluation.reals.push_back(seed.evaluation());
    children.counts.push_back(seed.processor().breedCount());
    ip.counts.push_back(seed.processor().ip());
    nodes.counts.push_back(static_cast<std::int64_t>(body.nodes().size()));
    edges.counts.push_back(static_cast<std::int64_t>(body.edges().size()));
    leaves.counts.push_back(static_cast<std::int64_t>(body.leaves().size()));
    flowers.counts.push_back(static_cast<std::int64_t>(body.flowers().size()));
    edgeVolume.reals.push_back(body.edgeVolume());
    leafVolume.reals.push_back(body.leafVolume());
    flowerVolume.reals.push_back(body.flowerVolume());
    volume.reals.push_back(body.totalVolume());
    calorie.reals.push_back(body.totalCalorie());
    bodyUpkeep.reals.push_back(body.totalKeep());
    leafLight.reals.push_back(body.leafLight());
    flowerLight.reals.push_back(body.flowerLight());
    height.reals.push_back(heightOf(body));
  }
  return table;
}

Table genesTable(const mPlace& place) {
  Table table;
  Column& id = table.add("id", Column::kText);
  Column& length = table.add("length", Column::kCount);
  Column& carriers = table.add("carriers", Column::kCount);
  for (const auto& vector : place.genePool().vectors()) {
    for (const auto& gene : vector->genes()) {
      id.texts.push_back(gene->identifier().text());
      length.counts.push_back(gene->size());
      carriers.counts.push_back(gene->carrierCount());
    }
  }
  return table;
}

IndividualRecord individualRecord(const mSeed& seed, int index) {
  IndividualRecord record;
  const mCPU& processor = seed.processor();
  const mEnergy& account = processor.energy();
  record.index = index;
  record.id = seed.id().text();
  if (const mGene* genome = seed.genome()) {
    record.gene = genome->identifier().text();
    record.code = genome->code();
  }
  record.x = seed.position().x;
  record.y = seed.position().y;
  record.z = seed.position().z;
  record.age = seed.age();
  record.newborn = seed.newborn() != 0;
  record.evaluation = seed.evaluation();
  record.energy = account.current();
  record.gained = account.total();
  record.used = account.used();
  record.upkeep = account.keep();
  for (int code = 0; code < kInstructionCount; ++code) record.spentOn[static_cast<size_t>(code)] = account.usageOf(code);
  std::copy(processor.registers().begin(), processor.registers().end(), record.registers.begin());
  record.selectedRegister = processor.selectedRegister();
  record.ip = processor.ip();
  record.children = processor.breedCount();
  record.callStack.assign(processor.callStack().begin(), processor.callStack().end());
  record.dataStack.assign(processor.dataStack().begin(), processor.dataStack().end());
  // The trace may hold the body parser's Japanese error text, which the world keeps in CP932.
  record.trace = fromCp932(processor.trace());
  record.body = seed.body().text();
  return record;
}

GeneRecord geneRecord(const mGene& gene) {
  return {gene.identifier().text(), gene.carrierCount(), gene.code()};
}

std::vector<Figure> statisticsOf(const mPlace& place) {
  std::vector<Figure> figures;
  figures.push_back({"turn", static_cast<double>(place.turn()), true});
  figures.push_back({"time", static_cast<double>(place.time()), true});
  const auto values = turnFigures(place);
  for (int i = 0; i < kTurnFigureCount; ++i)
    figures.push_back({kFigureNames[i].name, values[static_cast<size_t>(i)], kFigureNames[i].count});
  const mEnergy& average = place.population().averageAccount();
  for (int code = 0; code < kInstructionCount; ++code) figures.push_back({spentOnName(code), average.usageOf(code)});
  return figures;
}

std::string registerName(int index) {
  std::string name = registerNameOf(index);
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

}  // namespace vek::python
