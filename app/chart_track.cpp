#include "app/chart_track.h"

#include <algorithm>

#include "plot/log_reader.h"

namespace app {

using vek::plot::kLogFiles;
using vek::plot::SeriesInfo;

SeriesTrack::SeriesTrack(const SeriesInfo& series, std::int64_t first, std::optional<std::int64_t> last, int columns,
                         std::int64_t expectedLast)
    : mSeries(&series),
      mFirst(first),
      mLast(last),
      mColumns(std::max(columns, 1)),
      mReduced(first, std::max(last.value_or(expectedLast), first), mColumns) {}

void SeriesTrack::add(std::int64_t turn, double value) {
  if (mSeries->sinceFirstLine) {
    if (!mBase) mBase = value;
    value -= *mBase;
  }
  if (turn < mFirst || (mLast && turn > *mLast)) return;
  mReduced.add(turn, value);
}

std::string readHistory(const std::string& folder, std::vector<SeriesTrack>& tracks) {
  std::string error;
  std::vector<bool> done(tracks.size(), false);
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (done[i]) continue;
    // Every track drawn from this log, read in one pass.
    const int file = tracks[i].series().file;
    std::vector<SeriesTrack*> sharing;
    std::vector<int> columns;
    std::int64_t lastLine = 0;
    bool toTheEnd = false;
    for (std::size_t j = i; j < tracks.size(); ++j) {
      if (done[j] || tracks[j].series().file != file) continue;
      done[j] = true;
      sharing.push_back(&tracks[j]);
      columns.push_back(tracks[j].series().column);
      if (tracks[j].last())
        lastLine = std::max(lastLine, *tracks[j].last());
      else
        toTheEnd = true;
    }
    const vek::plot::LogReadOutcome outcome = vek::plot::readLogColumns(
        folder + kLogFiles[file].name, kLogFiles[file], columns, toTheEnd ? 0 : std::max<std::int64_t>(lastLine, 1),
        [&](std::int64_t line, const double* values) {
          for (std::size_t k = 0; k < sharing.size(); ++k) sharing[k]->add(line, values[k]);
        });
    if (!outcome.ok() && error.empty()) error = outcome.error;
  }
  return error;
}

}  // namespace app
