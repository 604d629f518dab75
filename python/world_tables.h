// What Python reads of a world, gathered as plain values while the caller holds the world's
// mutex, so that the arrays and dictionaries Python gets are built after it is released and
// the world runs on meanwhile.
//
// Tables are columns (one value per individual or gene) rather than objects, so reading a
// population of thousands costs one pass over it, not thousands of Python objects.
//
// Plain functions and values; the functions that take a place or an individual read the
// world: call them with its mutex held.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "base/instructions.h"

class mGene;
class mPlace;
class mSeed;

namespace vek::python {

struct Column {
  enum Kind { kReal, kCount, kFlag, kText };
  std::string name;
  Kind kind = kReal;
  std::vector<double> reals;          // kReal
  std::vector<std::int64_t> counts;   // kCount, and kFlag as 0 or 1
  std::vector<std::string> texts;     // kText
};

struct Table {
  std::deque<Column> columns;  // a deque, so a column added keeps the others where they are
  // The new column, which stays valid while the table lives.
  Column& add(std::string name, Column::Kind kind);
};

// One row per living individual in population order: its index there, identifier, genome,
// position, energy account, age, evaluation, children, processor position, counts, volumes and
// light of its parts by kind, the body's height, calorie and upkeep.
Table individualsTable(const mPlace& place);
// One row per gene of the pool, by length and then in order of entry: identifier, length,
// carriers.
Table genesTable(const mPlace& place);

// Everything of one individual: the registers, stacks, code, trace and body text besides
// what its row holds.
struct IndividualRecord {
  int index = 0;
  std::string id;
  std::string gene;
  double x = 0, y = 0, z = 0;
  int age = 0;
  bool newborn = false;
  double evaluation = 0;
  double energy = 0, gained = 0, used = 0, upkeep = 0;
  std::array<double, kInstructionCount> spentOn{};
  std::array<double, kRegisterCount> registers{};
  int selectedRegister = 0;
  int ip = 0;
  int children = 0;
  std::vector<int> callStack;      // bottom first
  std::vector<double> dataStack;   // bottom first
  std::vector<int> code;
  std::string trace;  // UTF-8
  std::string body;
};
IndividualRecord individualRecord(const mSeed& seed, int index);

struct GeneRecord {
  std::string id;
  int carriers = 0;
  std::vector<int> code;
};
GeneRecord geneRecord(const mGene& gene);

// The figures a log line of this turn holds, by their names in words: "turn", "time", the
// figures of figure_names.h, then the energy spent on each instruction.
struct Figure {
  std::string name;
  double value = 0;
  bool count = false;  // an integer
};
std::vector<Figure> statisticsOf(const mPlace& place);

// The name of register `index` without the padding of its display name ("r", "th", "co").
std::string registerName(int index);

}  // namespace vek::python
