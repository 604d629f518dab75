#include "plot/lineage_columns.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <memory>
#include <string_view>

#include "plot/log_reader.h"

namespace vek::plot {

namespace {

constexpr std::string_view kHeader = "turn,id,carriers";
// The tail read to find the last turn: many rows, however long the file.
constexpr long kTailBytes = 65536;

template <class Number>
bool wholeNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

struct Row {
  std::int64_t turn = 0;
  int id = 0;
  std::int64_t carriers = 0;
};

bool parseRow(std::string_view text, Row& row) {
  const std::size_t first = text.find(',');
  const std::size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
  if (second == std::string_view::npos) return false;
  return wholeNumber(text.substr(0, first), row.turn) &&
         wholeNumber(text.substr(first + 1, second - first - 1), row.id) &&
         wholeNumber(text.substr(second + 1), row.carriers);
}

// The turn of the last whole row, read from the file's end; nothing when it has no such row.
std::optional<std::int64_t> lastRowTurn(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return std::nullopt;
  const long size = std::ftell(file.get());
  const long start = std::max(0L, size - kTailBytes);
  if (size <= 0 || std::fseek(file.get(), start, SEEK_SET) != 0) return std::nullopt;
  std::string tail(static_cast<std::size_t>(size - start), '\0');
  if (std::fread(tail.data(), 1, tail.size(), file.get()) != tail.size()) return std::nullopt;
  const std::size_t end = tail.rfind('\n');
  if (end == std::string::npos) return std::nullopt;
  const std::size_t begin = end == 0 ? std::string::npos : tail.rfind('\n', end - 1);
  std::string_view line(tail.data() + (begin == std::string::npos ? 0 : begin + 1),
                        end - (begin == std::string::npos ? 0 : begin + 1));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  Row row;
  if (!parseRow(line, row)) return std::nullopt;
  return row.turn;
}

std::string rowError(const std::string& path, std::int64_t line, const std::string& problem) {
  return path + " line " + std::to_string(line) + ": " + problem;
}

}  // namespace

LineageColumns readLineageColumns(const std::string& path, int genomes, const std::function<int(int id)>& indexOf,
                                  std::optional<std::int64_t> from, std::optional<std::int64_t> to, int columns) {
  LineageColumns result;
  columns = std::max(columns, 1);
  const std::optional<std::int64_t> tailTurn = lastRowTurn(path);
  std::int64_t plannedLast = std::min(tailTurn.value_or(0), to.value_or(std::numeric_limits<std::int64_t>::max()));

  // The column being gathered: its genomes' summed carriers, densely indexed, and which of
  // them it has touched.
  std::vector<double> sums(static_cast<std::size_t>(genomes) + 1, 0.0);
  std::vector<int> touched;
  std::int64_t width = 1, columnIndex = -1, previousTurn = -1;
  double turnSum = 0;
  int samples = 0;
  const auto closeColumn = [&] {
    if (samples == 0) return;
    LineageColumn column;
    column.turn = turnSum / samples;
    column.samples = samples;
    std::sort(touched.begin(), touched.end());
    for (int index : touched) {
      column.carriers.emplace_back(index, sums[static_cast<std::size_t>(index)] / samples);
      sums[static_cast<std::size_t>(index)] = 0;
    }
    touched.clear();
    result.columns.push_back(std::move(column));
    turnSum = 0;
    samples = 0;
  };

  LineReader lines(path);
  std::string_view text;
  if (!lines.next(text)) {
    result.error = lines.outcome().ok() ? path + " is empty: it has no header row \"" + std::string(kHeader) + "\""
                                        : lines.outcome().error;
    return result;
  }
  if (text != kHeader) {
    result.error = rowError(path, 1, "the header row is not \"" + std::string(kHeader) + "\"");
    return result;
  }
  while (lines.next(text)) {
    const std::int64_t line = lines.outcome().lines;
    Row row;
    if (!parseRow(text, row)) {
      result.error = rowError(path, line, "expected turn,id,carriers (whole numbers), found \"" +
                                              std::string(text.substr(0, 60)) + "\"");
      return result;
    }
    if (row.turn < previousTurn) {
      result.error = rowError(path, line, "turn " + std::to_string(row.turn) + " comes after turn " +
                                              std::to_string(previousTurn) + " (the turns must ascend)");
      return result;
    }
    const bool newSample = row.turn != previousTurn;
    previousTurn = row.turn;
    if (from && row.turn < *from) continue;
    if (to && row.turn > *to) break;
    if (newSample) {
      if (result.samples == 0) {
        result.firstTurn = row.turn;
        plannedLast = std::max(plannedLast, row.turn);
        width = std::max<std::int64_t>((plannedLast - row.turn + columns) / columns, 1);
      }
      // A file that grew past its planned end keeps to the last column.
      const std::int64_t index = std::min<std::int64_t>((row.turn - result.firstTurn) / width, columns - 1);
      if (index != columnIndex) closeColumn();
      columnIndex = index;
      turnSum += static_cast<double>(row.turn);
      ++samples;
      ++result.samples;
      result.lastTurn = row.turn;
    }
    int index = indexOf(row.id);
    if (index < 0 || index >= genomes) {
      index = genomes;
      ++result.unknownRows;
    }
    double& sum = sums[static_cast<std::size_t>(index)];
    if (sum == 0 && row.carriers > 0) touched.push_back(index);
    sum += static_cast<double>(row.carriers);
  }
  closeColumn();
  if (!lines.outcome().ok()) {
    result.error = lines.outcome().error;
    return result;
  }
  result.unterminatedLastLine = lines.outcome().unterminatedLastLine;
  return result;
}

}  // namespace vek::plot
