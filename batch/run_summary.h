// The machine-readable end of a run (vek-batch --summary FILE.json): where the world stands,
// the figures of its last turn, how long the run took, and what it was run with. A JSON
// object that any language reads; numbers read back exactly; a figure that is not a number (a
// share of nothing) is null.
//
// Built on the controlling thread while the worker is parked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/file_outcome.h"

class mWorld;

namespace vek::batch {

struct RunFacts {
  std::string folder;                  // the save folder
  std::optional<std::uint32_t> seed;   // as given, or none (the world's own numbers)
  bool reference = false;              // the plain algorithms
  int firstTurn = 0;
  double wallSeconds = 0;
  double cpuSeconds = 0;
  bool interrupted = false;
};

// The summary's text. Reads the world: hold its mutex or keep the worker parked.
std::string runSummaryText(const mWorld& world, const RunFacts& facts);
// Writes it to `path`, replacing the file atomically.
FileOutcome writeRunSummary(const std::string& path, const std::string& text);

}  // namespace vek::batch
