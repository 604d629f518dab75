// Streams one column of a statistics log, line by line, in blocks of a fixed size: memory does
// not grow with the log, so a log of a million turns is read as easily as one of ten.
//
// Line k of a log is the k-th turn that was logged into it. A line is its fields separated by
// blanks (spaces or tabs), ended by LF or CR LF. It must hold exactly the fields its log's shape
// gives (at least them, when free text follows), begin with a whole step counter, and carry a
// number in the requested column; of the other fields only the count is checked. A value that
// is not a number stands for a missing value and comes out as NaN: "nan" as this system writes
// it, "-nan", "inf", and the older texts "1.#QNAN", "-1.#IND", "1.#INF" of logs written on
// Windows. Anything else stops the read with a message that names the file and the line.
//
// A last line without its line end is being written right now, or was cut off by a crash:
// it is left out, and the outcome says so.
//
// Free functions without shared state: any thread may call them, several at once on
// different or the same files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/log_catalog.h"

namespace vek::plot {

struct LogReadOutcome {
  std::string error;                 // "" when the log was read
  std::int64_t lines = 0;            // whole lines read
  bool unterminatedLastLine = false;  // a last line without its line end was left out
  // The first line whose step counter is below the one of the line before it (0: none): the
  // world was continued from a save older than the log's end, so from this line on the lines
  // repeat turns already logged.
  std::int64_t counterBackLine = 0;
  bool ok() const { return error.empty(); }
};

// Called for every line read with its number (from 1) and the values in the requested
// columns, in the order they were asked for.
using LogValuesSink = std::function<void(std::int64_t line, const double* values)>;
using LogValueSink = std::function<void(std::int64_t line, double value)>;

// Reads lines 1 to `lastLine` of the log at `path` (all of them when `lastLine` is 0 or less)
// and hands the values in `columns` (0: the step counter; each below shape.numbers) to `sink`,
// several columns of one log in one pass over it. The lines before a malformed line have
// reached the sink when it fails.
LogReadOutcome readLogColumns(const std::string& path, const LogFile& shape, const std::vector<int>& columns,
                              std::int64_t lastLine, const LogValuesSink& sink);
// The same for one column.
LogReadOutcome readLogColumn(const std::string& path, const LogFile& shape, int column, std::int64_t lastLine,
                             const LogValueSink& sink);

// Counts the whole lines of the log at `path` without reading its numbers.
LogReadOutcome countLogLines(const std::string& path);

// The number in one field of a log line: true with `value` set (NaN for a value that is not a
// number), false when the field is no number at all.
bool parseLogNumber(std::string_view field, double& value);

}  // namespace vek::plot
