#include "plot/log_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace vek::plot {

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// A longer line is not a log line: a binary file, or a file that is not a log at all.
constexpr std::size_t kMaxLineLength = 65536;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string systemError() { return errno != 0 ? std::strerror(errno) : "unknown error"; }

// The line as a message quotes it: at most 60 bytes, control bytes shown as '?'.
std::string quoted(std::string_view line) {
  constexpr std::size_t kShown = 60;
  std::string text = "\"";
  for (char c : line.substr(0, kShown)) text += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  return text + (line.size() > kShown ? "...\"" : "\"");
}

std::string lineError(const std::string& path, std::int64_t line, const std::string& problem) {
  return path + " line " + std::to_string(line) + ": " + problem;
}

// The older Windows runtime's texts for values that are not numbers ("1.#QNAN", "-1.#IND",
// "1.#INF", "1.#SNAN", the digits its precision appends included).
bool isWindowsNotANumber(std::string_view field) {
  if (!field.empty() && (field[0] == '-' || field[0] == '+')) field.remove_prefix(1);
  if (field.substr(0, 3) != "1.#") return false;
  field.remove_prefix(3);
  for (std::string_view word : {"QNAN", "SNAN", "IND", "INF"}) {
    if (field.substr(0, word.size()) != word) continue;
    for (char c : field.substr(word.size()))
      if (c < '0' || c > '9') return false;
    return true;
  }
  return false;
}

std::string tooLong() { return "the line is longer than " + std::to_string(kMaxLineLength) + " bytes (is this a log?)"; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// What one pass over a log does with each whole line.
using LineHandler = std::function<bool(std::int64_t line, std::string_view text)>;

// Hands every whole line (without its line end) to `handle` until it returns false or the
// file ends; reports read errors and overlong lines.
LogReadOutcome forEachLine(const std::string& path, const LineHandler& handle) {
  LogReadOutcome outcome;
  errno = 0;
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    outcome.error = "cannot open " + path + ": " + systemError();
    return outcome;
  }
  std::vector<char> buffer(kBlockSize + kMaxLineLength);
  std::size_t held = 0;
  while (true) {
    const std::size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, file.get());
    if (got == 0 && std::ferror(file.get())) {
      outcome.error = "cannot read " + path + ": " + systemError();
      return outcome;
    }
    held += got;
    const bool atEnd = got == 0;
    std::size_t start = 0;
    while (start < held) {
      const char* end = static_cast<const char*>(std::memchr(buffer.data() + start, '\n', held - start));
      if (!end) break;
      std::size_t length = static_cast<std::size_t>(end - (buffer.data() + start));
      const std::size_t next = start + length + 1;
      if (length > 0 && buffer[start + length - 1] == '\r') --length;
      if (length > kMaxLineLength) {
        outcome.error = lineError(path, outcome.lines + 1, tooLong());
        return outcome;
      }
      ++outcome.lines;
      if (!handle(outcome.lines, std::string_view(buffer.data() + start, length))) return outcome;
      start = next;
    }
    const std::size_t rest = held - start;
    if (atEnd) {
      outcome.unterminatedLastLine = rest > 0;
      return outcome;
    }
    if (rest > kMaxLineLength) {
      outcome.error = lineError(path, outcome.lines + 1, tooLong());
      return outcome;
    }
    std::memmove(buffer.data(), buffer.data() + start, rest);
    held = rest;
  }
}

std::string fieldsExpected(const LogFile& shape) {
  const int values = shape.numbers - 1;
  std::string text = std::to_string(shape.numbers) + " fields (the step counter and " + std::to_string(values) +
                     (values == 1 ? " value" : " values");
  return text + (shape.textFollows ? ", then text)" : ")");
}

}  // namespace

bool parseLogNumber(std::string_view field, double& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc() && end == last) {
    if (!std::isfinite(value)) value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  // Magnitudes beyond a double's range are numbers too large to draw.
  if (error == std::errc::result_out_of_range && end == last) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (isWindowsNotANumber(field)) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  return false;
}

LogReadOutcome readLogColumns(const std::string& path, const LogFile& shape, const std::vector<int>& columns,
                              std::int64_t lastLine, const LogValuesSink& sink) {
  std::string failure;
  std::int64_t counterBackLine = 0;
  std::int64_t previousCounter = std::numeric_limits<std::int64_t>::min();
  std::array<std::string_view, kMaxLogNumbers> fieldAt;
  std::vector<double> values(columns.size());
  const auto handle = [&](std::int64_t line, std::string_view text) {
    int fields = 0;
    std::size_t at = 0;
    while (true) {
      while (at < text.size() && isBlank(text[at])) ++at;
      if (at == text.size()) break;
      const std::size_t start = at;
      while (at < text.size() && !isBlank(text[at])) ++at;
      if (fields < kMaxLogNumbers) fieldAt[static_cast<std::size_t>(fields)] = text.substr(start, at - start);
      ++fields;
      if (shape.textFollows && fields == shape.numbers) break;
      if (fields > shape.numbers) break;
    }
    if (fields != shape.numbers) {
      failure = lineError(path, line,
                          text.empty() ? "the line is empty, expected " + fieldsExpected(shape)
                                       : "expected " + fieldsExpected(shape) + ", found " + quoted(text));
      return false;
    }
    const std::string_view counterField = fieldAt[0];
    std::int64_t counter = 0;
    const auto [end, error] = std::from_chars(counterField.data(), counterField.data() + counterField.size(), counter);
    if (error != std::errc() || end != counterField.data() + counterField.size()) {
      failure = lineError(path, line, "the step counter " + quoted(counterField) + " is not a whole number");
      return false;
    }
    if (counter < previousCounter && counterBackLine == 0) counterBackLine = line;
    previousCounter = counter;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const std::string_view field = fieldAt[static_cast<std::size_t>(columns[i])];
      if (columns[i] == 0) {
        values[i] = static_cast<double>(counter);
      } else if (!parseLogNumber(field, values[i])) {
        failure = lineError(path, line, quoted(field) + " is not a number");
        return false;
      }
    }
    sink(line, values.data());
    return lastLine <= 0 || line < lastLine;
  };
  LogReadOutcome outcome;
  for (int column : columns)
    if (column < 0 || column >= std::min(shape.numbers, kMaxLogNumbers)) outcome.error = path + ": no column " + std::to_string(column);
  if (!outcome.ok()) return outcome;
  outcome = forEachLine(path, handle);
  if (outcome.ok()) outcome.error = failure;
  outcome.counterBackLine = counterBackLine;
  return outcome;
}

LogReadOutcome readLogColumn(const std::string& path, const LogFile& shape, int column, std::int64_t lastLine,
                             const LogValueSink& sink) {
  return readLogColumns(path, shape, {column}, lastLine,
                        [&](std::int64_t line, const double* values) { sink(line, values[0]); });
}

LogReadOutcome countLogLines(const std::string& path) {
  return forEachLine(path, [](std::int64_t, std::string_view) { return true; });
}

}  // namespace vek::plot
