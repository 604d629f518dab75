#include "app/lineage_texts.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "engine/lineage.h"
#include "engine/place.h"
#include "genome/gene.h"
#include "genome/gene_list.h"
#include "genome/gene_vector.h"

namespace app {

namespace {

// "61-120-1（ターン 120〜）" for a living genome, "61-120-1（ターン 120〜131）" once it has gone.
std::string nodeText(const mLineageNode& node) {
  return node.gene + "（ターン " + std::to_string(node.origin) + "〜" +
         (node.alive() ? std::string() : std::to_string(node.destruction)) + "）";
}

LineageEntry parentEntry(const mLineage& lineage, const char* label, int id) {
  if (id < 0) return {std::string(label) + "なし", -1};
  const mLineageNode* parent = lineage.find(id);
  if (!parent) return {std::string(label) + "ID " + std::to_string(id) + " の記録はありません", -1};
  return {std::string(label) + nodeText(*parent), id};
}

// The nodes that descend from node `id` through their mothers or fathers, and how many of them
// live. A child always has a larger id than its parents, so one pass in id order finds them all.
std::pair<int, int> descendantsOf(const mLineage& lineage, int id) {
  std::vector<char> descends(static_cast<size_t>(std::max(lineage.nextId(), id + 1)), 0);
  descends[static_cast<size_t>(id)] = 1;
  int all = 0, living = 0;
  const auto from = [&](int parent) {
    return parent >= 0 && parent < static_cast<int>(descends.size()) && descends[static_cast<size_t>(parent)];
  };
  for (const mLineageNode& node : lineage.nodes()) {
    if (node.id <= id || node.id >= static_cast<int>(descends.size())) continue;
    if (!from(node.mother) && !from(node.father)) continue;
    descends[static_cast<size_t>(node.id)] = 1;
    ++all;
    if (node.alive()) ++living;
  }
  return {all, living};
}

}  // namespace

mGene* geneOfNode(const mPlace& place, int id) {
  const mLineageNode* node = place.lineage().find(id);
  if (!node || !node->alive()) return nullptr;
  const mGeneVector* vector = place.genePool().vectorFor(node->length);
  if (!vector) return nullptr;
  for (const auto& gene : vector->genes())
    if (gene->lineageId() == id) return gene.get();
  return nullptr;
}

std::optional<LineageTexts> lineageTexts(const mPlace& place, int id) {
  const mLineage& lineage = place.lineage();
  if (!lineage.enabled()) return std::nullopt;
  const mLineageNode* node = lineage.find(id);
  if (!node) return std::nullopt;
  LineageTexts texts;
  texts.id = id;
  texts.gene = node->gene;
  texts.living = node->alive();
  // A living node's counts in the lineage are those of its last refresh; its gene's are current.
  int peak = node->peak;
  std::int64_t total = node->total;
  if (const mGene* gene = geneOfNode(place, id)) {
    peak = gene->peakCarriers();
    total = gene->totalCarriers();
  }
  auto& entries = texts.entries;
  entries.push_back({"系統ID " + std::to_string(id) + "　" + node->gene, id});
  entries.push_back({"発生ターン " + std::to_string(node->origin) + "　" +
                         (node->alive() ? std::string("生存中") : "消滅ターン " + std::to_string(node->destruction)),
                     -1});
  entries.push_back({"最大保持数 " + std::to_string(peak) + "　累計保持数 " + std::to_string(total), -1});
  const auto [descendants, livingDescendants] = descendantsOf(lineage, id);
  entries.push_back({"子孫 " + std::to_string(descendants) + "　うち生存 " + std::to_string(livingDescendants), -1});
  entries.push_back(parentEntry(lineage, "母：", node->mother));
  entries.push_back(parentEntry(lineage, "父：", node->father));
  entries.push_back({"系譜（母をさかのぼって根まで）：", -1});
  if (node->mother < 0) {
    entries.push_back({"　この遺伝子が根です", -1});
    return texts;
  }
  // Every child has a larger id than its parents, so the walk ends.
  int at = node->mother;
  int below = id;
  while (at >= 0 && at < below) {
    const mLineageNode* ancestor = lineage.find(at);
    if (!ancestor) {
      entries.push_back({"　ID " + std::to_string(at) + " の記録はありません", -1});
      break;
    }
    entries.push_back({"　" + nodeText(*ancestor) + (ancestor->mother < 0 ? "　根" : ""), at});
    below = at;
    at = ancestor->mother;
  }
  return texts;
}

}  // namespace app
