// The lineage files of a save folder, in the ALife community's data standard for
// phylogenies, so that its tools (and pandas, R, ggmuller) read them as they are.
//
// `phylogeny.csv`: one row per lineage node (engine/lineage.h), ids ascending:
//   id,ancestor_list,origin_time,destruction_time,gene,length,peak_carriers,total_carriers
//   0,[none],0,,61-0-1,61,12,340
//   17,"[3, 9]",120,245,61-2345-1,61,4,7
// ancestor_list holds the mother's node and, where a father's other genome contributed, the
// father's; destruction_time is empty while the genome lives. Times are turns. Part of the
// save unit: written whole at every save, with each living genome's counts as they stand,
// and appended to as genomes arise in between (a load cuts those lines off again).
//
// `lineage_counts.csv`: every K turns, the carriers of every living genome:
//   turn,id,carriers
// Appended as the world runs; a load cuts it back to the saved turn.
//
// CSV as RFC 4180 has it: a header row, CR LF line ends, fields with commas quoted.
//
// Plain functions and one world observer; the functions that read a place want the world's
// mutex held.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/file_lock.h"
#include "base/file_outcome.h"
#include "engine/lineage.h"
#include "engine/world.h"
#include "records/held_lines.h"

class mPlace;

namespace vek {

inline constexpr const char* kPhylogenyName = "phylogeny.csv";
inline constexpr const char* kLineageCountsName = "lineage_counts.csv";
inline constexpr const char* kPhylogenyHeader =
    "id,ancestor_list,origin_time,destruction_time,gene,length,peak_carriers,total_carriers";
inline constexpr const char* kLineageCountsHeader = "turn,id,carriers";

std::string phylogenyLine(const mLineageNode& node);
// The whole file: the header and every node.
std::string phylogenyText(const mLineage& lineage);

// Reads a phylogeny file. Fails with the line and what is wrong: a row that does not hold the
// columns, ids that do not ascend, an ancestor that is no earlier node.
FileOutcome parsePhylogeny(std::string_view text, std::vector<mLineageNode>& nodes);
// One row of a phylogeny file (without its line end) as a node: "" or what is wrong with its
// fields. Whether its id follows the row before and its ancestors are earlier nodes is for
// the caller to check (readers that stream a long file row by row).
std::string parsePhylogenyRow(std::string_view row, mLineageNode& node);

// Ties the place's genes to `nodes` (read from its folder): every living node must name a gene
// of the pool and every gene of the pool must have its living node. The genes take back their
// carrier history. Fails, changing nothing, naming the gene or node that does not fit.
FileOutcome applyPhylogeny(mPlace& place, std::vector<mLineageNode> nodes);
// Starts the place's lineage with its living genes as roots (a folder without a phylogeny).
void startLineageFromLiving(mPlace& place);

// Appends the nodes made during each turn to `phylogeny.csv` and, every `every` turns (none
// for 0), the counts to `lineage_counts.csv`, keeping the rows back and writing them together
// as the statistics logs do (records/held_lines.h). A failure is counted, the first kept, and
// the world asked to pause, as the statistics logs do; the rows kept back go into a file whole
// or not at all.
class LineageLog : public mWorldObserver {
 public:
  LineageLog(std::string folder, int every, FileWriteLock& fileLock)
      : mFolder(std::move(folder)), mEvery(every), mFileLock(fileLock) {}
  ~LineageLog() override;
  LineageLog(const LineageLog&) = delete;
  LineageLog& operator=(const LineageLog&) = delete;

  void afterTurn(mWorld& world) override;
  void flush(mWorld& world) override;
  bool followsSteps() const override { return false; }

  int failures() const { return mFailures; }
  const std::string& firstFailure() const { return mFirstFailure; }

 private:
  // Writes the rows kept back; false (counted) when a file could not take them.
  bool writeHeld();

  std::string mFolder;
  int mEvery;
  FileWriteLock& mFileLock;
  std::string mHeldRows, mHeldCounts;
  std::chrono::steady_clock::time_point mLastWrite = std::chrono::steady_clock::now();
  int mFailures = 0;
  std::string mFirstFailure;
};

// Creates both files with their header rows only (a new world).
FileOutcome startLineageFiles(const std::string& folder);

}  // namespace vek
