#include "plot/sweep_figure.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>

#include "plot/band_reducer.h"
#include "plot/log_reader.h"
#include "plot/parallel_jobs.h"
#include "sweep/number_text.h"
#include "sweep/plan.h"
#include "sweep/run_folder.h"
#include "sweep/statistics.h"

namespace vek::plot {

namespace {

constexpr const char* kDefaultSweepSeries = "seed_num,gene_num,cur_bir,cur_dea,fie_cap,ave_eva,ave_size,ave_turn";
// Replicates are read in step, each through a reader of its own: small blocks keep a setting
// of many replicates small too.
constexpr std::size_t kReplicateBlockSize = std::size_t{64} << 10;
// The band's fill lets the lines and the other settings' bands show through.
constexpr double kBandOpacity = 0.22;

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// One run whose save folder holds logs.
struct RunLogs {
  const sweep::Run* run = nullptr;
  std::string saveFolder;
  LogReadOutcome counted;  // of the first series' log
};

// The mean line and the band of one series in one setting.
struct Reduced {
  std::unique_ptr<MinMaxReducer> mean;
  std::unique_ptr<BandReducer> band;
};

// One log of every replicate of one setting, read in step.
struct StepJob {
  std::vector<const RunLogs*> replicates;
  int file = 0;
  std::vector<std::size_t> series;  // indices into the request's series
  std::vector<Reduced*> reduced;    // one for each of them
  std::string error;
};

std::string runName(const sweep::Run& run) { return "run " + std::to_string(run.id) + " (" + run.folder + ")"; }

std::string settingName(const sweep::Plan& plan, const sweep::Run& run) {
  std::string name;
  for (std::size_t axis = 0; axis < plan.experiment.grid.size(); ++axis)
    name += (name.empty() ? "" : ", ") + plan.experiment.grid[axis].key + "=" + sweep::shortestText(run.values[axis]);
  return name.empty() ? "all runs" : name;
}

void readInStep(const SweepFigureRequest& request, std::int64_t from, std::int64_t to, StepJob& job) {
  const LogFile& file = kLogFiles[job.file];
  std::vector<int> columns;
  for (std::size_t s : job.series) columns.push_back(request.series[s]->column);
  std::vector<std::unique_ptr<LogColumnsReader>> readers;
  for (const RunLogs* replicate : job.replicates)
    readers.push_back(std::make_unique<LogColumnsReader>(replicate->saveFolder + file.name, file, columns,
                                                         kReplicateBlockSize));
  const std::size_t count = readers.size();
  std::vector<bool> live(count, true);
  // values[s][r]: series s of replicate r in the line being read; bases for the clock readings.
  std::vector<std::vector<double>> values(job.series.size(), std::vector<double>(count));
  std::vector<std::vector<double>> bases(job.series.size(), std::vector<double>(count, 0.0));
  for (std::int64_t line = 1;; ++line) {
    const std::int64_t turn = request.firstTurn + line - 1;
    if (turn > to) return;
    bool any = false;
    for (std::size_t r = 0; r < count; ++r) {
      const double* read = live[r] ? readers[r]->next() : nullptr;
      if (live[r] && !read) {
        live[r] = false;
        const LogReadOutcome outcome = readers[r]->outcome();
        if (!outcome.ok()) {
          job.error = outcome.error;
          return;
        }
      }
      for (std::size_t s = 0; s < job.series.size(); ++s) {
        double value = read ? read[s] : kMissing;
        if (read && request.series[job.series[s]]->sinceFirstLine) {
          if (line == 1) bases[s][r] = value;
          value -= bases[s][r];
        }
        values[s][r] = value;
      }
      any = any || read;
    }
    if (!any) return;
    if (turn < from) continue;
    for (std::size_t s = 0; s < job.series.size(); ++s) {
      const sweep::Estimate e = sweep::estimate(values[s]);
      job.reduced[s]->mean->add(turn, e.mean);
      job.reduced[s]->band->add(turn, e.low, e.high);
    }
  }
}

std::string replicatesText(int least, int most) {
  if (least == most) return std::to_string(least) + (least == 1 ? " run" : " runs");
  return std::to_string(least) + " to " + std::to_string(most) + " runs";
}

}  // namespace

bool isSweepFolder(const std::string& folder) {
  std::error_code code;
  return std::filesystem::is_regular_file(withoutTrailingSlash(folder) + "/runs.csv", code);
}

std::vector<const SeriesInfo*> sweepSeries(const PanelSeries& panels) {
  std::vector<const SeriesInfo*> series;
  for (const auto& panel : panels) series.insert(series.end(), panel.begin(), panel.end());
  return series;
}

std::vector<const SeriesInfo*> defaultSweepSeries() {
  PanelSeries panels;
  std::string unknown;
  parsePanelSeries(kDefaultSweepSeries, panels, unknown);
  return sweepSeries(panels);
}

std::string defaultSweepSeriesText() { return kDefaultSweepSeries; }

SweepFigure readSweepFigure(const SweepFigureRequest& request) {
  SweepFigure result;
  const std::string shown = withoutTrailingSlash(request.folder);
  if (request.series.empty()) {
    result.error = "no series to draw";
    return result;
  }
  const sweep::PlanOutcome planned = sweep::loadPlan(shown);
  if (!planned.plan) {
    result.error = planned.error;
    return result;
  }
  const sweep::Plan& plan = *planned.plan;

  // The runs with logs, and how far each has come by the log of the first series.
  const std::string firstLog = kLogFiles[request.series.front()->file].name;
  std::vector<RunLogs> runs;
  std::error_code code;
  for (const sweep::Run& run : plan.runs) {
    const std::string saveFolder = sweep::saveFolderOf(plan, run);
    if (std::filesystem::is_regular_file(saveFolder + firstLog, code))
      runs.push_back({&run, saveFolder, {}});
    else
      result.notes.push_back(runName(run) + " has no logs yet (not started); left out");
  }
  if (runs.empty()) {
    result.error = shown + ": no run of the sweep has logs yet (start it with vek-sweep run or vek-sweep slurm)";
    return result;
  }
  runJobs(runs.size(), request.threads,
          [&](std::size_t i) { runs[i].counted = countLogLines(runs[i].saveFolder + firstLog); });
  std::int64_t lastTurn = request.firstTurn - 1;
  for (const RunLogs& logs : runs) {
    if (!logs.counted.ok()) {
      result.error = logs.counted.error;
      return result;
    }
    if (logs.counted.unterminatedLastLine)
      result.notes.push_back(runName(*logs.run) + ": the last line of " + firstLog +
                             " has no line end (being written, or cut off); it is left out");
    lastTurn = std::max(lastTurn, request.firstTurn + logs.counted.lines - 1);
  }
  if (request.to) lastTurn = *request.to;
  const std::int64_t from = std::max(request.from.value_or(request.firstTurn), request.firstTurn);
  if (lastTurn < request.firstTurn) {
    result.error = shown + ": no run of the sweep has logged a turn yet";
    return result;
  }
  if (from > lastTurn) {
    result.error = request.to ? "no turns from " + std::to_string(from) + " to " + std::to_string(lastTurn)
                              : shown + ": the runs end at turn " + std::to_string(lastTurn) + ", before turn " +
                                    std::to_string(from);
    return result;
  }
  for (const RunLogs& logs : runs) {
    const std::int64_t end = request.firstTurn + logs.counted.lines - 1;
    if (end < lastTurn)
      result.notes.push_back(runName(*logs.run) + " ends at turn " + std::to_string(end) + ", before turn " +
                             std::to_string(lastTurn) + " (running, stopped or failed)");
  }
  result.from = from;
  result.to = lastTurn;

  // The replicates of each setting; a reduction for every setting and series; a job for every
  // setting and log.
  std::map<int, std::vector<const RunLogs*>> bySetting;
  for (const RunLogs& logs : runs) bySetting[logs.run->setting].push_back(&logs);
  std::map<int, std::vector<Reduced>> reduced;
  std::vector<StepJob> jobs;
  for (const auto& [setting, replicates] : bySetting) {
    std::vector<Reduced>& lines = reduced[setting];
    for (std::size_t s = 0; s < request.series.size(); ++s)
      lines.push_back({std::make_unique<MinMaxReducer>(from, lastTurn, request.pixelColumns),
                       std::make_unique<BandReducer>(from, lastTurn, request.pixelColumns)});
    const std::size_t settingJobs = jobs.size();
    for (std::size_t s = 0; s < request.series.size(); ++s) {
      const int file = request.series[s]->file;
      auto job = std::find_if(jobs.begin() + static_cast<std::ptrdiff_t>(settingJobs), jobs.end(),
                              [&](const StepJob& j) { return j.file == file; });
      if (job == jobs.end()) job = jobs.insert(jobs.end(), StepJob{replicates, file, {}, {}, {}});
      job->series.push_back(s);
      job->reduced.push_back(&lines[s]);
    }
  }
  runJobs(jobs.size(), request.threads, [&](std::size_t i) { readInStep(request, from, lastTurn, jobs[i]); });
  for (const StepJob& job : jobs)
    if (!job.error.empty()) {
      result.error = job.error;
      return result;
    }

  int least = std::numeric_limits<int>::max(), most = 0;
  for (const auto& [setting, replicates] : bySetting) {
    const int n = static_cast<int>(replicates.size());
    least = std::min(least, n);
    most = std::max(most, n);
    const std::string name = settingName(plan, *replicates.front()->run);
    result.figure.legend.push_back({name + " (" + replicatesText(n, n) + ")", setting});
  }
  for (int setting = 0; setting < plan.settingCount(); ++setting)
    if (!bySetting.count(setting))
      result.notes.push_back("setting " + settingName(plan, plan.runs[static_cast<std::size_t>(setting) *
                                                                       plan.experiment.seeds.size()]) +
                             ": no run has logs yet; left out");
  result.settings = static_cast<int>(bySetting.size());
  result.runs = static_cast<int>(runs.size());
  result.figure.title = shown + ": mean and 95 % confidence interval of " + replicatesText(least, most) +
                        " per setting, turns " + std::to_string(from) + " to " + std::to_string(lastTurn);

  for (std::size_t s = 0; s < request.series.size(); ++s) {
    const SeriesInfo& info = *request.series[s];
    PanelModel panel;
    panel.title = info.title;
    panel.legend = false;
    panel.x = turnAxis(from, lastTurn, kTurnTicks);
    panel.x.title = "Turn";
    double low = INFINITY, high = -INFINITY;
    for (const auto& [setting, replicates] : bySetting) {
      const Reduced& lines = reduced[setting][s];
      const std::string name = settingName(plan, *replicates.front()->run);
      if (lines.mean->hasValues()) {
        low = std::min(low, lines.mean->minimum());
        high = std::max(high, lines.mean->maximum());
      }
      if (lines.band->hasValues()) {
        low = std::min(low, lines.band->minimum());
        high = std::max(high, lines.band->maximum());
      }
      panel.areas.push_back({name, setting, 0, kBandOpacity, false, lines.band->pieces()});
      panel.lines.push_back({name, setting, lines.mean->polylines()});
    }
    if (low > high) panel.title += " (no values in these turns)";
    panel.y = valueAxis(low, high, kValueTicks);
    panel.y.title = info.unit;
    result.figure.panels.push_back(std::move(panel));
  }
  return result;
}

}  // namespace vek::plot
