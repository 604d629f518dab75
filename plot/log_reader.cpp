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

// A longer line is not a log line: a binary file, or a file that is not a log at all.
constexpr std::size_t kMaxLineLength = 65536;

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

LineReader::LineReader(std::string path, std::size_t blockSize)
    : mPath(std::move(path)), mBuffer(std::max<std::size_t>(blockSize, 1) + kMaxLineLength) {
  errno = 0;
  mFile.reset(std::fopen(mPath.c_str(), "rb"));
  if (!mFile) {
    mOutcome.error = "cannot open " + mPath + ": " + systemError();
    mDone = true;
  }
}

// Moves the unread rest to the front and reads up to a block after it.
bool LineReader::fill() {
  const std::size_t rest = mHeld - mStart;
  if (rest > kMaxLineLength) {
    mOutcome.error = lineError(mPath, mOutcome.lines + 1, tooLong());
    return false;
  }
  std::memmove(mBuffer.data(), mBuffer.data() + mStart, rest);
  mStart = 0;
  mHeld = rest;
  const std::size_t got = std::fread(mBuffer.data() + mHeld, 1, mBuffer.size() - mHeld, mFile.get());
  if (got == 0 && std::ferror(mFile.get())) {
    mOutcome.error = "cannot read " + mPath + ": " + systemError();
    return false;
  }
  mHeld += got;
  mAtEnd = got == 0;
  return true;
}

bool LineReader::next(std::string_view& line) {
  while (!mDone) {
    const char* begin = mBuffer.data() + mStart;
    const char* end = static_cast<const char*>(std::memchr(begin, '\n', mHeld - mStart));
    if (end) {
      std::size_t length = static_cast<std::size_t>(end - begin);
      mStart += length + 1;
      if (length > 0 && begin[length - 1] == '\r') --length;
      if (length > kMaxLineLength) {
        mOutcome.error = lineError(mPath, mOutcome.lines + 1, tooLong());
        break;
      }
      ++mOutcome.lines;
      line = std::string_view(begin, length);
      return true;
    }
    if (mAtEnd) {
      mOutcome.unterminatedLastLine = mHeld > mStart;
      break;
    }
    if (!fill()) break;
  }
  mDone = true;
  return false;
}

LogColumnsReader::LogColumnsReader(std::string path, const LogFile& shape, std::vector<int> columns,
                                   std::size_t blockSize)
    : mLines(std::move(path), blockSize),
      mShape(shape),
      mColumns(std::move(columns)),
      mValues(mColumns.size()),
      mPreviousCounter(std::numeric_limits<std::int64_t>::min()) {
  for (int column : mColumns)
    if (column < 0 || column >= std::min(shape.numbers, kMaxLogNumbers))
      mError = mLines.path() + ": no column " + std::to_string(column);
}

const double* LogColumnsReader::next() {
  std::string_view text;
  if (!mError.empty() || !mLines.next(text)) return nullptr;
  const std::int64_t line = mLines.outcome().lines;
  const std::string& path = mLines.path();
  int fields = 0;
  std::size_t at = 0;
  while (true) {
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at == text.size()) break;
    const std::size_t start = at;
    while (at < text.size() && !isBlank(text[at])) ++at;
    if (fields < kMaxLogNumbers) mFieldAt[static_cast<std::size_t>(fields)] = text.substr(start, at - start);
    ++fields;
    if (mShape.textFollows && fields == mShape.numbers) break;
    if (fields > mShape.numbers) break;
  }
  if (fields != mShape.numbers) {
    mError = lineError(path, line,
                       text.empty() ? "the line is empty, expected " + fieldsExpected(mShape)
                                    : "expected " + fieldsExpected(mShape) + ", found " + quoted(text));
    return nullptr;
  }
  const std::string_view counterField = mFieldAt[0];
  std::int64_t counter = 0;
  const auto [end, error] = std::from_chars(counterField.data(), counterField.data() + counterField.size(), counter);
  if (error != std::errc() || end != counterField.data() + counterField.size()) {
    mError = lineError(path, line, "the step counter " + quoted(counterField) + " is not a whole number");
    return nullptr;
  }
  if (counter < mPreviousCounter && mCounterBackLine == 0) mCounterBackLine = line;
  mPreviousCounter = counter;
  for (std::size_t i = 0; i < mColumns.size(); ++i) {
    const std::string_view field = mFieldAt[static_cast<std::size_t>(mColumns[i])];
    if (mColumns[i] == 0) {
      mValues[i] = static_cast<double>(counter);
    } else if (!parseLogNumber(field, mValues[i])) {
      mError = lineError(path, line, quoted(field) + " is not a number");
      return nullptr;
    }
  }
  return mValues.data();
}

LogReadOutcome LogColumnsReader::outcome() const {
  LogReadOutcome outcome = mLines.outcome();
  if (outcome.ok()) outcome.error = mError;
  outcome.counterBackLine = mCounterBackLine;
  return outcome;
}

LogReadOutcome readLogColumns(const std::string& path, const LogFile& shape, const std::vector<int>& columns,
                              std::int64_t lastLine, const LogValuesSink& sink) {
  LogColumnsReader reader(path, shape, columns);
  while (const double* values = reader.next()) {
    sink(reader.line(), values);
    if (lastLine > 0 && reader.line() >= lastLine) break;
  }
  return reader.outcome();
}

LogReadOutcome readLogColumn(const std::string& path, const LogFile& shape, int column, std::int64_t lastLine,
                             const LogValueSink& sink) {
  return readLogColumns(path, shape, {column}, lastLine,
                        [&](std::int64_t line, const double* values) { sink(line, values[0]); });
}

LogReadOutcome countLogLines(const std::string& path) {
  LineReader reader(path);
  std::string_view line;
  while (reader.next(line)) {
  }
  return reader.outcome();
}

}  // namespace vek::plot
