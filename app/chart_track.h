// SeriesTrack: the turns of one series reduced to what a chart can draw (min and max per
// pixel column, plot/min_max_reducer.h), read first from the save folder's log and then
// continued turn by turn with the world's own figures.
//
// A track covers the turns from `first` to `last`, or from `first` on without end: then its
// columns widen as the world goes on and its memory stays fixed, however long the run. Line k
// of a log is turn k (a world's logs begin with it and are cut back with it on load), so the
// turns read from the log and the turns the world hands over meet without a gap; a turn the
// track already holds (read from the log, then handed over again) is skipped, as is a turn
// outside the track's range.
//
// A clock reading drawn as the change since the first line (plot/log_catalog.h's
// sinceFirstLine) has the first line's value taken off: the log's first line, or the first
// turn handed over when the log held none.
//
// Plain C++ without Qt. Not thread-safe: one thread at a time uses a track (its history is
// read on a helper thread, then it is handed to the windows' thread).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/chart_series.h"
#include "plot/log_catalog.h"
#include "plot/min_max_reducer.h"

namespace app {

class SeriesTrack {
 public:
  // `series` is one of the catalog's (which lives as long as the program). `expectedLast`
  // plans the columns of a track without end; a track with an end plans them from it.
  SeriesTrack(const vek::plot::SeriesInfo& series, std::int64_t first, std::optional<std::int64_t> last, int columns,
              std::int64_t expectedLast);

  const vek::plot::SeriesInfo& series() const { return *mSeries; }
  std::int64_t first() const { return mFirst; }
  const std::optional<std::int64_t>& last() const { return mLast; }
  int columns() const { return mColumns; }

  // The value of `turn` as its log's line holds it.
  void add(std::int64_t turn, double value);
  void add(const TurnFigureSet& figures) { add(figures.turn, valueOf(*mSeries, figures)); }

  const vek::plot::MinMaxReducer& reduced() const { return mReduced; }
  // The last turn the track holds; first() - 1 before any.
  std::int64_t lastTurn() const { return mReduced.lastX(); }

 private:
  const vek::plot::SeriesInfo* mSeries;
  std::int64_t mFirst;
  std::optional<std::int64_t> mLast;
  int mColumns;
  vek::plot::MinMaxReducer mReduced;
  std::optional<double> mBase;
};

// Reads the turns of `tracks` from the logs of `folder` (ending in "/"), each log once for all
// the tracks drawn from it, up to the last turn of a track with an end and to the end of the
// log otherwise. A last line still being written is left for the world to hand over. Returns
// "" or what went wrong, naming the file and line; the turns before a bad line are kept.
// Any thread.
std::string readHistory(const std::string& folder, std::vector<SeriesTrack>& tracks);

}  // namespace app
