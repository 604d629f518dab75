#include "engine/seed_list.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <limits>
#include <optional>

#include "body/field.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "base/descending_order.h"
#include "base/random.h"
#include "engine/seed.h"
#include "genome/gene.h"
#include "genome/gene_list.h"
#include "base/text_io.h"

namespace {
// Evaluation as a sort key: a value that is not a number ranks below every other, so the
// ordering is strict whatever the individuals hold.
std::uint64_t rankKeyOf(const mSeed& seed) {
  const double value = seed.evaluation();
  return vek::descendingKey(std::isnan(value) ? -std::numeric_limits<double>::infinity() : value);
}

// One individual's figures added to the sums of the averages.
void addUp(mSeedList::Statistics& sums, const mSeed& seed) {
  sums.averageAccount.accumulate(&seed.processor().energy());
  sums.averageEvaluation += seed.evaluation();
  sums.averageAge += seed.age();
  sums.averageGenomeSize += seed.genome() ? seed.genome()->size() : 0;
}

// The sums over n individuals made averages (sums over none stay zeros).
void average(mSeedList::Statistics& s, int n) {
  s.averageAccount.divideBy(n);
  if (n >= 1) {
    s.averageAge /= n;
    s.averageGenomeSize /= n;
    s.averageEvaluation /= n;
  }
}
}  // namespace

mSeedList::mSeedList(mPlace* place)
    : mHome(place), mAverageEvaluation(place->parameters().mSeed_initialEvaluationValue) {}

const Parameters& mSeedList::parameters() const { return mHome->parameters(); }

bool mSeedList::fastSearches() const { return mHome->settings().algorithms == mAlgorithms::kFast; }

mSeedList::~mSeedList() = default;

void mSeedList::beginTurn() {
  mCursorIndex = 0;
  mTurnBirths = 0;
}

mSeed* mSeedList::current() const {
  if (mCursorIndex < 0 || mCursorIndex >= livingCount()) return nullptr;
  return mLiving[static_cast<size_t>(mCursorIndex)].get();
}

bool mSeedList::atEnd() const { return mCursorIndex >= livingCount(); }

void mSeedList::executeNext() {
  mSeed* individual = current();
  if (!individual) return;
  // Individuals, their processors and bodies lie all over the heap, and the light computation
  // has filled the caches with other things since they last acted: ask for the next ones'
  // records while this one acts.
  const auto at = static_cast<size_t>(mCursorIndex);
  if (at + 2 < mLiving.size()) mLiving[at + 2]->prefetch();
  if (at + 1 < mLiving.size()) mLiving[at + 1]->prefetchCode();
  individual->execute();
  ++mCursorIndex;
}

void mSeedList::addNewborn(std::unique_ptr<mSeed> seed) {
  if (!seed) return;
  if (seed->genome()) seed->genome()->addCarrier(seed.get());
  mNewborn.push_back(std::move(seed));
  ++mTurnBirths;
}

void mSeedList::addLiving(std::unique_ptr<mSeed> seed) {
  if (!seed) return;
  if (seed->genome()) seed->genome()->addCarrier(seed.get());
  mIndex.admit(seed->body());
  placeAt(*seed, mLiving.size(), true);
  mLiving.push_back(std::move(seed));
  ++mTurnBirths;
}

void mSeedList::placeAt(mSeed& seed, size_t k, bool admitted) {
  seed.setRank(static_cast<int>(k));
  if (admitted) seed.setIndexSlotSeen(seed.body().indexSlot());
  const std::uint32_t slot = seed.indexSlotSeen();
  if (slot == UINT32_MAX) return;
  if (slot >= mRankBySlot.size()) mRankBySlot.resize(size_t{slot} + 1);
  mRankBySlot[slot] = {&seed, static_cast<std::uint32_t>(k)};
}

void mSeedList::bodyChanged(const mPartsList& body, const mSphere* resized) { mIndex.changed(body, resized); }

mGene* mSeedList::findFather(const mSeed& parent, const mPoint3D& point, double& weight) const {
  double nearest = std::numeric_limits<double>::infinity();
  size_t best = SIZE_MAX;  // the place in the list of the nearest flower's individual
  double sum = 0;
  bool inRange = false;
  const double reach = parameters().mSeedList_maxFatherDistance;
  // The sum and the strict "nearer" make the order of the flowers count: population order,
  // then each body's flowers in order, whichever way they are found.
  auto take = [&](double d, size_t at) {
    inRange = true;
    sum += 1.0 / d;
    if (d < nearest) {
      nearest = d;
      best = at;
    }
  };
  bool searched = fastSearches() && mIndex.of(mLiving, parameters()).flowersNear(point, reach, mNearFlowers);
  if (searched) {
    // The flowers in reach, taken up as the list would give them: by their individuals'
    // places in the list (every held body belongs to a living individual, which knows its
    // place), then by their places among the body's flowers. Their distances were measured
    // as the scan below measures them. The table of ranks names the individual without
    // reading its record, which lies anywhere in the memory.
    const size_t n = mLiving.size();
    mFlowerOrder.clear();
    for (size_t k = 0; k < mNearFlowers.size(); ++k) {
      const mPartIndex::FlowerNear& flower = mNearFlowers[k];
      const mSeed* other = nullptr;
      size_t rank = 0;
      if (flower.slot < mRankBySlot.size()) {
        const SlotRank& hint = mRankBySlot[flower.slot];
        other = hint.seed;
        rank = hint.rank;
      }
      if (!other || &other->body() != flower.body || rank >= n || mLiving[rank].get() != other) {
        other = static_cast<const mSeed*>(flower.body->owner());
        rank = static_cast<size_t>(other->rank());
        searched = rank < n && mLiving[rank].get() == other;
        if (!searched) break;  // out of its place: the list is read instead
      }
      if (other == &parent) continue;
      mFlowerOrder.push_back({static_cast<std::uint64_t>(rank) << 32 | static_cast<std::uint32_t>(flower.place),
                              static_cast<std::uint32_t>(k)});
    }
    if (searched) {
      std::sort(mFlowerOrder.begin(), mFlowerOrder.end());
      for (const auto& [order, k] : mFlowerOrder) take(mNearFlowers[k].distance2, static_cast<size_t>(order >> 32));
    }
  }
  if (!searched) {
    for (size_t at = 0; at < mLiving.size(); ++at) {
      const mSeed& other = *mLiving[at];
      if (&other == &parent) continue;
      for (const auto& flower : other.body().flowers()) {
        const double d = mPoint3D::distance2(*flower->position(), point);
        if (d <= reach) take(d, at);
      }
    }
  }
  weight = 0;
  if (inRange) {
    weight = (1.0 / nearest) / sum;
    if (std::isnan(weight) || weight < 0) weight = 0;
    if (weight > 1) weight = 1;
  }
  return best == SIZE_MAX ? parent.genome() : mLiving[best]->genome();
}

bool mSeedList::isClearForAll(const mPoint3D& p, double margin) const {
  if (fastSearches()) {
    if (const std::optional<bool> clear = mIndex.of(mLiving, parameters()).isClear(p, margin)) return *clear;
  }
  for (const auto& seed : mLiving)
    if (!seed->isClear(p, margin)) return false;
  return true;
}

bool mSeedList::isSegmentClearForAll(const mPoint3D& a, const mPoint3D& b) const {
  if (fastSearches()) {
    if (const std::optional<bool> clear = mIndex.of(mLiving, parameters()).isSegmentClear(a, b))
      return *clear;
  }
  for (const auto& seed : mLiving)
    if (!seed->isSegmentClear(a, b)) return false;
  return true;
}

template <class Visit>
void mSeedList::walkLiving(Visit visit) const {
  // Every individual's account is read, all over the memory: asked for a few ahead, and its
  // genome once its record has come.
  constexpr size_t kAhead = 8;
  for (size_t k = 0; k < mLiving.size(); ++k) {
    if (k + kAhead < mLiving.size()) mLiving[k + kAhead]->prefetchAccount();
    if (k + kAhead / 2 < mLiving.size()) mLiving[k + kAhead / 2]->prefetchGenome();
    visit(k, *mLiving[k]);
  }
}

mSeedList::Statistics mSeedList::statisticsNow() const {
  Statistics s;
  walkLiving([&s](size_t, const mSeed& seed) { addUp(s, seed); });
  average(s, livingCount());
  return s;
}

void mSeedList::takeStatistics(const Statistics& s) {
  mAverageAccount = s.averageAccount;
  mAverageAge = s.averageAge;
  mAverageGenomeSize = s.averageGenomeSize;
  mAverageEvaluation = s.averageEvaluation;
}

void mSeedList::computeStatistics() { takeStatistics(statisticsNow()); }

void mSeedList::endTurn() {
  mTurnDeaths = 0;
  // One walk over the records for the statistics and the cull's rank keys.
  Statistics s;
  mRankKeys.resize(mLiving.size());
  walkLiving([&](size_t k, const mSeed& seed) {
    addUp(s, seed);
    mRankKeys[k] = {rankKeyOf(seed), static_cast<std::uint32_t>(k)};
  });
  average(s, livingCount());
  takeStatistics(s);
  const int before = livingCount();
  cull();
  mTurnDeaths += before - livingCount();
  const size_t admittedFrom = mLiving.size();
  for (auto& child : mNewborn) {
    child->setNewborn(0);
    mIndex.admit(child->body());
    mLiving.push_back(std::move(child));
  }
  mNewborn.clear();
  // The numbers are read from the bodies again only when the index has been made anew since.
  const bool renumbered = mIndex.made() != mSlotsSeenOf;
  mSlotsSeenOf = mIndex.made();
  // The records lie all over the memory: each is asked for a few places ahead.
  constexpr size_t kAhead = 8;
  for (size_t k = 0; k < mLiving.size(); ++k) {
    if (k + kAhead < mLiving.size()) mLiving[k + kAhead]->prefetchRank();
    placeAt(*mLiving[k], k, renumbered || k >= admittedFrom);
  }
  mTurnDeaths += static_cast<int>(mReserve.size());
  mTotalBirths += mTurnBirths;
  mTotalDeaths += mTurnDeaths;
}

void mSeedList::cull() {
  // Best first, equals in their order; sorted on keys made from the ranks (mRankKeys holds
  // every living individual's, in list order), so that the sort never reaches into an
  // individual.
  vek::sortByKey(mRankKeys, mRankScratch);
  mRanked.clear();
  for (const RankKey& entry : mRankKeys) mRanked.push_back(std::move(mLiving[entry.at]));
  mLiving.swap(mRanked);
  // From here mRankKeys[k] is the key of mLiving[k], and stays so as the list shrinks.

  const Parameters& parameters = this->parameters();
  mRandom& random = mHome->random();
  if (mHome->field().isOverCapacity() && !mLiving.empty()) {
    const double k = parameters.mSeedList_delete_factorial;
    const size_t m = mLiving.size();
    double p = 2.0 / ((k + 1.0) * static_cast<double>(m));
    const double step = m > 1 ? (k - 1.0) * p / static_cast<double>(m - 1) : 0.0;
    std::vector<bool> doomed(m, false);
    for (size_t i = 0; i < m; ++i) {
      doomed[i] = random.uniform01() < p;
      p += step;
    }
    size_t kept = 0;
    for (size_t i = 0; i < m; ++i)
      if (!doomed[i]) mRankKeys[kept++] = mRankKeys[i];
    mRankKeys.resize(kept);
    removeLiving(doomed);
  }

  // The marked stand last: the ranking puts every evaluation that is not above 0 after the
  // rest, and a key below zero's is an evaluation above 0.
  const std::uint64_t zero = vek::descendingKey(0.0);
  const auto firstMarked =
      std::find_if(mRankKeys.begin(), mRankKeys.end(), [zero](const RankKey& entry) { return entry.key >= zero; });
  const auto marked = static_cast<size_t>(firstMarked - mRankKeys.begin());
  removeFrom(marked);
  mRankKeys.resize(marked);

  if (livingCount() > parameters.mSeedList_min_random_delete_number) {
    const size_t m = mLiving.size();
    std::vector<bool> doomed(m, false);
    for (size_t i = 0; i < m; ++i) doomed[i] = random.uniform01() < parameters.mSeedList_random_delete_probability;
    removeLiving(doomed);
  }
}

void mSeedList::forget(mSeed& seed) {
  if (seed.genome()) mHome->genePool().removeCarrier(&seed, seed.genome());
}

void mSeedList::removeLiving(const std::vector<bool>& doomed) {
  bool any = false;
  for (size_t i = mLiving.size(); i-- > 0;) {
    if (!doomed[i]) continue;
    release(i);
    any = true;
  }
  if (any) std::erase(mLiving, nullptr);
}

void mSeedList::removeFrom(size_t first) {
  for (size_t i = mLiving.size(); i-- > first;) release(i);
  if (first < mLiving.size()) mLiving.resize(first);
}

void mSeedList::release(size_t i) {
  forget(*mLiving[i]);
  mIndex.remove(mLiving[i]->body());
  mLiving[i].reset();
}

void mSeedList::write(std::ostream& out) const {
  out << "/*mSeedList start*/" << vek::kEol << mTotalBirths << ' ' << mTotalDeaths << ' '
      << mTurnBirths << ' ' << mTurnDeaths << ' ' << mAverageEvaluation << ' ' << mAverageAge
      << ' ' << mAverageGenomeSize << ' ' << mCursorIndex << vek::kEol;
  mAverageAccount.write(out);
  for (const auto* list : {&mLiving, &mNewborn, &mReserve}) {
    out << list->size() << vek::kEol;
    for (const auto& seed : *list) seed->write(out);
  }
  out << "/*mSeedList end*/" << vek::kEol;
}

bool mSeedList::readList(std::istream& in, std::vector<std::unique_ptr<mSeed>>& list) {
  int count = 0;
  if (!vek::readInt(in, count)) return false;
  if (count < 0 || count > kMaxReadIndividuals) {
    vek::rejectValue(in, "a list of " + std::to_string(count) + " individuals (0 to " +
                             std::to_string(kMaxReadIndividuals) + " can be read)");
    return false;
  }
  for (int i = 0; i < count; ++i) {
    auto seed = std::make_unique<mSeed>(this);
    const bool ok = seed->read(in);
    // Whatever was read holds a carrier entry; keep it owned so removal stays consistent.
    // The next living individual's body must already clear this one.
    if (&list == &mLiving) {
      mIndex.admit(seed->body());
      placeAt(*seed, list.size(), true);
    }
    list.push_back(std::move(seed));
    if (!ok) return false;
  }
  return true;
}

bool mSeedList::read(std::istream& in) {
  mIndex.reset();
  for (auto* list : {&mLiving, &mNewborn, &mReserve}) {
    for (auto& seed : *list) forget(*seed);
    list->clear();
  }
  vek::skipLine(in);
  const bool header = vek::readInt(in, mTotalBirths) && vek::readInt(in, mTotalDeaths) &&
                      vek::readInt(in, mTurnBirths) && vek::readInt(in, mTurnDeaths) &&
                      vek::readDouble(in, mAverageEvaluation) && vek::readDouble(in, mAverageAge) &&
                      vek::readDouble(in, mAverageGenomeSize) && vek::readInt(in, mCursorIndex);
  if (!header) return false;
  if (mTotalBirths < 0 || mTotalDeaths < 0 || mTurnBirths < 0 || mTurnDeaths < 0) {
    vek::rejectValue(in, "the population counts " + std::to_string(mTotalBirths) + " births and " +
                             std::to_string(mTotalDeaths) + " deaths in all, " + std::to_string(mTurnBirths) +
                             " and " + std::to_string(mTurnDeaths) + " this turn; none can be negative");
    return false;
  }
  mAverageAccount.read(in);
  const bool ok = readList(in, mLiving) && readList(in, mNewborn) && readList(in, mReserve);
  if (!ok) return false;
  // After a turn the cursor still counts the individuals that acted, however many the cull
  // left; only a negative one was never written.
  if (mCursorIndex < 0) {
    vek::rejectValue(in, "the population's cursor stands at " + std::to_string(mCursorIndex));
    mCursorIndex = 0;
    return false;
  }
  vek::skipLine(in);
  // The averages stay as saved (those of the last turn's close): a load followed by a save
  // writes them back unchanged.
  return static_cast<bool>(in);
}

void mSeedList::writeSnapshot(std::ostream& out) const {
  for (const auto& seed : mLiving) {
    out << seed->text() << vek::kEol;
    seed->body().writeParts(out);
  }
}
