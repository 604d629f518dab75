// mPlace: the habitat of the world. It owns the world's settings (parameters and choice of
// algorithms) and random numbers, the gene pool, the population and the light field, counts
// completed turns and EXECUTE steps (its time), and names its lives file. New identifiers
// carry its time and home mark. Everything it owns reaches the settings and the random
// numbers through it, so two places never share either.
//
// Owned by the world. Called on the world's thread with the world locked.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/object.h"
#include "base/point3d.h"
#include "base/random.h"
#include "body/world_settings.h"
#include "engine/lineage.h"
#include "genome/gene_list.h"

class mField;
class mGene;
class mPartsList;
class mSeedList;
class mWorld;

// One individual of a new world as an initial gene file gives it, with the defaults of an
// entry that says nothing.
struct InitialGeneEntry {
  double energy = 1000.0;
  double x = 0.0;
  double y = 0.0;
  std::vector<int> codes;
};

class mPlace : public mObject, public mIdentifierClock {
 public:
  mPlace(mWorld* owner, std::string name, int homeMark, const mWorldSettings& settings = {});
  ~mPlace() override;
  mPlace(const mPlace&) = delete;
  mPlace& operator=(const mPlace&) = delete;

  // Time + 1, then the population's next individual acts (if any is left).
  void executeOne();
  void endTurn() { ++mTurn; }
  void advanceTime() { ++mTime; }
  // The light of this turn over every living body.
  void computeLight();

  // The first individual of a new world: the built-in genome with energy 1000 at the origin.
  void populateWithBuiltInGenome();
  // One entry of an initial gene file: its genome, energy and (x, y, 0); then time + 1. An
  // entry without codes creates nothing and leaves time as it is.
  void populateWithEntry(const InitialGeneEntry& entry);

  std::string livesFileName(const std::string& folder) const { return folder + mName + ".lives"; }

  int turn() const { return mTurn; }
  int time() const { return mTime; }
  void setCounters(int time, int turn) { mTime = time; mTurn = turn; }
  int homeMark() const { return mHomeMark; }
  mWorldSettings& settings() { return mSettings; }
  const mWorldSettings& settings() const { return mSettings; }
  Parameters& parameters() { return mSettings.parameters; }
  const Parameters& parameters() const { return mSettings.parameters; }
  mRandom& random() { return mDraws; }
  const mRandom& random() const { return mDraws; }
  // While set, bodies read into this place are laid out as saved (body/body_owner.h): for a
  // place restored from an exact save, whose geometry follows.
  void setRestoring(bool on) { mRestoring = on; }
  bool restoring() const { return mRestoring; }
  const std::string& name() const { return mName; }
  mWorld* owner() const { return mOwner; }
  mField& field() { return *mLightField; }
  const mField& field() const { return *mLightField; }
  mSeedList& population() { return *mSeeds; }
  const mSeedList& population() const { return *mSeeds; }
  mGeneList& genePool() { return *mPool; }
  const mGeneList& genePool() const { return *mPool; }

  // Where the pool's genomes came from.
  mLineage& lineage() { return mGenealogy; }
  const mLineage& lineage() const { return mGenealogy; }
  // The number of the turn that runs (the turn count it will close with).
  int runningTurn() const { return mTurn + 1; }

  // mIdentifierClock
  int identifierTime() const override { return mTime; }
  int identifierMark() const override { return mHomeMark; }
  void geneLeaving(const mGene& gene) const override;

 private:
  void addFirstIndividual(std::vector<int> codes, const mPoint3D& position, double energy);

  // Before everything that reads them.
  mWorldSettings mSettings;
  mRandom mDraws;
  bool mRestoring = false;
  // Mutable: the pool tells a const clock that a gene leaves, and the lineage notes it.
  mutable mLineage mGenealogy;
  int mTurn = 0;
  int mTime = 0;
  std::unique_ptr<mGeneList> mPool;
  std::unique_ptr<mSeedList> mSeeds;
  std::unique_ptr<mField> mLightField;
  std::vector<mPartsList*> mBodies;  // computeLight's list of the living bodies, kept for its memory
  int mHomeMark;
  std::string mName;
  mWorld* mOwner;
};
