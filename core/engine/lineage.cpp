#include "engine/lineage.h"

#include <algorithm>

#include "genome/gene.h"
#include "genome/gene_list.h"
#include "genome/gene_vector.h"

namespace {
// The node of that id in `nodes` (ids ascending), or nullptr. Until a pruning the ids are
// those of the places in the list (counted from the first), which is looked at first.
template <class Nodes>
auto* nodeWithId(Nodes& nodes, int id) {
  if (!nodes.empty() && id >= nodes.front().id) {
    const auto at = static_cast<size_t>(id) - static_cast<size_t>(nodes.front().id);
    if (at < nodes.size() && nodes[at].id == id) return &nodes[at];
  }
  const auto it = std::lower_bound(nodes.begin(), nodes.end(), id,
                                   [](const mLineageNode& node, int wanted) { return node.id < wanted; });
  return it != nodes.end() && it->id == id ? &*it : nullptr;
}
}  // namespace

mLineageNode& mLineage::add(mGene& gene, int mother, int father, int turn) {
  mLineageNode node;
  node.id = mNextId++;
  node.gene = gene.identifier().text();
  node.mother = mother;
  node.father = father == mother ? -1 : father;
  node.origin = turn;
  node.length = gene.size();
  node.peak = gene.peakCarriers();
  node.total = gene.totalCarriers();
  gene.setLineageId(node.id);
  mNodes.push_back(std::move(node));
  return mNodes.back();
}

void mLineage::addRoot(mGene& gene, int turn) {
  if (mEnabled) add(gene, -1, -1, turn);
}

void mLineage::addChild(mGene& child, const mGene& mother, const mGene* father, int turn) {
  if (!mEnabled) return;
  add(child, mother.lineageId(), father ? father->lineageId() : -1, turn);
}

mLineageNode* mLineage::findMutable(int id) { return nodeWithId(mNodes, id); }

const mLineageNode* mLineage::find(int id) const { return nodeWithId(mNodes, id); }

void mLineage::geneLeft(const mGene& gene, int turn) {
  mLineageNode* node = findMutable(gene.lineageId());
  if (!node) return;
  node->destruction = turn;
  node->peak = gene.peakCarriers();
  node->total = gene.totalCarriers();
}

void mLineage::refreshCounts(const mGeneList& pool) {
  for (const auto& vector : pool.vectors()) {
    for (const auto& gene : vector->genes()) {
      if (mLineageNode* node = findMutable(gene->lineageId())) {
        node->peak = gene->peakCarriers();
        node->total = gene->totalCarriers();
      }
    }
  }
}

std::vector<int> mLineage::takeNew() {
  std::vector<int> ids;
  for (size_t k = mReported; k < mNodes.size(); ++k) ids.push_back(mNodes[k].id);
  mReported = mNodes.size();
  return ids;
}

void mLineage::prune() {
  // Walking ids downwards, a node is kept when it lives or a kept node descends from it: every
  // child has a larger id than its parents.
  std::vector<char> kept(mNodes.size(), 0);
  for (size_t k = mNodes.size(); k-- > 0;) {
    if (mNodes[k].alive()) kept[k] = 1;
    if (!kept[k]) continue;
    for (int parent : {mNodes[k].mother, mNodes[k].father}) {
      if (const mLineageNode* node = nodeWithId(mNodes, parent)) kept[static_cast<size_t>(node - mNodes.data())] = 1;
    }
  }
  std::vector<mLineageNode> nodes;
  size_t reported = 0;
  for (size_t k = 0; k < mNodes.size(); ++k) {
    if (!kept[k]) continue;
    if (k < mReported) ++reported;
    nodes.push_back(std::move(mNodes[k]));
  }
  mNodes = std::move(nodes);
  mReported = reported;
}

void mLineage::assign(std::vector<mLineageNode> nodes, int nextId) {
  mNodes = std::move(nodes);
  mNextId = nextId;
  mReported = mNodes.size();
}
