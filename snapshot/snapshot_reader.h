// Reader of the snapshot file (*.view), the one file the simulator hands to the viewer.
//
// A snapshot is a header, a turn line and a time line (all starting with "/"), a field line of
// seven numbers, then one record per line, dispatched on its first character: "S" an
// individual, "E" an edge, "L" a leaf, "F" a flower. The reader parses every line and hands
// each record, with its raw values in field units, to a sink supplied by the caller, in file
// order. It neither scales nor draws anything.
//
// Malformed input never stops the reader and never makes it allocate without bound:
// - lines are read up to `kSnapshotLineLimit` characters; the rest of a longer line is skipped;
// - identifiers are cut to their first `kSnapshotIdLimit` characters;
// - a record that lacks one of its numbers or its identifier, or carries a number that is not
//   finite, is skipped whole (there is nothing sound to draw from it);
// - lines of any other first character, empty lines and "/" lines are skipped;
// - when the first line that is neither empty nor a "/" line already starts with a record
//   letter, the file has no field line and that line is read as a record.
// Numbers are read in the "C" notation whatever locale the program runs under.
//
// Thread-safety: none; one reading per sink at a time. The reader keeps no state between calls.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace vek {

inline constexpr std::size_t kSnapshotLineLimit = 4096;
inline constexpr std::size_t kSnapshotIdLimit = 99;

struct SnapshotPoint {
  double x = 0;
  double y = 0;
  double z = 0;
};

// The field line, with the bounds already put in order (a lower bound that exceeded its upper
// bound is exchanged with it). Numbers the line did not give are 0.
struct SnapshotField {
  double min_x = 0;
  double min_y = 0;
  double max_x = 0;
  double max_y = 0;
  double center_x = 0;
  double center_y = 0;
  double haba = 0;  // cell width
};

// "E": an edge from `a` to `b` of the individual `id`.
struct SnapshotEdge {
  SnapshotPoint a;
  SnapshotPoint b;
  std::string id;
};

// "L" or "F": a leaf or a flower centred at `position`, of radius `size`, whose individual
// stands at `owner`.
struct SnapshotLeaf {
  SnapshotPoint position;
  double size = 0;
  SnapshotPoint owner;
  std::string id;
};

// "S": an individual standing at `position`.
struct SnapshotSeed {
  SnapshotPoint position;
  std::string id;
};

// Receives the records of one snapshot. `field` comes at most once, before every record; the
// records follow in file order. The default handlers ignore what they are given.
class SnapshotSink {
 public:
  virtual ~SnapshotSink() = default;
  virtual void field(const SnapshotField&) {}
  virtual void edge(const SnapshotEdge&) {}
  virtual void leaf(const SnapshotLeaf&) {}
  virtual void flower(const SnapshotLeaf&) {}
  virtual void seed(const SnapshotSeed&) {}
};

// Reads `in` to its end, handing every record to `sink`.
void readSnapshot(std::istream& in, SnapshotSink& sink);

// Reads the file at `path`. Returns false, having handed nothing to `sink`, when the file
// cannot be opened.
bool readSnapshotFile(const std::string& path, SnapshotSink& sink);

}  // namespace vek
