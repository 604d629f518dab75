// The names in words under which Python shows the figures of the statistics logs: the columns
// of vek.read_logs and the keys of World.statistics(), so a figure read from a folder and one
// asked of a running world carry the same name.
//
// Read-only tables; any thread.
#pragma once

#include <string>

#include "records/statistics_logs.h"

namespace vek::python {

struct FigureName {
  const char* name;  // "living"
  bool count;        // a count of individuals, genes, births or deaths: an integer
};

// One per figure of records/statistics_logs.h's turnFigures, in that order (the logs
// `edge.log` to `ave_keep.log`).
extern const FigureName kFigureNames[kTurnFigureCount];

// The column of the energy that the average individual has spent on one instruction
// (`ope_ene.log`): "spent_on_" + the instruction's long name ("spent_on_make_leaf").
std::string spentOnName(int opcode);

}  // namespace vek::python
