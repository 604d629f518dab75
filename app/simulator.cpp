#include "app/simulator.h"

#include <mutex>

#include "body/parameters.h"
#include "engine/place.h"
#include "engine/world.h"
#include "records/lineage_files.h"
#include "records/statistics_logs.h"
#include "records/world_document.h"

namespace app {

namespace {
// How often the windowed simulator writes the carriers of every living genome (vek-batch's
// default).
constexpr int kLineageCountsEvery = 10;
}  // namespace

vek::FileWriteLock& fileWriteBusy() {
  static vek::FileWriteLock flag;
  return flag;
}

Simulator::Simulator() { makeWorld(); }

void Simulator::makeWorld() {
  mOwnedWorld = std::make_unique<mWorld>();
  mDocument = std::make_unique<vek::WorldDocument>(*mOwnedWorld, fileWriteBusy(), "Vek");
}

void Simulator::startAfresh() {
  discardWorld();
  makeWorld();
}

Simulator::~Simulator() { discardWorld(); }

void Simulator::setApplicationFolder(const std::string& folder) { mApplicationFolder = vek::asFolder(folder); }

std::string Simulator::saveFolder() const { return mDocument ? mDocument->saveFolder() : std::string(); }

vek::FileOutcome Simulator::createWorld(const std::string& geneFile, const std::string& parameterFile) {
  if (!mOwnedWorld) return {"there is no world to create"};
  if (!geneFile.empty())
    return afterOpening(mDocument->createFromInitialGeneFile(mApplicationFolder, geneFile, parameterFile), false);
  if (!parameterFile.empty()) {
    bool read = false;
    {
      std::lock_guard<FairMutex> lock(mOwnedWorld->mutex());
      read = readParameterFile(mOwnedWorld->place().parameters(), parameterFile, true);
    }
    if (!read) return afterOpening({"cannot read the parameter file " + parameterFile}, false);
  }
  return afterOpening(mDocument->createWithBuiltInGenome(mApplicationFolder), false);
}

vek::FileOutcome Simulator::loadWorld(const std::string& folder) {
  if (!mOwnedWorld) return {"there is no world to load into"};
  return afterOpening(mDocument->load(folder), true);
}

vek::FileOutcome Simulator::afterOpening(const vek::FileOutcome& outcome, bool loaded) {
  if (!outcome.ok()) {
    discardWorld();
    return outcome;
  }
  // The logs are written before the views recompute the population's statistics, so what
  // they record never depends on which windows are open. Observers of an earlier opening go
  // first: a world never hears twice of one turn, nor of logs that are gone.
  if (mLogs) mOwnedWorld->removeObserver(mLogs.get());
  if (mLineage) mOwnedWorld->removeObserver(mLineage.get());
  mOwnedWorld->removeObserver(&mBridge);
  mLogs = std::make_unique<vek::StatisticsLogs>(mDocument->saveFolder(), fileWriteBusy());
  mOwnedWorld->addObserver(mLogs.get());
  mLineage = std::make_unique<vek::LineageLog>(mDocument->saveFolder(), kLineageCountsEvery, fileWriteBusy());
  mOwnedWorld->addObserver(mLineage.get());
  mOwnedWorld->addObserver(&mBridge);
  mBridge.setWorld(mOwnedWorld.get());
  mBridge.announceOpened(loaded);
  return outcome;
}

vek::FileOutcome Simulator::saveWorld() {
  if (!mOwnedWorld) return {"there is no world to save"};
  mOwnedWorld->pause();
  return mDocument->save();
}

std::vector<std::string> Simulator::notices() const {
  return mDocument ? mDocument->notices() : std::vector<std::string>();
}

void Simulator::discardWorld() {
  // Once removed, the observers hear nothing more from a worker that finishes its step.
  if (mOwnedWorld) {
    mOwnedWorld->removeObserver(&mBridge);
    if (mLogs) mOwnedWorld->removeObserver(mLogs.get());
  }
  mBridge.setWorld(nullptr);
  mDocument.reset();
  mOwnedWorld.reset();
  mLogs.reset();
  mLineage.reset();
}

}  // namespace app
