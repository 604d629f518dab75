// The statistics logs of a save folder as one table for vek.read_logs: one row per logged
// turn, one column per figure, named as World.statistics() names them (figure_names.h), with
// the step counter ("time") and the wall-clock seconds of the turn ("clock") from `c_time.log`.
//
// Line k of a log is the k-th turn logged into it. A folder whose logs began after turn 1 (a
// world saved into a folder of its own late, or one whose first logs were lost) says so in its
// manifest, which holds the turn of the last save and each log's length at it; without a
// manifest the logs are taken to begin at turn 1.
//
// The logs are read by vek-plot's reader (plot/log_reader.h): a value that is not a number
// ("nan", the older "1.#QNAN" and the like) is NaN, a last line still being written is left
// out, a malformed line stops the read with the file and the line. Logs of unequal length
// (a folder another program is writing into) give NaN where a log has no line yet.
//
// Plain function; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "python/world_tables.h"

namespace vek::python {

struct LogTable {
  Table table;                 // "time", "clock", the figures, "spent_on_..."
  std::int64_t firstTurn = 1;  // the turn of the first row
  std::int64_t rows = 0;
};

// Reads the logs of `folder`. `firstTurn`, when given, is the turn of the logs' first line.
// Throws SessionError: kNotFound for a folder without logs, kValue for a malformed line or
// step counters that disagree between logs, with the file and the line.
LogTable readLogTable(const std::string& folder, std::optional<std::int64_t> firstTurn);

}  // namespace vek::python
