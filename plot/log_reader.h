// Streams one column of a statistics log, line by line, in blocks of a fixed size: memory does
// not grow with the log, so a log of a million turns is read as easily as one of ten.
//
// Line k of a log is the k-th turn that was logged into it. A line is its fields separated by
// blanks (spaces or tabs), ended by LF or CR LF. It must hold exactly the fields its log's shape
// gives (at least them, when free text follows), begin with a whole step counter, and carry a
// number in the requested column; of the other fields only the count is checked. A value that
// is not a number stands for a missing value and comes out as NaN: "nan" as this system writes
// it, "-nan", "inf", and the older texts "1.#QNAN", "-1.#IND", "1.#INF" of logs written on
// Windows. Anything else stops the read with a message that names the file and the line.
//
// A last line without its line end is being written right now, or was cut off by a crash:
// it is left out, and the outcome says so.
//
// The free functions keep no shared state: any thread may call them, several at once on
// different or the same files. A reader object belongs to the thread that uses it; several
// of them read several files in step (the replicates of a sweep, turn by turn).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plot/log_catalog.h"

namespace vek::plot {

struct LogReadOutcome {
  std::string error;                 // "" when the log was read
  std::int64_t lines = 0;            // whole lines read
  bool unterminatedLastLine = false;  // a last line without its line end was left out
  // The first line whose step counter is below the one of the line before it (0: none): the
  // world was continued from a save older than the log's end, so from this line on the lines
  // repeat turns already logged.
  std::int64_t counterBackLine = 0;
  bool ok() const { return error.empty(); }
};

// The whole lines of a file, one at a time, read in blocks of `blockSize` bytes: memory is a
// block and one longest line (64 KiB), whatever the length of the file.
class LineReader {
 public:
  static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 20;
  explicit LineReader(std::string path, std::size_t blockSize = kDefaultBlockSize);

  // The next whole line without its line end, valid until the next call. False at the end of
  // the file, or when it cannot be opened or read or holds an overlong line: outcome() tells.
  bool next(std::string_view& line);
  // The lines handed out so far; the error, or whether an unterminated last line was left
  // out, once next returned false.
  const LogReadOutcome& outcome() const { return mOutcome; }
  const std::string& path() const { return mPath; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  bool fill();

  std::string mPath;
  std::unique_ptr<std::FILE, FileCloser> mFile;
  std::vector<char> mBuffer;
  std::size_t mStart = 0;  // the next line begins here
  std::size_t mHeld = 0;   // bytes of the buffer that hold the file
  bool mAtEnd = false;
  bool mDone = false;
  LogReadOutcome mOutcome;
};

// The values in some columns of a log (0: the step counter; each below shape.numbers), line
// by line, checked as readLogColumns checks them.
class LogColumnsReader {
 public:
  LogColumnsReader(std::string path, const LogFile& shape, std::vector<int> columns,
                   std::size_t blockSize = LineReader::kDefaultBlockSize);

  // The values of the next line in the order of the columns, valid until the next call; null
  // at the end of the log or at a malformed line (outcome().error names the file and line).
  const double* next();
  // The number of the line last read, from 1.
  std::int64_t line() const { return mLines.outcome().lines; }
  // The lines' outcome; the error and the last line's state once next returned null.
  LogReadOutcome outcome() const;

 private:
  LineReader mLines;
  LogFile mShape;
  std::vector<int> mColumns;
  std::vector<double> mValues;
  std::array<std::string_view, kMaxLogNumbers> mFieldAt;
  std::int64_t mPreviousCounter;
  std::int64_t mCounterBackLine = 0;
  std::string mError;
};

// Called for every line read with its number (from 1) and the values in the requested
// columns, in the order they were asked for.
using LogValuesSink = std::function<void(std::int64_t line, const double* values)>;
using LogValueSink = std::function<void(std::int64_t line, double value)>;

// Reads lines 1 to `lastLine` of the log at `path` (all of them when `lastLine` is 0 or less)
// and hands the values in `columns` (0: the step counter; each below shape.numbers) to `sink`,
// several columns of one log in one pass over it. The lines before a malformed line have
// reached the sink when it fails.
LogReadOutcome readLogColumns(const std::string& path, const LogFile& shape, const std::vector<int>& columns,
                              std::int64_t lastLine, const LogValuesSink& sink);
// The same for one column.
LogReadOutcome readLogColumn(const std::string& path, const LogFile& shape, int column, std::int64_t lastLine,
                             const LogValueSink& sink);

// Counts the whole lines of the log at `path` without reading its numbers.
LogReadOutcome countLogLines(const std::string& path);

// The number in one field of a log line: true with `value` set (NaN for a value that is not a
// number), false when the field is no number at all.
bool parseLogNumber(std::string_view field, double& value);

}  // namespace vek::plot
