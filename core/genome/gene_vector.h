// mGeneVector: the distinct genes of one length in the gene pool, in order of
// entry. Made and owned by mGeneList (genome/gene_list.h); callers outside the pool only read
// it (views, statistics).
//
// Ownership: the vector owns its genes and destroys them with itself. Every gene of a vector
// has the vector's length and names the vector's pool.
//
// Thread-safety: none. The world's mutex serialises every caller.
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <vector>

#include "base/object.h"

class mGene;
class mGeneList;
class mID;

class mGeneVector : public mObject {
 public:
  // The most genes a vector block may declare; a read of more (or a negative count) fails.
  static constexpr int kMaxReadGenes = 10000000;

  // An empty vector for genes of length `size` (0 before `read`).
  explicit mGeneVector(mGeneList* pool, int size = 0);
  ~mGeneVector() override;
  mGeneVector(const mGeneVector&) = delete;
  mGeneVector& operator=(const mGeneVector&) = delete;

  mGeneList* pool() const { return mPool; }
  int size() const { return mSize; }  // the length of every gene here
  int geneCount() const { return static_cast<int>(mGenes.size()); }
  // The gene at `index` in order of entry; nullptr outside 0..geneCount()-1.
  mGene* gene(int index) const {
    return index >= 0 && index < geneCount() ? mGenes[static_cast<size_t>(index)].get() : nullptr;
  }
  const std::vector<std::unique_ptr<mGene>>& genes() const { return mGenes; }
  // The carriers of all its genes together.
  int carrierCount() const;

  // nullptr at once when the gene's length differs from size(); otherwise the first gene of
  // the vector that `gene` equals (mGene::equals, identifier numbers included).
  mGene* findEqual(const mGene& gene) const;
  // nullptr when id.size differs from size(); otherwise the first gene whose identifier has
  // the same three numbers.
  mGene* findByIdentifier(const mID& id) const;

  // Appends `gene`, which then names this vector's pool. Returns the gene, or nullptr (and
  // adds nothing) for nullptr or a gene whose length is not size().
  mGene* addGene(std::unique_ptr<mGene> gene);
  // Erases `gene` if it is here (the others keep their order) and hands it over, to be
  // destroyed by the caller; nullptr when it was not here. A gene of another length is never
  // here.
  std::unique_ptr<mGene> removeGene(const mGene* gene);

  // "/*mGeneVector start*/", "<size> <number of genes>", each gene's block, "0",
  // "/*mGeneVector end*/"; CR LF line ends.
  void write(std::ostream& out) const;
  // Reads such a block into this vector, replacing its length and genes (the genes held
  // before are destroyed); the genes read have no carriers. Fails (returns
  // false, the stream failed, the vector unchanged) when the block is truncated or malformed:
  // a negative length, a gene count outside 0..kMaxReadGenes, a gene block that fails, or a
  // gene whose length is not the vector's.
  bool read(std::istream& in);

 private:
  mGeneList* mPool;
  int mSize;
  std::vector<std::unique_ptr<mGene>> mGenes;
};
