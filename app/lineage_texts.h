// Where a genome came from, as the gene view shows it: its node in the place's lineage
// (engine/lineage.h) with its turns, carrier counts and descendants (through either parent,
// among the nodes the lineage still holds), its mother's and father's genomes, and
// its line of descent through the mothers back to a root. Every genome named is an entry the
// view can show in turn, by its node id.
//
// The builders read the world: call them with the world's mutex held. The results are plain
// values.
#pragma once

#include <optional>
#include <string>
#include <vector>

class mGene;
class mPlace;

namespace app {

// One line of the lineage list; `id` is the node it names, or -1 for a line that names none.
struct LineageEntry {
  std::string text;
  int id = -1;
};

struct LineageTexts {
  int id = -1;
  std::string gene;    // the genome's identifier text
  bool living = false;
  // The list: the node's record (id, turns, carriers, descendants), its mother and father,
  // then the line of descent from the mother back to the root.
  std::vector<LineageEntry> entries;
};

// Nothing when the place keeps no lineage or holds no node `id`.
std::optional<LineageTexts> lineageTexts(const mPlace& place, int id);

// The genome of node `id` while the pool still holds it; nullptr once it has gone.
mGene* geneOfNode(const mPlace& place, int id);

}  // namespace app
