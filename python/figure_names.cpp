#include "python/figure_names.h"

#include "base/instructions.h"

namespace vek::python {

const FigureName kFigureNames[kTurnFigureCount] = {
    {"average_edge_energy", false},   {"average_leaf_energy", false},   {"average_flower_energy", false},
    {"edge_percent", false},          {"leaf_percent", false},          {"flower_percent", false},
    {"living", true},                 {"genes", true},                  {"average_evaluation", false},
    {"average_genome_length", false}, {"average_age", false},           {"average_energy", false},
    {"births", true},                 {"deaths", true},                 {"occupancy", false},
    {"total_births", true},           {"total_deaths", true},           {"total_daylight", false},
    {"total_edge_energy", false},     {"total_leaf_energy", false},     {"total_flower_energy", false},
    {"total_energy_gained", false},   {"total_energy_used", false},     {"total_energy_upkeep", false},
    {"average_energy_gained", false}, {"average_energy_used", false},   {"average_energy_upkeep", false},
};

std::string spentOnName(int opcode) { return std::string("spent_on_") + longNameOf(opcode); }

}  // namespace vek::python
