// The parts of a save folder's phylogeny.csv that a Muller plot needs: each genome's id, its
// mother and its identifier's text. The file is read as a stream, row by row, and kept in a
// few bytes a genome, so the lineage of a run of a million turns (millions of genomes) stays
// small. A row is checked as the simulator checks it when it loads the folder.
//
// Read once, then only read: any thread may read it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vek::plot {

class PhylogenyIndex {
 public:
  // Reads `path` into `index`; "" or what is wrong, naming the file and line.
  static std::string read(const std::string& path, PhylogenyIndex& index);

  int size() const { return static_cast<int>(mIds.size()); }
  // The index of genome `id` (ids ascend with the index), or -1.
  int indexOf(int id) const;
  int id(int index) const { return mIds[static_cast<std::size_t>(index)]; }
  // The index of the genome's mother; -1 for a root.
  int mother(int index) const { return mMothers[static_cast<std::size_t>(index)]; }
  // "61-120-1"
  std::string_view gene(int index) const;
  // A last row without its line end (being written, or cut off) was left out.
  bool leftOutLastRow() const { return mLeftOutLastRow; }

 private:
  std::vector<int> mIds;
  std::vector<int> mMothers;
  std::string mGenes;                 // every identifier's text, one after another
  std::vector<std::uint32_t> mGeneEnds;  // where each one ends in mGenes
  bool mLeftOutLastRow = false;
};

}  // namespace vek::plot
