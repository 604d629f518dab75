#include "plot/log_catalog.h"

namespace vek::plot {

const LogFile kLogFiles[kLogFileCount] = {
    {"c_time.log", 3, true},      {"edge.log", 2, false},     {"leaf.log", 2, false},
    {"flower.log", 2, false},     {"per_edge.log", 2, false}, {"per_leaf.log", 2, false},
    {"per_flower.log", 2, false}, {"seed_num.log", 2, false}, {"gene_num.log", 2, false},
    {"ave_eva.log", 2, false},    {"ave_size.log", 2, false}, {"ave_turn.log", 2, false},
    {"ave_ene.log", 2, false},    {"cur_bir.log", 2, false},  {"cur_dea.log", 2, false},
    {"fie_cap.log", 2, false},    {"birth.log", 2, false},    {"death.log", 2, false},
    {"tot_ene.log", 2, false},    {"tot_edge.log", 2, false}, {"tot_leaf.log", 2, false},
    {"tot_flow.log", 2, false},   {"tot_get.log", 2, false},  {"tot_used.log", 2, false},
    {"tot_keep.log", 2, false},   {"ave_get.log", 2, false},  {"ave_used.log", 2, false},
    {"ave_keep.log", 2, false},   {"ope_ene.log", 33, false},
};

namespace {

constexpr int kInstructions = 32;
constexpr int kOperationEnergyFile = 28;

// The instructions as a gene file names them: the short word and the long name.
struct Instruction {
  const char* word;
  const char* longName;
};
constexpr Instruction kInstructionNames[kInstructions] = {
    {"nop0", "nop_0"},           {"nop1", "nop_1"},
    {"gsep", "gene_separate"},   {"ifcz", "if_counter_zero"},
    {"jmpf", "jump_forward"},    {"jmpb", "jump_back"},
    {"call", "call"},            {"ret", "ret"},
    {"push", "push"},            {"pop", "pop"},
    {"shl", "shift_left"},       {"shr", "shift_right"},
    {"inc", "increment"},        {"dec", "decrement"},
    {"zero", "zero"},            {"cute", "cut_edge"},
    {"s_fn", "set_flower_number"}, {"s_ln", "set_leaf_number"},
    {"s_fe", "set_flower_energy"}, {"s_le", "set_leaf_energy"},
    {"s_nn", "set_node_number"}, {"s_en", "set_edge_number"},
    {"s_ph", "set_phy"},         {"s_th", "set_theta"},
    {"s_r", "set_r"},            {"s_ct", "set_counter"},
    {"makf", "make_flower"},     {"makl", "make_leaf"},
    {"makn", "make_node"},       {"grwf", "grow_flower"},
    {"grwl", "grow_leaf"},       {"bred", "breed_flower"},
};

int fileIndex(std::string_view name) {
  for (int i = 0; i < kLogFileCount; ++i)
    if (name == kLogFiles[i].name) return i;
  return -1;
}

SeriesInfo valueOf(const char* file, const char* title, const char* shortName, const char* unit, const char* group) {
  SeriesInfo info;
  info.key = std::string(file, std::string_view(file).size() - 4);
  info.file = fileIndex(file);
  info.column = 1;
  info.title = title;
  info.shortName = shortName;
  info.unit = unit;
  info.group = group;
  return info;
}

std::vector<SeriesInfo> buildSeries() {
  const char* population = "Population";
  const char* averages = "Averages over the living";
  const char* light = "Light";
  const char* parts = "Energy on edges, leaves and flowers";
  const char* shares = "Shares of the energy on edges, leaves and flowers";
  const char* averageAccount = "Energy account of the average individual";
  const char* wholeAccount = "Energy account of the whole population";
  const char* instructions = "Energy per instruction (average individual)";
  const char* run = "Run";

  std::vector<SeriesInfo> series = {
      valueOf("seed_num.log", "Living individuals", "Living", "individuals", population),
      valueOf("gene_num.log", "Genes in the pool", "Genes", "genes", population),
      valueOf("cur_bir.log", "Births per turn", "Births", "individuals", population),
      valueOf("cur_dea.log", "Deaths per turn", "Deaths", "individuals", population),
      valueOf("birth.log", "Births so far", "Births", "individuals", population),
      valueOf("death.log", "Deaths so far", "Deaths", "individuals", population),
      valueOf("ave_eva.log", "Average evaluation", "Evaluation", "evaluation", averages),
      valueOf("ave_size.log", "Average genome length", "Genome length", "instructions", averages),
      valueOf("ave_turn.log", "Average age", "Age", "turns", averages),
      valueOf("ave_ene.log", "Average current energy", "Current energy", "energy", averages),
      valueOf("fie_cap.log", "Field occupancy (share of the daylight absorbed)", "Occupancy", "share of daylight",
              light),
      valueOf("tot_ene.log", "Daylight given so far", "Daylight", "energy", light),
      valueOf("edge.log", "Energy spent on edges, average individual", "Edges", "energy", parts),
      valueOf("leaf.log", "Energy spent on leaves, average individual", "Leaves", "energy", parts),
      valueOf("flower.log", "Energy spent on flowers, average individual", "Flowers", "energy", parts),
      valueOf("tot_edge.log", "Energy spent on edges, whole population", "Edges", "energy", parts),
      valueOf("tot_leaf.log", "Energy spent on leaves, whole population", "Leaves", "energy", parts),
      valueOf("tot_flow.log", "Energy spent on flowers, whole population", "Flowers", "energy", parts),
      valueOf("per_edge.log", "Edges' share of the energy spent on parts", "Edges", "%", shares),
      valueOf("per_leaf.log", "Leaves' share of the energy spent on parts", "Leaves", "%", shares),
      valueOf("per_flower.log", "Flowers' share of the energy spent on parts", "Flowers", "%", shares),
      valueOf("ave_get.log", "Energy gained, average individual", "Gained", "energy", averageAccount),
      valueOf("ave_used.log", "Energy used, average individual", "Used", "energy", averageAccount),
      valueOf("ave_keep.log", "Energy spent on upkeep, average individual", "Upkeep", "energy", averageAccount),
      valueOf("tot_get.log", "Energy gained, whole population", "Gained", "energy", wholeAccount),
      valueOf("tot_used.log", "Energy used, whole population", "Used", "energy", wholeAccount),
      valueOf("tot_keep.log", "Energy spent on upkeep, whole population", "Upkeep", "energy", wholeAccount),
  };
  for (int code = 0; code < kInstructions; ++code) {
    SeriesInfo info;
    info.key = std::string("ope_ene.") + kInstructionNames[code].word;
    info.file = kOperationEnergyFile;
    info.column = 1 + code;
    info.title = std::string("Energy spent on ") + kInstructionNames[code].longName + " (" +
                 kInstructionNames[code].word + "), average individual";
    info.shortName = kInstructionNames[code].word;
    info.unit = "energy";
    info.group = instructions;
    series.push_back(info);
  }
  SeriesInfo steps;
  steps.key = "c_time";
  steps.file = fileIndex("c_time.log");
  steps.column = 0;
  steps.title = "Execution steps so far";
  steps.shortName = "Steps";
  steps.unit = "steps";
  steps.group = run;
  series.push_back(steps);
  // The third number of a `c_time.log` line is the calendar time in seconds.
  SeriesInfo clock = steps;
  clock.key = "c_time.clock";
  clock.column = 2;
  clock.sinceFirstLine = true;
  clock.title = "Wall-clock time since the first logged turn";
  clock.shortName = "Wall clock";
  clock.unit = "seconds";
  series.push_back(clock);
  return series;
}

}  // namespace

const std::vector<SeriesInfo>& allSeries() {
  static const std::vector<SeriesInfo> series = buildSeries();
  return series;
}

const SeriesInfo* findSeries(std::string_view key) {
  for (const SeriesInfo& info : allSeries())
    if (info.key == key) return &info;
  constexpr std::string_view prefix = "ope_ene.";
  if (key.substr(0, prefix.size()) == prefix) {
    const std::string_view name = key.substr(prefix.size());
    for (int code = 0; code < kInstructions; ++code)
      if (name == kInstructionNames[code].longName)
        return findSeries(std::string(prefix) + kInstructionNames[code].word);
  }
  return nullptr;
}

std::string knownSeriesText() {
  std::string text;
  bool instructionsNamed = false;
  for (const SeriesInfo& info : allSeries()) {
    std::string name = info.key;
    if (info.file == kOperationEnergyFile) {
      if (instructionsNamed) continue;
      instructionsNamed = true;
      name = "ope_ene.INSTRUCTION (nop0 ... bred, or the long name: ope_ene.make_leaf)";
    }
    text += text.empty() ? name : ", " + name;
  }
  return text;
}

}  // namespace vek::plot
