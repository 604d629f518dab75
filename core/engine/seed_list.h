// mSeedList: the population of a place. It walks its living individuals in order so that each
// acts once a turn, keeps the children born during the turn apart until the turn ends, then
// computes averages, culls (the marked; by rank when the field is over capacity; a few at
// random in a large population) and admits the children. It finds the father of a child, and
// answers the two whole-body placement tests for every living body.
//
// While the fast algorithms run (body/world_settings.h) those searches go through an index of
// where the living bodies' parts stand (engine/population_index.h), kept in step as
// individuals are admitted and die and as their bodies change; the answers, and the order in
// which the father search visits flowers, are those of the full scans, which the plain
// algorithms run. The parameters, the random draws and the choice of algorithms are the
// place's.
//
// Owns its individuals; removing one tells the gene pool and deletes it. Owned by the place.
// Called on the world's thread with the world locked.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <vector>

#include "body/body_owner.h"
#include "body/energy.h"
#include "base/descending_order.h"
#include "base/object.h"
#include "engine/population_index.h"

class mGene;
class mPlace;
class mRandom;
struct Parameters;
class mPoint3D;
class mSeed;

class mSeedList : public mObject, public mBodyPopulation {
 public:
  // `place` owns the population and outlives it.
  explicit mSeedList(mPlace* place);
  ~mSeedList() override;
  mSeedList(const mSeedList&) = delete;
  mSeedList& operator=(const mSeedList&) = delete;

  // The turn: cursor to the first living individual, this turn's births to 0.
  void beginTurn();
  // The individual under the cursor, or nullptr when the cursor has passed the last.
  mSeed* current() const;
  // The individual under the cursor executes and the cursor moves on; nothing at the end.
  void executeNext();
  bool atEnd() const;
  // Statistics, cull, children admitted, totals updated.
  void endTurn();

  // Ownership passes; the individual becomes a carrier of its genome; births + 1.
  void addNewborn(std::unique_ptr<mSeed> seed);
  void addLiving(std::unique_ptr<mSeed> seed);

  // The genome of the nearest foreign flower within mSeedList_maxFatherDistance (squared) of
  // `point`, and in `weight` that flower's share of all in-range flowers' inverse squared
  // distances (0..1). With no flower in range: the parent's own genome and weight 0.
  mGene* findFather(const mSeed& parent, const mPoint3D& point, double& weight) const;

  // mBodyPopulation: every living body must accept (an empty population accepts).
  bool isClearForAll(const mPoint3D& p, double margin) const override;
  bool isSegmentClearForAll(const mPoint3D& a, const mPoint3D& b) const override;
  // A body's flowers, leaves or edges have changed (mSeed passes on mBodyOwner's notice, with
  // the one resized sphere when that is all). Bodies of individuals that are not living here
  // are ignored.
  void bodyChanged(const mPartsList& body, const mSphere* resized = nullptr);

  // The averages over the living individuals as they stand (an empty population gives zeros).
  struct Statistics {
    mEnergy averageAccount;
    double averageAge = 0;
    double averageGenomeSize = 0;
    double averageEvaluation = 0;
  };
  Statistics statisticsNow() const;
  // Takes them as the population's own (the turn's close does, and a save writes them).
  void computeStatistics();

  void write(std::ostream& out) const;
  // Replaces the population with the block read. Returns false (stream failed) when the block
  // is malformed; individuals read so far are kept.
  bool read(std::istream& in);
  // The S line and part lines of every living individual, in order.
  void writeSnapshot(std::ostream& out) const;

  mPlace* place() const { return mHome; }
  const Parameters& parameters() const;
  const std::vector<std::unique_ptr<mSeed>>& living() const { return mLiving; }
  const std::vector<std::unique_ptr<mSeed>>& newborn() const { return mNewborn; }
  const std::vector<std::unique_ptr<mSeed>>& reserve() const { return mReserve; }
  int livingCount() const { return static_cast<int>(mLiving.size()); }
  int cursorIndex() const { return mCursorIndex; }
  const mEnergy& averageAccount() const { return mAverageAccount; }
  double averageAge() const { return mAverageAge; }
  double averageGenomeSize() const { return mAverageGenomeSize; }
  double averageEvaluation() const { return mAverageEvaluation; }
  int turnDeaths() const { return mTurnDeaths; }
  int turnBirths() const { return mTurnBirths; }
  int totalDeaths() const { return mTotalDeaths; }
  int totalBirths() const { return mTotalBirths; }

  // The most individuals a population block may declare per list.
  static constexpr int kMaxReadIndividuals = 10000000;

 private:
  void takeStatistics(const Statistics& s);
  // visit(k, individual) for every living individual in order, their records asked for ahead.
  template <class Visit>
  void walkLiving(Visit visit) const;
  // Requires mRankKeys to hold every living individual's rank key, in list order.
  void cull();
  // Removes the living individuals marked in `doomed` (one flag per living individual), in
  // one pass over the population; the gene pool and the index hear of them last first.
  void removeLiving(const std::vector<bool>& doomed);
  // Removes the living individuals from place `first` on, the same way.
  void removeFrom(size_t first);
  // The gene pool and the index hear of mLiving[i] going, and it is deleted (its place left null).
  void release(size_t i);
  void forget(mSeed& seed);
  bool readList(std::istream& in, std::vector<std::unique_ptr<mSeed>>& list);
  // The living individual stands at place k of the list: it learns its rank, and the father
  // search's table of ranks by index number learns it too. `admitted`: its body has just been
  // given to the index, and its number there is read anew.
  void placeAt(mSeed& seed, size_t k, bool admitted);
  bool fastSearches() const;

  mPlace* mHome;
  mEnergy mAverageAccount;
  double mAverageAge = 0;
  double mAverageGenomeSize = 0;
  double mAverageEvaluation;
  int mTurnDeaths = 0;
  int mTurnBirths = 0;
  int mTotalDeaths = 0;
  int mTotalBirths = 0;
  int mCursorIndex = 0;
  std::vector<std::unique_ptr<mSeed>> mLiving;
  std::vector<std::unique_ptr<mSeed>> mNewborn;
  std::vector<std::unique_ptr<mSeed>> mReserve;
  // Where mLiving's parts stand: a cache that the const searches may bring up to date.
  mutable mPopulationIndex mIndex;
  // The father search's scratch lists, kept for their memory: the flowers in reach, and
  // their order (place in the list, place among the body's flowers) with their index.
  mutable std::vector<mPartIndex::FlowerNear> mNearFlowers;
  mutable std::vector<std::pair<std::uint64_t, std::uint32_t>> mFlowerOrder;
  // By a body's number in the index (mPartsList::indexSlot, when it had one as its individual
  // took its place): that individual and its place in mLiving. A hint only, checked before
  // use: numbers are reused and the index may be made anew, but an individual that stands
  // at `rank` and owns the body found is the one.
  struct SlotRank {
    const mSeed* seed = nullptr;
    std::uint32_t rank = 0;
  };
  std::vector<SlotRank> mRankBySlot;
  std::uint64_t mSlotsSeenOf = 0;  // the index as made that many times numbered them
  // The cull's scratch lists, kept for their memory: the living by rank key, and the list
  // put in that order.
  struct RankKey {
    std::uint64_t key;
    std::uint32_t at;
  };
  std::vector<RankKey> mRankKeys;
  vek::SortScratch<RankKey> mRankScratch;
  std::vector<std::unique_ptr<mSeed>> mRanked;
};
