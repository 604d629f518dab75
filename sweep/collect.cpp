#include "sweep/collect.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/file_outcome.h"
#include "base/instructions.h"
#include "base/text_io.h"
#include "records/statistics_logs.h"
#include "sweep/csv.h"
#include "sweep/number_text.h"
#include "sweep/run_folder.h"
#include "sweep/statistics.h"

namespace vek::sweep {

namespace {

// A final figure: its column and where summary.json keeps it.
struct Figure {
  const char* column;
  const char* section;  // "" for the top level, else "last_turn"
  const char* key;
};

constexpr Figure kFigures[] = {
    {"turn", "", "turn"},
    {"time", "", "time"},
    {"living", "", "living"},
    {"genes", "", "genes"},
    {"births", "", "births"},
    {"deaths", "", "deaths"},
    {"births_last_turn", "last_turn", "births"},
    {"deaths_last_turn", "last_turn", "deaths"},
    {"average_evaluation", "last_turn", "average_evaluation"},
    {"average_age", "last_turn", "average_age"},
    {"average_genome_size", "last_turn", "average_genome_size"},
    {"average_energy", "last_turn", "average_energy"},
    {"average_energy_gained", "last_turn", "average_energy_gained"},
    {"average_energy_used", "last_turn", "average_energy_used"},
    {"average_energy_kept", "last_turn", "average_energy_kept"},
    {"occupancy", "last_turn", "occupancy"},
    {"energy_share_edges", "last_turn", "energy_share_edges"},
    {"energy_share_leaves", "last_turn", "energy_share_leaves"},
    {"energy_share_flowers", "last_turn", "energy_share_flowers"},
};
constexpr size_t kFigureCount = std::size(kFigures);

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// The figures of a run's summary.json, or nothing when it cannot be read.
std::optional<std::vector<double>> figuresOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const nlohmann::json json = nlohmann::json::parse(in, nullptr, false);
  if (json.is_discarded() || !json.is_object()) return std::nullopt;
  std::vector<double> figures;
  for (const Figure& figure : kFigures) {
    const nlohmann::json& section = *figure.section ? json.value(figure.section, nlohmann::json::object()) : json;
    const auto found = section.find(figure.key);
    figures.push_back(found != section.end() && found->is_number() ? found->get<double>() : kMissing);
  }
  return figures;
}

// Writes a file that may be large straight to disk, through a temporary file and a rename.
class CsvFile {
 public:
  explicit CsvFile(const std::string& path) : mPath(path), mTemporary(path + ".part"), mOut(mTemporary, std::ios::binary) {}
  void row(const std::vector<std::string>& fields) { mOut << csvRow(fields); }
  void raw(const std::string& text) { mOut << text; }
  std::string finish() {
    mOut.close();
    errno = 0;
    if (!mOut || std::rename(mTemporary.c_str(), mPath.c_str()) != 0) {
      std::remove(mTemporary.c_str());
      return describeFileError("cannot write", mPath);
    }
    return {};
  }

 private:
  std::string mPath;
  std::string mTemporary;
  std::ofstream mOut;
};

// The measures of one line of log `log`: (measure, value text).
void measuresOfLine(const std::string& log, const std::string& line, std::vector<std::pair<std::string, std::string>>& out) {
  std::istringstream words(line);
  std::vector<std::string> fields;
  for (std::string word; words >> word;) fields.push_back(word);
  if (fields.size() < 2) return;
  const std::string measure = log.substr(0, log.size() - 4);  // without ".log"
  if (measure == "c_time") {
    out.emplace_back("time", fields[0]);
    if (fields.size() >= 3) out.emplace_back("c_time", fields[2]);
  } else if (measure == "ope_ene") {
    for (size_t code = 0; code + 1 < fields.size() && code < static_cast<size_t>(kInstructionCount); ++code)
      out.emplace_back("ope_ene_" + std::string(longNameOf(static_cast<int>(code))), fields[code + 1]);
  } else {
    out.emplace_back(measure, fields[1]);
  }
}

std::string numberField(const std::string& text) {
  const std::optional<double> value = parseNumber(text);
  return value ? csvNumber(*value) : std::string();
}

// Appends the series of one run: line k of every log is turn k.
void writeSeries(CsvFile& file, const std::string& saveFolder, int runId, int every) {
  std::vector<std::ifstream> logs;
  for (const char* name : kTurnLogNames) logs.emplace_back(saveFolder + name, std::ios::binary);
  std::vector<std::pair<std::string, std::string>> measures;
  const std::string run = std::to_string(runId);
  for (int turn = 1;; ++turn) {
    measures.clear();
    bool any = false;
    for (size_t log = 0; log < logs.size(); ++log) {
      std::string line;
      if (!std::getline(logs[log], line)) continue;
      any = true;
      if (turn % every == 0) measuresOfLine(kTurnLogNames[log], line, measures);
    }
    if (!any) break;
    std::string rows;
    for (const auto& [measure, value] : measures)
      rows += run + "," + std::to_string(turn) + "," + measure + "," + numberField(value) + "\n";
    file.raw(rows);
  }
}

std::vector<std::string> gridHeader(const Plan& plan) {
  std::vector<std::string> header;
  for (const GridAxis& axis : plan.experiment.grid) header.push_back(axis.key);
  return header;
}

std::vector<std::string> gridValues(const Run& run) {
  std::vector<std::string> values;
  for (double value : run.values) values.push_back(shortestText(value));
  return values;
}

}  // namespace

CollectOutcome collectResults(const Plan& plan, int every) {
  CollectOutcome outcome;
  CsvFile summary(plan.directory + "summary.csv");
  CsvFile series(plan.directory + "series.csv");
  std::vector<std::string> header = {"run"};
  for (const std::string& key : gridHeader(plan)) header.push_back(key);
  header.push_back("seed");
  for (const Figure& figure : kFigures) header.push_back(figure.column);
  summary.row(header);
  series.row({"run", "turn", "measure", "value"});

  // Figures of the collected runs by setting, for settings.csv.
  std::map<int, std::vector<std::vector<double>>> bySetting;
  for (const Run& run : plan.runs) {
    const std::optional<std::vector<double>> figures = figuresOf(plan.runFolder(run) + "summary.json");
    if (runStatus(plan, run).state != RunState::kDone || !figures) {
      outcome.left.push_back(run.id);
      continue;
    }
    std::vector<std::string> row = {std::to_string(run.id)};
    for (const std::string& value : gridValues(run)) row.push_back(value);
    row.push_back(std::to_string(run.seed));
    for (double figure : *figures) row.push_back(csvNumber(figure));
    summary.row(row);
    writeSeries(series, saveFolderOf(plan, run), run.id, every);
    bySetting[run.setting].push_back(*figures);
    ++outcome.collected;
  }

  CsvFile settings(plan.directory + "settings.csv");
  header = gridHeader(plan);
  header.push_back("replicates");
  // The turn is the same in every finished run: it has no spread to tell.
  for (size_t f = 1; f < kFigureCount; ++f)
    for (const char* part : {"_mean", "_sd", "_ci95_low", "_ci95_high"}) header.push_back(kFigures[f].column + std::string(part));
  settings.row(header);
  for (const auto& [setting, runs] : bySetting) {
    const Run& first = plan.runs[setting * plan.experiment.seeds.size()];
    std::vector<std::string> row = gridValues(first);
    row.push_back(std::to_string(runs.size()));
    for (size_t f = 1; f < kFigureCount; ++f) {
      std::vector<double> values;
      for (const std::vector<double>& figures : runs) values.push_back(figures[f]);
      const Estimate e = estimate(values);
      for (double value : {e.mean, e.sd, e.low, e.high}) row.push_back(csvNumber(value));
    }
    settings.row(row);
  }
  for (CsvFile* file : {&summary, &series, &settings})
    if (std::string error = file->finish(); !error.empty() && outcome.error.empty()) outcome.error = error;
  return outcome;
}

}  // namespace vek::sweep
