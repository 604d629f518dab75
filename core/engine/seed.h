// mSeed: one plant of the population. It owns its position, its body, its processor (which
// owns its energy account) and its identifier; its genome is shared through the gene pool.
// Once a turn it takes in its leaves' light, executes one instruction and rates itself: the
// evaluation is the number of children bred + 1, or -1.0 when it is to die (too old without
// children, or out of energy).
//
// Owned by its population (mSeedList). Called on the world's thread with the world locked.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "body/body_owner.h"
#include "base/point3d.h"
#include "base/id.h"
#include "base/object.h"
#include "body/parts_list.h"
#include "genome/cpu.h"

class mGene;
class mPartsList;
class mSeedList;

class mSeed : public mObject, public mBodyOwner, public mCPUOwner {
 public:
  // A new individual with body "N" at `position` and `initialEnergy` paid into its account.
  // Entering it as a carrier of `genome` is the population's business.
  mSeed(mGene* genome, mSeedList* population, const mID& id, const mPoint3D& position,
        int newborn, double initialEnergy);
  // An individual in no population (a genome tried out on its own) at `position`, living
  // under `parameters`, which must outlive it.
  mSeed(mGene* genome, const Parameters& parameters, const mID& id, const mPoint3D& position, double initialEnergy);
  // An empty individual of `population`, to be filled by `read`.
  explicit mSeed(mSeedList* population);
  ~mSeed() override;
  mSeed(const mSeed&) = delete;
  mSeed& operator=(const mSeed&) = delete;

  // Ages by one, takes the leaves' light, executes one instruction, evaluates.
  void execute();
  // children + 1; -1.0 when childless and older than the genome's length at birth times
  // mSeed_turn_effect, or when the current energy is 0 or less. Stores and returns it.
  double evaluate();
  // "S " + position text + " " + identifier text.
  std::string text() const;

  void write(std::ostream& out) const;
  // Reads a block into an individual built empty; its genome is looked up in the pool by
  // identifier and this individual becomes its carrier. Returns false (stream failed) when
  // the block is malformed or names a genome the pool does not hold.
  bool read(std::istream& in);

  double evaluation() const { return mEvaluation; }
  int age() const { return mAge; }
  int newborn() const { return mNewborn; }
  void setNewborn(int newborn) { mNewborn = newborn; }
  // Where the individual stands in its population's living list, kept there by the
  // population (the order in which the father search visits bodies); -1 outside it.
  int rank() const { return mRank; }
  void setRank(int rank) { mRank = rank; }
  // The body's number in the population's index (mPartsList::indexSlot) as the population last
  // read it, kept beside the rank so that the turn's close need not reach into the body.
  std::uint32_t indexSlotSeen() const { return mIndexSlotSeen; }
  void setIndexSlotSeen(std::uint32_t slot) { mIndexSlotSeen = slot; }
  const mPoint3D& position() const { return mPosition; }
  // Hints to the cache, given a few individuals ahead of the one that acts: the individual's
  // record (with its processor and body) first; once that has come, the line of the gene that
  // the processor reads next.
  void prefetch() const { prefetchLines(std::make_index_sequence<(sizeof(mSeed) + 63) / 64>()); }
  void prefetchCode() const { mProcessor.prefetchCode(); }
  // For the turn's averages: the record's first line (evaluation, age, genome) and the
  // account; once those have come, the genome's record.
  void prefetchAccount() const {
    __builtin_prefetch(this);
    mProcessor.energy().prefetch();
  }
  void prefetchGenome() const;
  // A hint to the cache: the rank is about to be written and the index number read.
  void prefetchRank() const { __builtin_prefetch(&mRank, 1); }
  mPartsList& body() { return mBody; }
  const mPartsList& body() const { return mBody; }
  mCPU& processor() { return mProcessor; }
  const mCPU& processor() const { return mProcessor; }
  const mID& id() const { return mId; }
  mGene* genome() const { return mGenome; }
  mSeedList* population() const { return mPopulation; }

  // The body's two whole-body tests, passed on unchanged.
  bool isClear(const mPoint3D& p, double margin) const;
  bool isSegmentClear(const mPoint3D& a, const mPoint3D& b) const;

  // The parameters of the individual's world (the built-in ones outside a population).
  const Parameters& parameters() const { return *mParameters; }

  // mBodyOwner
  const Parameters& bodyParameters() const override { return *mParameters; }
  const mPoint3D* bodyRoot() const override { return &mPosition; }
  double bodyEnergy() const override;
  const mBodyPopulation* bodyPopulation() const override;
  std::string bodyIdText() const override { return mId.text(); }
  void bodyPartsChanged(const mPartsList& body, const mSphere* resized) override;
  bool bodyRestoring() const override;

  // mCPUOwner
  const Parameters& cpuParameters() const override { return *mParameters; }
  mPartsList* cpuBody() const override { return const_cast<mPartsList*>(&mBody); }
  const mGene* cpuGene() const override { return mGenome; }
  int cpuIdentifierSize() const override { return mId.size; }
  bool cpuInPopulation() const override { return mPopulation != nullptr; }
  // The flight of the seed, the father, the child's gene and the newborn, drawn from the
  // place's random numbers.
  mBreedResult cpuBreed(const mPoint3D& flowerPosition, double energy) override;

 private:
  // One prefetch per cache line of the record, spelled out (a loop costs several times more).
  template <size_t... line>
  void prefetchLines(std::index_sequence<line...>) const {
    (__builtin_prefetch(reinterpret_cast<const char*>(this) + 64 * line), ...);
  }
  mSeed(mGene* genome, mSeedList* population, const Parameters* parameters, const mID& id,
        const mPoint3D& position, int newborn, double initialEnergy);

  // Everything the processor and the body ask of the individual while they are made comes
  // first; laying out a body asks for no energy, so the account is paid into once both exist.
  // Both live inside the individual's own record, so an individual's turn reads one stretch
  // of memory.
  const Parameters* mParameters;  // the place's, which outlives every individual
  double mEvaluation;
  int mAge = 0;
  int mNewborn = 0;
  int mRank = -1;
  std::uint32_t mIndexSlotSeen = UINT32_MAX;
  mPoint3D mPosition;
  mID mId;
  mGene* mGenome = nullptr;
  mSeedList* mPopulation;
  mCPU mProcessor;
  mPartsList mBody;
};
