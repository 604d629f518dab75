#include "engine/place.h"

#include "body/field.h"
#include "body/parts_list.h"
#include "engine/default_genome.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "genome/gene.h"

mPlace::mPlace(mWorld* owner, std::string name, int homeMark, const mWorldSettings& settings)
    : mSettings(settings), mHomeMark(homeMark), mName(std::move(name)), mOwner(owner) {
  mGenealogy.setEnabled(settings.lineage);
  mGenealogy.setPruning(settings.pruneLineage);
  mPool = std::make_unique<mGeneList>(this);
  mSeeds = std::make_unique<mSeedList>(this);
  mLightField = std::make_unique<mField>(mSettings);
}

mPlace::~mPlace() {
  mPool.reset();
  mSeeds.reset();
  mLightField.reset();
}

void mPlace::executeOne() {
  ++mTime;
  mSeeds->executeNext();
}

void mPlace::computeLight() {
  mBodies.clear();
  for (const auto& seed : mSeeds->living()) mBodies.push_back(&seed->body());
  mLightField->computeLight(mBodies);
}

void mPlace::addFirstIndividual(std::vector<int> codes, const mPoint3D& position, double energy) {
  auto genome = std::make_unique<mGene>(mPool.get(), std::move(codes));
  genome->setIdentifier(mPool->newIdentifier(genome->size()));
  mGene* gene = mPool->addGene(std::move(genome));
  const mID id = mPool->newIdentifier(gene->size());
  mSeeds->addLiving(std::make_unique<mSeed>(gene, mSeeds.get(), id, position, 0, energy));
  mGenealogy.addRoot(*gene, mTurn);
}

void mPlace::geneLeaving(const mGene& gene) const { mGenealogy.geneLeft(gene, runningTurn()); }

void mPlace::populateWithBuiltInGenome() {
  addFirstIndividual(std::vector<int>(kDefaultGenome, kDefaultGenome + kDefaultGenomeSize),
                     mPoint3D(0, 0, 0), kDefaultInitialEnergy);
}

void mPlace::populateWithEntry(const InitialGeneEntry& entry) {
  if (entry.codes.empty()) return;
  addFirstIndividual(entry.codes, mPoint3D(entry.x, entry.y, 0), entry.energy);
  advanceTime();
}
