// mGeneList: the gene pool of a place. Every gene of a world lives here,
// grouped by length into gene vectors (genome/gene_vector.h) kept in ascending order of
// length, at most one per length. Equal programs are stored once: breeding looks for an equal
// gene with `findEqual` before it adds a child. The pool issues the identifiers of genes and
// newborns and counts genes and carriers for the logs, views and frequency tables.
//
// Ownership: the place owns the pool; the pool owns its vectors, each vector its genes. A gene
// is destroyed by `removeCarrier` when its last carrier goes (and an emptied vector with it),
// or with the pool. Individuals (mSeed) are only listed as carriers, never owned.
//
// The place is reached through mIdentifierClock, the pool's one seam to it: mPlace
// implements it (identifierTime() = its time counter, identifierMark() = its home mark).
//
// Thread-safety: none. The world's mutex serialises every caller.
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/id.h"
#include "base/object.h"
#include "genome/gene.h"
#include "genome/gene_vector.h"

class mSeed;

// What the pool needs of its place: the clock and mark it makes identifiers with, and a word
// when a gene leaves the pool with its last carrier (the place closes its lineage node).
class mIdentifierClock {
 public:
  virtual int identifierTime() const = 0;  // the place's time counter (EXECUTE steps)
  virtual int identifierMark() const = 0;  // the place's home mark (1 for the world's place)
  // `gene` is about to be destroyed; it still holds its identifier and carrier history.
  virtual void geneLeaving(const mGene& /*gene*/) const {}

 protected:
  ~mIdentifierClock() = default;
};

// A gene-frequency record (frequency file "Gene/Freq").
struct mGeneFrequency {
  std::string idText;      // the gene's identifier text, "%d-%d-%d"
  int carriers = 0;        // its number of carriers
  mGene* gene = nullptr;   // not owned; valid while the gene stays in the pool
  mID id;                  // a copy of the gene's identifier, which the ordering compares
};

// A length-frequency record ("Size/Freq" and "Freq/Size").
struct mLengthFrequency {
  int size = 0;      // a genome length
  int carriers = 0;  // the carriers of all genes of that length
};

class mGeneList : public mObject {
 public:
  // The most vectors a pool block may declare; a read of more (or a negative count) fails.
  static constexpr int kMaxReadVectors = 10000000;

  // An empty pool. `place` is not owned and must outlive the pool; nullptr (tests, tools)
  // makes identifiers with time 0 and mark 0.
  explicit mGeneList(const mIdentifierClock* place);
  ~mGeneList() override;
  mGeneList(const mGeneList&) = delete;
  mGeneList& operator=(const mGeneList&) = delete;

  // The first gene of the pool equal to `gene` (mGene::equals: same identifier numbers or
  // same code), searched only in the vector of gene's length; nullptr when there is none.
  // Its identifier is result->identifier(). Cost: one scan of that length's vector.
  mGene* findEqual(const mGene& gene) const;

  // Takes `gene` into the vector of its length, appended after the genes already there; a
  // missing vector is made and inserted in length order. The gene then names this pool.
  // Returns the stored gene (nullptr for nullptr). It does not look for an equal gene: callers
  // that must not duplicate a program ask `findEqual` first (breeding does).
  mGene* addGene(std::unique_ptr<mGene> gene);

  // The first gene of the vector of length id.size whose identifier has the same three
  // numbers; nullptr if either is missing (individuals find their genome so when read).
  mGene* findByIdentifier(const mID& id) const;

  // An individual has died: `seed` leaves the carriers of `gene`. If that leaves the gene
  // without carriers, the place hears of it and the gene is destroyed (and its vector too when
  // that empties). Returns
  // true when the gene was destroyed; `gene` is then dangling. A gene that this pool does not
  // hold is never destroyed.
  bool removeCarrier(mSeed* seed, mGene* gene);

  // A new identifier: size `length`, the place's current time and home mark.
  mID newIdentifier(int length) const;

  int geneCount() const;                        // genes of all vectors
  int vectorCount() const { return static_cast<int>(mVectors.size()); }
  const std::vector<std::unique_ptr<mGeneVector>>& vectors() const { return mVectors; }
  std::vector<int> lengths() const;             // of all vectors, ascending
  mGeneVector* vectorFor(int length) const;     // nullptr when no gene has that length
  // All carriers of the genes of that length: gene by gene in vector order, each gene's
  // carriers in their order; empty when there is no such vector.
  std::vector<mSeed*> carriersOfLength(int length) const;

  // One record per gene, vector by vector in order, each vector's genes in order.
  std::vector<mGeneFrequency> geneFrequencies() const;
  // One record per vector, in order.
  std::vector<mLengthFrequency> lengthFrequencies() const;

  // The three orderings of the frequency tables; each answers false when a record is absent.
  // Length ascending.
  static bool lengthOrder(const mLengthFrequency* a, const mLengthFrequency* b);
  // Carriers descending, ties by length ascending.
  static bool lengthCarrierOrder(const mLengthFrequency* a, const mLengthFrequency* b);
  // Carriers descending, ties by mID::before of the identifiers, which answers true both ways
  // for equal identifiers: this one is no strict ordering. Sort with the helpers below.
  static bool geneCarrierOrder(const mGeneFrequency* a, const mGeneFrequency* b);

  // Stable sorts by the orderings above (DESIGN.md: ties keep their current order). Each
  // sorts by the strict part of its ordering (a before b, and not b before a), so equal
  // identifiers are ties and the sort is well defined whatever the records hold.
  static void sortByLength(std::vector<mLengthFrequency>& records);
  static void sortByCarriers(std::vector<mLengthFrequency>& records);
  static void sortByCarriers(std::vector<mGeneFrequency>& records);

  // "/*mGeneList start*/", the number of vectors, each vector's block, "/*mGeneList end*/";
  // CR LF line ends.
  void write(std::ostream& out) const;
  // Reads such a block, replacing the pool's content (the genes held before are destroyed);
  // genes come without carriers (the individuals enter them as they are read). Fails (returns false, the stream failed, the
  // pool unchanged) when the block is truncated or malformed: a vector count outside
  // 0..kMaxReadVectors, a vector block that fails, or vector lengths that do not strictly
  // ascend (a file this program wrote always has them ascending and distinct).
  bool read(std::istream& in);

 private:
  // The first vector whose length is not below `length` (binary search: the vectors ascend).
  std::vector<std::unique_ptr<mGeneVector>>::const_iterator lowerBound(int length) const;

  const mIdentifierClock* mPlace;
  std::vector<std::unique_ptr<mGeneVector>> mVectors;
};
