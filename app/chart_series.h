// What the Charts view draws: the series of the statistics logs (plot/log_catalog.h) with the
// words the view shows for them, and each series' value in a turn's figures as the world gives
// them after the turn, the same number the turn's log line holds.
//
// The figures are taken on the world's thread at the end of a turn (with the world's mutex
// held) and are plain values from then on; the rest are read-only tables and pure functions,
// for any thread.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "base/instructions.h"
#include "plot/log_catalog.h"
#include "records/statistics_logs.h"

class mPlace;

namespace app {

// One turn's figures: what every log's line of that turn holds, as numbers.
struct TurnFigureSet {
  std::int64_t turn = 0;
  double steps = 0;  // the step counter that begins every line
  double clock = 0;  // the calendar time of `c_time.log`, in seconds since 1970
  std::array<double, vek::kTurnFigureCount> values{};  // `edge.log` to `ave_keep.log`
  std::array<double, kInstructionCount> usage{};       // `ope_ene.log`
};

// The figures of the turn the place has just closed. Call with the world's mutex held.
TurnFigureSet turnFigureSet(const mPlace& place, std::time_t now);

// The value `series` has in `figures`: the number in its column of its log's line. A clock
// reading drawn as the change since the first line is given as read here; the caller takes
// the first line off.
double valueOf(const vek::plot::SeriesInfo& series, const TurnFigureSet& figures);

// The words the view shows for a series: a title for the list and the chart, a short name for
// a legend, and the unit of its axis.
struct SeriesWords {
  QString title;
  QString shortName;
  QString unit;
};
SeriesWords wordsOf(const vek::plot::SeriesInfo& series);
// The name of a group of series (SeriesInfo::group) in the list.
QString groupWords(const std::string& group);

}  // namespace app
