// mGene: the whole heritable program of an individual, an immutable array of
// opcodes with its identifier, the individuals that carry it, and breeding.
//
// Ownership: genes belong to the gene pool (mGeneList, genome/gene_list.h), which destroys a
// gene when its last carrier goes. A gene owns its code and its identifier; it only lists its
// carriers (mSeed, not owned) and names its pool (not owned). A gene outside any pool (pool
// nullptr) is allowed, e.g. a freshly bred child before the pool takes it.
//
// `size` and `code` never change once the gene is made or read; breeding makes a new gene.
//
// Thread-safety: none. The world's mutex serialises every caller.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "base/id.h"
#include "base/object.h"

class mGeneList;
class mRandom;
struct Parameters;
class mGeneVector;
class mSeed;

class mGene : public mObject {
 public:
  // The largest code a gene block may declare; a read of a larger (or negative) size fails.
  static constexpr int kMaxReadSize = 1000000;
  // What the listing shows as the mnemonic of a stored opcode outside 0..31 (such values reach
  // a code only through a hand-edited world file). Its hexadecimal column shows the value as
  // an unsigned 32-bit number ("%02x": 32 -> "20", -1 -> "ffffffff").
  static constexpr const char* kUnknownMnemonic = "????";

  // An empty gene: size 0, no code, no carriers, identifier 0-0-0. This is what a gene is
  // before `read`.
  explicit mGene(mGeneList* pool);
  // A gene whose code is a copy of `code` (the built-in genome, the initial gene file);
  // identifier 0-0-0, no carriers. The gene "has a code" even when `code` is empty.
  mGene(mGeneList* pool, std::vector<int> code);
  ~mGene() override;
  mGene(const mGene&) = delete;
  mGene& operator=(const mGene&) = delete;

  int size() const { return static_cast<int>(mCode.size()); }
  // A hint to the cache: size() is about to be asked.
  void prefetchSize() const { __builtin_prefetch(&mCode); }
  // The opcodes, size() of them (values outside 0..31 may stand here after a file read).
  const std::vector<int>& code() const { return mCode; }
  // False only for a gene made by the empty constructor and not read since; matters to
  // `equals` alone.
  bool hasCode() const { return mHasCode; }

  const mID& identifier() const { return mIdentifier; }
  // The gene keeps its own copy; the previous identifier is gone.
  void setIdentifier(const mID& identifier) { mIdentifier = identifier; }

  mGeneList* pool() const { return mPool; }

  // Appends `seed` unless it is listed already (nullptr is ignored).
  void addCarrier(mSeed* seed);
  // Removes the first occurrence of `seed`, if any; the others keep their order. Does not
  // destroy the gene: mGeneList::removeCarrier does that when the count reaches 0.
  void removeCarrier(mSeed* seed);
  int carrierCount() const { return static_cast<int>(mCarriers.size()); }
  const std::vector<mSeed*>& carriers() const { return mCarriers; }
  // The most carriers it had at once, and how many individuals ever carried it (each carrier
  // counts once as it is added).
  int peakCarriers() const { return mPeakCarriers; }
  std::int64_t totalCarriers() const { return mTotalCarriers; }
  // Restores that history, kept in the lineage file (a load adds the living carriers again).
  void setCarrierHistory(int peak, std::int64_t total) {
    mPeakCarriers = peak;
    mTotalCarriers = total;
  }
  // The gene's node in its place's lineage (engine/lineage.h), -1 for none.
  int lineageId() const { return mLineageId; }
  void setLineageId(int id) { mLineageId = id; }

  // False for nullptr; true when the identifiers have the same
  // three numbers (whatever the codes); otherwise false when the sizes differ or `other` has
  // no code; true when the size is below 1; otherwise true exactly when the codes are equal.
  bool equals(const mGene* other) const;

  // "ID:" + identifier text + "\r\n", then "%d : %02x : %s\r\n" per instruction (position,
  // opcode, four-character mnemonic; kUnknownMnemonic for an opcode outside 0..31).
  std::string listing() const;

  // Splits a code into segments: each ends with gene_separate (opcode 2) or with the code's
  // last instruction; no empty segment follows a final separator; an empty code has none.
  // The spans view `code`.
  static std::vector<std::span<const int>> splitSegments(std::span<const int> code);
  // This gene's code split so, made at the first breeding that asks.
  const std::vector<std::span<const int>>& segments() const;

  // Crossing-over and mutation, drawing uniform01() and randomInt() from `random` (the
  // world's) in one fixed order (a run repeats itself), reading the mGene_* parameters of
  // `params` at each use. The child belongs to the mother's pool, has identifier 0-0-0, no carriers and
  // at least one instruction; its opcodes stay within 0..31 when the parents' do. The caller
  // gives it an identifier and enters it into the pool (or drops it for an equal pool gene).
  // A segment insertion whose chosen source parent has
  // an empty code inserts nothing and draws no index.
  static std::unique_ptr<mGene> breedGene(const mGene& mother, const mGene& father, double w,
                                          const Parameters& params, mRandom& random);

  // The block: "/*mGene strat*/" (sic), the identifier's mID block, one line of the opcodes
  // each followed by one blank, "/*mGene end*/"; CR LF line ends. The length is not written:
  // the reader takes it from the identifier, so the identifier's size must equal size().
  void write(std::ostream& out) const;
  // Reads a block written by `write`: the frame lines are skipped unread, the size is the
  // identifier's first number. Returns false, fails the stream and leaves the gene unchanged
  // when the block is truncated, holds a non-number or declares a size outside
  // 0..kMaxReadSize. Carriers are not part of the block.
  bool read(std::istream& in);

 private:
  friend class mGeneVector;  // a gene entering a vector takes that vector's pool

  void setCode(std::vector<int> code);

  std::vector<int> mCode;
  bool mHasCode = false;
  std::uint64_t mCodeHash = 0;  // of mCode, so unequal codes rarely need a full comparison
  mutable std::optional<std::vector<std::span<const int>>> mSegments;  // views of mCode
  std::vector<mSeed*> mCarriers;
  int mPeakCarriers = 0;
  std::int64_t mTotalCarriers = 0;
  int mLineageId = -1;
  mID mIdentifier;
  mGeneList* mPool = nullptr;
};
