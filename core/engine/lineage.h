// mLineage: where every genome of a place came from. Each genome that enters the gene pool as
// a new gene gets a node: an id in order of creation, its identifier's text, the nodes of its
// mother's genome and, where a father was found, of the father's genome (when it is another
// genome), the turn it arose, its length; and once its last carrier dies, the turn it left,
// its peak number of carriers and how many individuals ever carried it. The built-in genome
// and the genomes of an initial gene file are roots. A child equal to a gene already in the
// pool adds a carrier to that gene, not a node.
//
// Turns: a root made with a new world arises at turn 0; a genome bred during a turn arises in
// that turn (the turn count it closes with), and a genome leaves in the turn whose close
// removes its last carrier.
//
// Pruning keeps only the nodes that still have a living descendant (the living included), the
// usual pruning of phylogeny trackers: a kept node's ancestors are all kept.
//
// Owned by the place; its genes point at their nodes (mGene::lineageId). Called on the world's
// thread with the world locked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class mGene;
class mGeneList;

struct mLineageNode {
  int id = 0;
  std::string gene;       // the identifier's text, "61-120-1"
  int mother = -1;        // node ids; -1 for none (a root has neither)
  int father = -1;
  int origin = 0;         // the turn it arose
  int destruction = -1;   // the turn its last carrier died; -1 while it lives
  int length = 0;
  int peak = 0;           // the most carriers at once
  std::int64_t total = 0; // individuals that ever carried it
  bool alive() const { return destruction < 0; }
};

class mLineage {
 public:
  // Recording is on by default; a place that keeps no lineage gives its genes no nodes.
  bool enabled() const { return mEnabled; }
  void setEnabled(bool on) { mEnabled = on; }
  // Whether the saves keep only the nodes with a living descendant (off by default).
  bool pruning() const { return mPruning; }
  void setPruning(bool on) { mPruning = on; }

  // A root: a genome that came from no breeding (built in, from a file, or living when a
  // world without a lineage was loaded).
  void addRoot(mGene& gene, int turn);
  // A new genome bred from `mother`'s and `father`'s (nullptr when no father was found).
  void addChild(mGene& child, const mGene& mother, const mGene* father, int turn);
  // The gene's last carrier has died.
  void geneLeft(const mGene& gene, int turn);

  // The nodes, ids ascending. A living node's counts are those of its last refresh.
  const std::vector<mLineageNode>& nodes() const { return mNodes; }
  const mLineageNode* find(int id) const;
  int nextId() const { return mNextId; }
  // Takes the living nodes' carrier counts from their genes.
  void refreshCounts(const mGeneList& pool);
  // The ids of the nodes made since the last call (or since markWritten), ascending.
  std::vector<int> takeNew();
  // Every node stands in the file now (a save wrote them all).
  void markWritten() { mReported = mNodes.size(); }
  // Drops every node without a living descendant.
  void prune();

  // Replaces everything with `nodes` (ids ascending) and the next id to give; genes are tied
  // to their nodes by the caller.
  void assign(std::vector<mLineageNode> nodes, int nextId);

 private:
  mLineageNode* findMutable(int id);
  mLineageNode& add(mGene& gene, int mother, int father, int turn);

  bool mEnabled = true;
  bool mPruning = false;
  std::vector<mLineageNode> mNodes;
  int mNextId = 0;
  size_t mReported = 0;  // nodes before this index were handed out by takeNew
};
