#include "plot/phylogeny_index.h"

#include <algorithm>
#include <limits>

#include "plot/log_reader.h"
#include "records/lineage_files.h"

namespace vek::plot {

std::string PhylogenyIndex::read(const std::string& path, PhylogenyIndex& index) {
  index = PhylogenyIndex();
  const auto rowError = [&](std::int64_t line, const std::string& problem) {
    return path + " line " + std::to_string(line) + ": " + problem;
  };
  LineReader lines(path);
  std::string_view row;
  if (!lines.next(row)) {
    if (!lines.outcome().ok()) return lines.outcome().error;
    return path + " is empty: it has no header row";
  }
  if (row != kPhylogenyHeader) return rowError(1, "the header row is not \"" + std::string(kPhylogenyHeader) + "\"");
  mLineageNode node;
  while (lines.next(row)) {
    const std::int64_t line = lines.outcome().lines;
    if (std::string problem = parsePhylogenyRow(row, node); !problem.empty()) return rowError(line, problem);
    if (!index.mIds.empty() && node.id <= index.mIds.back())
      return rowError(line, "the id " + std::to_string(node.id) + " does not follow " + std::to_string(index.mIds.back()));
    const int mother = node.mother >= 0 ? index.indexOf(node.mother) : -1;
    for (int parent : {node.mother, node.father})
      if (parent >= 0 && (parent == node.mother ? mother : index.indexOf(parent)) < 0)
        return rowError(line, "the ancestor " + std::to_string(parent) + " of node " + std::to_string(node.id) +
                                  " is no earlier node");
    if (index.mGenes.size() + node.gene.size() > std::numeric_limits<std::uint32_t>::max())
      return rowError(line, "too many genomes to draw");
    index.mIds.push_back(node.id);
    index.mMothers.push_back(mother);
    index.mGenes += node.gene;
    index.mGeneEnds.push_back(static_cast<std::uint32_t>(index.mGenes.size()));
  }
  if (!lines.outcome().ok()) return lines.outcome().error;
  index.mLeftOutLastRow = lines.outcome().unterminatedLastLine;
  return {};
}

int PhylogenyIndex::indexOf(int id) const {
  // A lineage that was never pruned numbers its genomes 0, 1, 2, ...: the id is the index.
  if (id >= 0 && id < size() && mIds[static_cast<std::size_t>(id)] == id) return id;
  const auto it = std::lower_bound(mIds.begin(), mIds.end(), id);
  return it != mIds.end() && *it == id ? static_cast<int>(it - mIds.begin()) : -1;
}

std::string_view PhylogenyIndex::gene(int index) const {
  const std::size_t end = mGeneEnds[static_cast<std::size_t>(index)];
  const std::size_t begin = index == 0 ? 0 : mGeneEnds[static_cast<std::size_t>(index) - 1];
  return std::string_view(mGenes).substr(begin, end - begin);
}

}  // namespace vek::plot
