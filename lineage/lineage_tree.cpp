#include "lineage/lineage_tree.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sstream>

#include "records/lineage_files.h"

namespace vek::lineage {

FileOutcome LineageTree::read(const std::string& folder, LineageTree& tree) {
  const std::string path = folder + kPhylogenyName;
  std::ifstream in(path, std::ios::binary);
  if (!in) return {"cannot read " + path + ": no such file (is " + folder + " a save folder with a lineage?)"};
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::vector<mLineageNode> nodes;
  if (FileOutcome parsed = parsePhylogeny(bytes.str(), nodes); !parsed.ok()) return {folder + parsed.error};
  tree = LineageTree(std::move(nodes));
  return {};
}

LineageTree::LineageTree(std::vector<mLineageNode> nodes)
    : mNodes(std::move(nodes)), mChildren(mNodes.size()), mLeadsToLiving(mNodes.size(), false) {
  for (size_t k = 0; k < mNodes.size(); ++k) {
    const int mother = indexOf(mNodes[k].mother);
    if (mother >= 0) mChildren[static_cast<size_t>(mother)].push_back(static_cast<int>(k));
  }
  // Children come after their parents: walking backwards sees every descendant first.
  for (size_t k = mNodes.size(); k-- > 0;) {
    if (mNodes[k].alive()) mLeadsToLiving[k] = true;
    if (!mLeadsToLiving[k]) continue;
    for (int parent : {mNodes[k].mother, mNodes[k].father})
      if (const int index = indexOf(parent); index >= 0) mLeadsToLiving[static_cast<size_t>(index)] = true;
  }
}

int LineageTree::indexOf(int id) const {
  const auto it = std::lower_bound(mNodes.begin(), mNodes.end(), id,
                                   [](const mLineageNode& node, int wanted) { return node.id < wanted; });
  return it != mNodes.end() && it->id == id ? static_cast<int>(it - mNodes.begin()) : -1;
}

std::vector<int> LineageTree::lineOfDescent(int index) const {
  std::vector<int> line;
  for (int at = index; at >= 0; at = indexOf(mNodes[static_cast<size_t>(at)].mother)) line.push_back(at);
  return line;
}

std::string LineageTree::newick(bool livingOnly) const {
  std::string out;
  auto shown = [&](int index) { return !livingOnly || leadsToTheLiving(index); };
  for (size_t root = 0; root < mNodes.size(); ++root) {
    if (indexOf(mNodes[root].mother) >= 0 || !shown(static_cast<int>(root))) continue;
    // Depth first without recursion: a frame is a node, the next child to visit and whether
    // a child was written (which opened its parenthesis).
    struct Frame {
      int index;
      size_t next;
      bool opened;
    };
    std::vector<Frame> stack = {{static_cast<int>(root), 0, false}};
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const std::vector<int>& kids = mChildren[static_cast<size_t>(frame.index)];
      while (frame.next < kids.size() && !shown(kids[frame.next])) ++frame.next;
      if (frame.next < kids.size()) {
        out += frame.opened ? "," : "(";
        frame.opened = true;
        stack.push_back({kids[frame.next++], 0, false});
        continue;
      }
      if (frame.opened) out += ")";
      const mLineageNode& node = mNodes[static_cast<size_t>(frame.index)];
      out += node.gene;
      if (const int mother = indexOf(node.mother); mother >= 0)
        out += ":" + std::to_string(node.origin - mNodes[static_cast<size_t>(mother)].origin);
      stack.pop_back();
    }
    out += ";\n";
  }
  return out;
}

std::string statsText(const LineageTree& tree, int top, int currentTurn) {
  const std::vector<mLineageNode>& nodes = tree.nodes();
  int living = 0, roots = 0;
  double lifetimes = 0;
  int extinct = 0;
  int deepest = -1, oldest = -1;
  size_t deepestLine = 0;
  for (size_t k = 0; k < nodes.size(); ++k) {
    const mLineageNode& node = nodes[k];
    if (tree.indexOf(node.mother) < 0) ++roots;
    if (!node.alive()) {
      lifetimes += node.destruction - node.origin;
      ++extinct;
      continue;
    }
    ++living;
    const size_t line = tree.lineOfDescent(static_cast<int>(k)).size();
    if (deepest < 0 || line > deepestLine) {
      deepest = static_cast<int>(k);
      deepestLine = line;
    }
    if (oldest < 0 || node.origin < nodes[static_cast<size_t>(oldest)].origin) oldest = static_cast<int>(k);
  }
  char text[512];
  std::string out;
  std::snprintf(text, sizeof text, "genomes %zu (living %d, extinct %d, roots %d)\n", nodes.size(), living, extinct, roots);
  out += text;
  if (deepest >= 0) {
    const mLineageNode& node = nodes[static_cast<size_t>(deepest)];
    std::snprintf(text, sizeof text, "deepest living line: %zu generations, down to %s (node %d, arose at turn %d)\n",
                  deepestLine - 1, node.gene.c_str(), node.id, node.origin);
    out += text;
    const mLineageNode& old = nodes[static_cast<size_t>(oldest)];
    std::snprintf(text, sizeof text, "oldest living genome: %s (node %d), arose at turn %d%s\n", old.gene.c_str(), old.id,
                  old.origin, currentTurn >= 0 ? (", " + std::to_string(currentTurn - old.origin) + " turns ago").c_str() : "");
    out += text;
  }
  if (extinct > 0) {
    std::snprintf(text, sizeof text, "mean lifetime of extinct genomes: %.1f turns\n", lifetimes / extinct);
    out += text;
  }
  std::vector<int> order(nodes.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return nodes[static_cast<size_t>(a)].total > nodes[static_cast<size_t>(b)].total;
  });
  if (top > 0 && !nodes.empty()) out += "most successful genomes (individuals that ever carried them):\n";
  for (int rank = 0; rank < top && rank < static_cast<int>(order.size()); ++rank) {
    const mLineageNode& node = nodes[static_cast<size_t>(order[static_cast<size_t>(rank)])];
    std::snprintf(text, sizeof text, "  %d. %s (node %d): %lld carriers, peak %d, turns %d-%s\n", rank + 1,
                  node.gene.c_str(), node.id, static_cast<long long>(node.total), node.peak, node.origin,
                  node.alive() ? "living" : std::to_string(node.destruction).c_str());
    out += text;
    std::string line = "     descent:";
    for (int index : tree.lineOfDescent(order[static_cast<size_t>(rank)])) {
      const mLineageNode& step = nodes[static_cast<size_t>(index)];
      line += " " + step.gene + "@" + std::to_string(step.origin);
      if (line.size() > 2000) {
        line += " ...";
        break;
      }
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace vek::lineage
