#include "python/log_table.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "base/instructions.h"
#include "plot/log_reader.h"
#include "python/figure_names.h"
#include "python/session_error.h"
#include "records/save_unit.h"
#include "records/world_document.h"

namespace vek::python {

namespace {

constexpr int kClockLog = 0;
constexpr int kUsageLog = plot::kLogFileCount - 1;
constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

struct ReadColumn {
  std::string name;
  bool count = false;
  int logColumn = 0;
  std::vector<double> values;
};

// The columns a log gives the table, after its step counter.
std::vector<ReadColumn> columnsOf(int log) {
  if (log == kClockLog) return {{"clock", true, 2, {}}};
  if (log == kUsageLog) {
    std::vector<ReadColumn> usage;
    for (int code = 0; code < kInstructionCount; ++code) usage.push_back({spentOnName(code), false, 1 + code, {}});
    return usage;
  }
  return {{kFigureNames[log - 1].name, kFigureNames[log - 1].count, 1, {}}};
}

// The number of lines in the first `length` bytes of `path`.
std::int64_t linesIn(const std::string& path, std::uint64_t length) {
  std::ifstream in(path, std::ios::binary);
  std::int64_t lines = 0;
  char block[65536];
  while (length > 0 && in) {
    in.read(block, static_cast<std::streamsize>(std::min<std::uint64_t>(length, sizeof block)));
    const std::streamsize got = in.gcount();
    lines += std::count(block, block + got, '\n');
    length -= static_cast<std::uint64_t>(got);
  }
  return lines;
}

// The turn of the first line of `log`, from the manifest's turn and the log's length at that
// save; 1 when the folder has no manifest or it does not name the log.
std::int64_t firstTurnFromManifest(const std::string& folder, const std::string& log) {
  SaveManifest manifest;
  if (!readManifest(folder, manifest)) return 1;
  for (const SaveManifest::Appended& appended : manifest.appended) {
    if (appended.name != log || !appended.present) continue;
    const std::int64_t first = manifest.turn - linesIn(folder + log, appended.size) + 1;
    return first >= 1 ? first : 1;
  }
  return 1;
}

}  // namespace

LogTable readLogTable(const std::string& folderPath, std::optional<std::int64_t> firstTurn) {
  const std::string folder = asFolder(folderPath);
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    throw SessionError(std::filesystem::exists(folderPath, error) ? ErrorKind::kValue : ErrorKind::kNotFound,
                       folderPath + (std::filesystem::exists(folderPath, error) ? " is no folder" : " does not exist"));

  std::vector<double> time;
  std::string timeLog;
  std::vector<ReadColumn> columns;
  for (int log = 0; log < plot::kLogFileCount; ++log) {
    const plot::LogFile& shape = plot::kLogFiles[log];
    const std::string path = folder + shape.name;
    if (!std::filesystem::exists(path, error)) continue;
    std::vector<ReadColumn> read = columnsOf(log);
    std::vector<int> wanted = {0};
    for (const ReadColumn& column : read) wanted.push_back(column.logColumn);
    std::string disagreement;
    const plot::LogReadOutcome outcome =
        plot::readLogColumns(path, shape, wanted, 0, [&](std::int64_t line, const double* values) {
          const size_t row = static_cast<size_t>(line - 1);
          if (row >= time.size()) time.push_back(values[0]);
          else if (time[row] != values[0] && disagreement.empty())
            disagreement = path + " line " + std::to_string(line) + ": the step counter " +
                           std::to_string(static_cast<long long>(values[0])) + " differs from " +
                           std::to_string(static_cast<long long>(time[row])) + " in the same line of " + timeLog;
          for (size_t i = 0; i < read.size(); ++i) read[i].values.push_back(values[i + 1]);
        });
    if (!outcome.ok()) throw errorFrom({outcome.error}, ErrorKind::kValue);
    if (!disagreement.empty()) throw SessionError(ErrorKind::kValue, disagreement);
    const bool first = timeLog.empty();
    if (first) timeLog = shape.name;
    for (ReadColumn& column : read) columns.push_back(std::move(column));
  }
  if (timeLog.empty()) throw SessionError(ErrorKind::kNotFound, folder + " holds no statistics logs");

  LogTable result;
  result.rows = static_cast<std::int64_t>(time.size());
  result.firstTurn = firstTurn ? *firstTurn : firstTurnFromManifest(folder, timeLog);
  Column& timeColumn = result.table.add("time", Column::kCount);
  timeColumn.counts.assign(time.begin(), time.end());
  for (ReadColumn& read : columns) {
    read.values.resize(time.size(), kMissing);
    const bool whole = std::none_of(read.values.begin(), read.values.end(), [](double v) { return std::isnan(v); });
    Column& column = result.table.add(read.name, read.count && whole ? Column::kCount : Column::kReal);
    if (column.kind == Column::kCount) column.counts.assign(read.values.begin(), read.values.end());
    else column.reals = std::move(read.values);
  }
  return result;
}

}  // namespace vek::python
