#include "snapshot/snapshot_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <string_view>
#include <utility>

namespace vek {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// One line without its line end, at most kSnapshotLineLimit characters of it. Returns false
// only when the input was already at its end; a last line without a line end still counts.
bool nextLine(std::streambuf& input, std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    const int c = input.sbumpc();
    if (c == std::char_traits<char>::eof()) break;
    any = true;
    if (c == '\n') break;
    if (line.size() < kSnapshotLineLimit) line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

bool isSkipped(const std::string& line) {
  if (line.empty() || line[0] == '/') return true;
  for (char c : line) {
    if (!isBlank(c)) return false;
  }
  return true;
}

bool isRecordLetter(char c) { return c == 'E' || c == 'L' || c == 'F' || c == 'S'; }

// Reads the text of a line field by field, as the scanning formats of the file describe them:
// every field may be preceded by white space.
class LineScanner {
 public:
  explicit LineScanner(std::string_view text) : mText(text) {}

  // A finite number; on failure the scanner is left where it stood.
  bool number(double& value) {
    std::string_view rest = afterBlanks();
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
      negative = rest[0] == '-';
      rest.remove_prefix(1);
    }
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) return false;
    double parsed = 0;
    const char* end = nullptr;
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
      const auto hex = std::from_chars(rest.data() + 2, rest.data() + rest.size(), parsed, std::chars_format::hex);
      if (hex.ec == std::errc()) end = hex.ptr;
    }
    if (!end) {
      const auto plain = std::from_chars(rest.data(), rest.data() + rest.size(), parsed);
      if (plain.ec != std::errc()) return false;
      end = plain.ptr;
    }
    if (!std::isfinite(parsed)) return false;
    value = negative ? -parsed : parsed;
    mText = std::string_view(end, static_cast<std::size_t>(mText.data() + mText.size() - end));
    return true;
  }

  bool point(SnapshotPoint& p) { return number(p.x) && number(p.y) && number(p.z); }

  // A run of non-blank characters, cut to kSnapshotIdLimit.
  bool token(std::string& value) {
    std::string_view rest = afterBlanks();
    std::size_t length = 0;
    while (length < rest.size() && !isBlank(rest[length])) ++length;
    if (length == 0) return false;
    value.assign(rest.data(), std::min(length, kSnapshotIdLimit));
    mText = rest.substr(length);
    return true;
  }

 private:
  std::string_view afterBlanks() const {
    std::size_t i = 0;
    while (i < mText.size() && isBlank(mText[i])) ++i;
    return mText.substr(i);
  }

  std::string_view mText;
};

SnapshotField parseField(const std::string& line) {
  LineScanner scan(line);
  double values[7] = {0, 0, 0, 0, 0, 0, 0};
  for (double& v : values) {
    if (!scan.number(v)) break;
  }
  SnapshotField f{values[0], values[1], values[2], values[3], values[4], values[5], values[6]};
  if (f.min_x > f.max_x) std::swap(f.min_x, f.max_x);
  if (f.min_y > f.max_y) std::swap(f.min_y, f.max_y);
  return f;
}

void dispatchRecord(const std::string& line, SnapshotSink& sink) {
  LineScanner scan(std::string_view(line).substr(1));
  switch (line[0]) {
    case 'E': {
      SnapshotEdge e;
      if (scan.point(e.a) && scan.point(e.b) && scan.token(e.id)) sink.edge(e);
      break;
    }
    case 'L':
    case 'F': {
      SnapshotLeaf l;
      if (scan.point(l.position) && scan.number(l.size) && scan.point(l.owner) && scan.token(l.id)) {
        if (line[0] == 'L') sink.leaf(l);
        else sink.flower(l);
      }
      break;
    }
    case 'S': {
      SnapshotSeed s;
      if (scan.point(s.position) && scan.token(s.id)) sink.seed(s);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void readSnapshot(std::istream& in, SnapshotSink& sink) {
  std::streambuf* input = in.rdbuf();
  if (!input || !in.good()) return;
  std::string line;
  bool fieldDone = false;
  while (nextLine(*input, line)) {
    if (isSkipped(line)) continue;
    if (!fieldDone) {
      fieldDone = true;
      if (!isRecordLetter(line[0])) {
        sink.field(parseField(line));
        continue;
      }
    }
    dispatchRecord(line, sink);
  }
  in.setstate(std::ios_base::eofbit);
}

bool readSnapshotFile(const std::string& path, SnapshotSink& sink) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  readSnapshot(in, sink);
  return true;
}

}  // namespace vek
