// The statistics logs of a save folder and the series a chart can draw from them.
//
// A world appends one line to each of 29 logs after every turn. A line begins with the
// place's step counter (EXECUTE steps so far), then its value(s): one number for most logs,
// 32 for `ope_ene.log` (the energy the average individual has spent under each instruction),
// and for `c_time.log` two clock readings followed by the calendar text of the turn.
//
// A series is one column of one log, named for the command line ("seed_num", "ope_ene.makl",
// "c_time.clock") and described in words for the chart: a title, the unit of its axis and
// the group in which a list of series shows it. The names and shapes of the logs are kept here
// rather than taken from the simulator, so the charts depend on the files alone.
//
// Read-only tables, built on first use; any thread may read them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vek::plot {

// How the lines of one log are laid out.
struct LogFile {
  const char* name;   // "seed_num.log"
  int numbers;        // numeric fields of a line, the step counter included
  bool textFollows;   // free text ends the line (the calendar text of `c_time.log`)
};

inline constexpr int kLogFileCount = 29;
// The most numeric fields of any log's line (`ope_ene.log`'s).
inline constexpr int kMaxLogNumbers = 33;
// The logs in the order a turn appends their lines.
extern const LogFile kLogFiles[kLogFileCount];

struct SeriesInfo {
  std::string key;        // the name on the command line
  int file = 0;           // index into kLogFiles
  int column = 0;         // 0: the step counter; 1, 2, ...: the values after it
  bool sinceFirstLine = false;  // drawn as the change since the log's first line (clock readings)
  std::string title;      // "Living individuals"
  std::string shortName;  // "Living": its name in the legend of a panel of its group
  std::string unit;       // "individuals": the title of the value axis
  std::string group;      // "Population"
};

// Every series, grouped: the groups follow one another, each in the order of its logs.
const std::vector<SeriesInfo>& allSeries();
// The series named `key`; an instruction's energy may also be named by the instruction's long
// name ("ope_ene.make_leaf"). Null when there is none.
const SeriesInfo* findSeries(std::string_view key);
// The series names for a usage message, with the instructions' ones folded into one entry.
std::string knownSeriesText();

}  // namespace vek::plot
