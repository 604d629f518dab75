#include "plot/folder_figure.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "plot/log_reader.h"
#include "plot/parallel_jobs.h"

namespace vek::plot {

namespace {

constexpr const char* kDefaultPanels =
    "seed_num,gene_num,cur_bir+cur_dea,fie_cap,ave_eva,ave_size,ave_turn,per_edge+per_leaf+per_flower";
// A panel title of several series joins their titles while it stays this short.
constexpr std::size_t kJoinedTitleLength = 64;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// One series and its reduction.
struct ReadSeries {
  const SeriesInfo* info = nullptr;
  std::unique_ptr<MinMaxReducer> reduced;
};

// One log and the series drawn from it, read in one pass.
struct LogJob {
  int file = 0;
  std::vector<ReadSeries*> series;
  LogReadOutcome outcome;
};

void readLog(const std::string& folder, std::int64_t firstTurn, std::int64_t from, std::int64_t to, LogJob& job) {
  std::vector<int> columns;
  std::vector<double> bases(job.series.size(), 0.0);
  for (ReadSeries* series : job.series) columns.push_back(series->info->column);
  const auto sink = [&](std::int64_t line, const double* values) {
    const std::int64_t turn = firstTurn + line - 1;
    for (std::size_t i = 0; i < job.series.size(); ++i) {
      double value = values[i];
      if (job.series[i]->info->sinceFirstLine) {
        if (line == 1) bases[i] = value;
        value -= bases[i];
      }
      if (turn >= from) job.series[i]->reduced->add(turn, value);
    }
  };
  const LogFile& file = kLogFiles[job.file];
  job.outcome = readLogColumns(folder + file.name, file, columns, to - firstTurn + 1, sink);
}

bool oneGroup(const std::vector<const SeriesInfo*>& series) {
  return std::all_of(series.begin(), series.end(),
                     [&](const SeriesInfo* info) { return info->group == series.front()->group; });
}

std::string panelTitle(const std::vector<const SeriesInfo*>& series) {
  std::string joined;
  for (const SeriesInfo* info : series) joined += joined.empty() ? info->title : " / " + info->title;
  if (series.size() == 1 || joined.size() <= kJoinedTitleLength) return joined;
  return oneGroup(series) ? series.front()->group : std::to_string(series.size()) + " series";
}

// The lines' names in the legend: the short names where the panel's title (one group) says
// what they share and they stay apart, the full titles otherwise.
std::vector<std::string> lineNames(const std::vector<const SeriesInfo*>& series) {
  std::vector<std::string> shortNames, titles;
  for (const SeriesInfo* info : series) {
    if (std::find(shortNames.begin(), shortNames.end(), info->shortName) == shortNames.end())
      shortNames.push_back(info->shortName);
    titles.push_back(info->title);
  }
  const bool titled = series.size() > 1 && panelTitle(series) == series.front()->group;
  return titled && shortNames.size() == series.size() ? shortNames : titles;
}

std::string unitTitle(const std::vector<const SeriesInfo*>& series) {
  std::vector<std::string> units;
  for (const SeriesInfo* info : series)
    if (std::find(units.begin(), units.end(), info->unit) == units.end()) units.push_back(info->unit);
  std::string joined;
  for (const std::string& unit : units) joined += joined.empty() ? unit : " / " + unit;
  return joined;
}

void addNote(std::vector<std::string>& notes, const std::string& note) {
  if (std::find(notes.begin(), notes.end(), note) == notes.end()) notes.push_back(note);
}

}  // namespace

std::string withoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string missingFolder(const std::string& shown) {
  std::error_code code;
  return std::filesystem::is_directory(shown, code) ? std::string() : shown + ": no such folder";
}

bool parsePanelSeries(std::string_view text, PanelSeries& panels, std::string& unknown) {
  panels.clear();
  while (!text.empty()) {
    const std::size_t comma = std::min(text.find(','), text.size());
    std::string_view panelText = text.substr(0, comma);
    text.remove_prefix(std::min(comma + 1, text.size()));
    std::vector<const SeriesInfo*> panel;
    while (!panelText.empty()) {
      const std::size_t plus = std::min(panelText.find('+'), panelText.size());
      const std::string_view name = trimmed(panelText.substr(0, plus));
      panelText.remove_prefix(std::min(plus + 1, panelText.size()));
      if (name.empty()) continue;
      const SeriesInfo* info = findSeries(name);
      if (!info) {
        unknown = std::string(name);
        return false;
      }
      panel.push_back(info);
    }
    if (!panel.empty()) panels.push_back(std::move(panel));
  }
  return true;
}

PanelSeries defaultPanelSeries() {
  PanelSeries panels;
  std::string unknown;
  parsePanelSeries(kDefaultPanels, panels, unknown);
  return panels;
}

std::string defaultPanelSeriesText() { return kDefaultPanels; }

FolderFigure readFolderFigure(const FolderFigureRequest& request) {
  FolderFigure result;
  const std::string shown = withoutTrailingSlash(request.folder);
  const std::string folder = shown + "/";
  result.error = missingFolder(shown);
  if (!result.ok()) return result;
  std::error_code code;
  const bool anyLog = std::any_of(std::begin(kLogFiles), std::end(kLogFiles), [&](const LogFile& file) {
    return std::filesystem::is_regular_file(folder + file.name, code);
  });
  if (!anyLog) {
    result.error = shown + " holds no statistics logs (seed_num.log and the others): is it a world's save folder?";
    return result;
  }
  if (request.panels.empty() || request.panels.front().empty()) {
    result.error = "no series to draw";
    return result;
  }

  // The turns drawn: the whole logs unless the request narrows them, measured on the log of
  // the first series.
  const std::string measured = folder + kLogFiles[request.panels.front().front()->file].name;
  std::int64_t lastTurn = 0;
  if (request.to) {
    lastTurn = *request.to;
  } else {
    const LogReadOutcome counted = countLogLines(measured);
    if (!counted.ok()) {
      result.error = counted.error;
      return result;
    }
    if (counted.unterminatedLastLine)
      result.notes.push_back(measured + ": the last line has no line end (being written, or cut off); it is left out");
    if (counted.lines == 0) {
      result.error = measured + " holds no turn yet: the world has not run";
      return result;
    }
    lastTurn = request.firstTurn + counted.lines - 1;
  }
  const std::int64_t from = std::max(request.from.value_or(request.firstTurn), request.firstTurn);
  if (request.to && from > lastTurn) {
    result.error = "no turns from " + std::to_string(from) + " to " + std::to_string(lastTurn);
    return result;
  }
  if (from > lastTurn) {
    result.error = measured + " ends at turn " + std::to_string(lastTurn) + ", before turn " + std::to_string(from);
    return result;
  }
  result.from = from;
  result.to = lastTurn;

  // Every series gets its reduction; the series of one log are read together, in the
  // order the panels first name the logs.
  std::vector<ReadSeries> all;
  for (const auto& panel : request.panels)
    for (const SeriesInfo* info : panel)
      all.push_back({info, std::make_unique<MinMaxReducer>(from, lastTurn, request.pixelColumns)});
  std::vector<LogJob> jobs;
  for (ReadSeries& series : all) {
    auto job = std::find_if(jobs.begin(), jobs.end(), [&](const LogJob& j) { return j.file == series.info->file; });
    if (job == jobs.end()) job = jobs.insert(jobs.end(), LogJob{series.info->file, {}, {}});
    job->series.push_back(&series);
  }
  runJobs(jobs.size(), request.threads,
          [&](std::size_t i) { readLog(folder, request.firstTurn, from, lastTurn, jobs[i]); });

  for (const LogJob& job : jobs) {
    const std::string path = folder + kLogFiles[job.file].name;
    if (!job.outcome.ok()) {
      result.error = job.outcome.error;
      return result;
    }
    if (job.outcome.counterBackLine > 0)
      result.notes.push_back(path + " line " + std::to_string(job.outcome.counterBackLine) +
                             ": the step counter goes back, so the world was continued from a save older than "
                             "the log's end and the lines from here on repeat turns already logged; turns are "
                             "counted one per line");
    if (job.outcome.unterminatedLastLine)
      addNote(result.notes, path + ": the last line has no line end (being written, or cut off); it is left out");
    const std::int64_t logEnd = request.firstTurn + job.outcome.lines - 1;
    if (logEnd < lastTurn)
      result.notes.push_back(path + " ends at turn " + std::to_string(logEnd) + ", before turn " +
                             std::to_string(lastTurn));
  }

  result.figure.title = shown + ": turns " + std::to_string(from) + " to " + std::to_string(lastTurn);
  std::size_t next = 0;
  for (const auto& panelSeries : request.panels) {
    PanelModel panel;
    panel.title = panelTitle(panelSeries);
    panel.x = turnAxis(from, lastTurn, kTurnTicks);
    panel.x.title = "Turn";
    const std::vector<std::string> names = lineNames(panelSeries);
    double low = INFINITY, high = -INFINITY;
    for (std::size_t i = 0; i < panelSeries.size(); ++i) {
      const ReadSeries& series = all[next++];
      LineModel line;
      line.name = names[i];
      line.colour = static_cast<int>(i);
      line.pieces = series.reduced->polylines();
      if (series.reduced->hasValues()) {
        low = std::min(low, series.reduced->minimum());
        high = std::max(high, series.reduced->maximum());
      }
      panel.lines.push_back(std::move(line));
    }
    if (low > high) panel.title += " (no values in these turns)";
    panel.y = valueAxis(low, high, kValueTicks);
    panel.y.title = unitTitle(panelSeries);
    result.figure.panels.push_back(std::move(panel));
  }
  return result;
}

}  // namespace vek::plot
