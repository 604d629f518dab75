// The lineage of a save folder as a tree, for the vek-lineage tool: read from its
// phylogeny.csv, walked without recursion (lines of descent run thousands of generations
// deep), written as Newick and summarised.
//
// The tree hangs every node from its mother's node; a father's genome is a second parent that
// a tree cannot show (the phylogeny file keeps it). Several roots make a forest.
#pragma once

#include <string>
#include <vector>

#include "base/file_outcome.h"
#include "engine/lineage.h"

namespace vek::lineage {

class LineageTree {
 public:
  // Reads FOLDER/phylogeny.csv.
  static FileOutcome read(const std::string& folder, LineageTree& tree);
  explicit LineageTree(std::vector<mLineageNode> nodes = {});

  const std::vector<mLineageNode>& nodes() const { return mNodes; }
  // The index of node `id`, or -1.
  int indexOf(int id) const;
  // The indices of a node's children (by mother), ascending.
  const std::vector<int>& children(int index) const { return mChildren[static_cast<size_t>(index)]; }
  // Whether a node lives or has a living descendant.
  bool leadsToTheLiving(int index) const { return mLeadsToLiving[static_cast<size_t>(index)]; }
  // The line of descent of a node back to its root, the node first (indices).
  std::vector<int> lineOfDescent(int index) const;

  // The forest in Newick, one tree per root and line: labels are the genomes' identifiers,
  // branch lengths the turns between a genome's origin and its mother's. With `livingOnly`
  // only the nodes that lead to the living.
  std::string newick(bool livingOnly) const;

 private:
  std::vector<mLineageNode> mNodes;
  std::vector<std::vector<int>> mChildren;
  std::vector<bool> mLeadsToLiving;
};

// The summary of `vek-lineage stats`, as text for a person: nodes, living, roots, the deepest
// and the oldest living lines, lifetimes, and the `top` most successful genomes (by carriers
// ever) with their lines of descent.
std::string statsText(const LineageTree& tree, int top, int currentTurn);

}  // namespace vek::lineage
