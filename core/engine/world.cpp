#include "engine/world.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/thread_time.h"
#include "engine/place.h"
#include "engine/seed_list.h"

const char* const kPhaseNames[kPhaseCount] = {"SUN_LIGHT", "INITIAL_EXECUTE", "PRE_EXECUTE",
                                              "EXECUTE", "AFTER_EXECUTE"};

mWorld::mWorld(const mWorldSettings& settings) : mHabitat(std::make_unique<mPlace>(this, "Ostrel", 1, settings)) {}

mWorld::~mWorld() {
  {
    std::lock_guard<std::mutex> guard(mHoldMutex);
    mStopping = true;
  }
  mHoldChanged.notify_all();
  if (mWorker.joinable()) mWorker.join();
}

void mWorld::step() {
  std::lock_guard<FairMutex> guard(mMutex);
  if (mProfiling) profileStep();
  else stepLocked();
  for (mWorldObserver* observer : mObservers) observer->flush(*this);
}

void mWorld::stepUntil(int phase) {
  std::lock_guard<FairMutex> guard(mMutex);
  do {
    if (mProfiling) profileStep();
    else stepLocked();
  } while (mPhase != phase);
  for (mWorldObserver* observer : mObservers) observer->flush(*this);
}

void mWorld::setProfiling(bool on) {
  mProfiling = on;
  mStretchStart = -1;
}

// One step, timed for the profile.
void mWorld::profileStep() {
  const int phaseRun = mPhase;
  if (phaseRun != PRE_EXECUTE && phaseRun != EXECUTE) {
    const double start = threadSeconds();
    stepLocked();
    mPhaseSeconds[phaseRun] += threadSeconds() - start;
    return;
  }
  if (mStretchStart < 0) {
    mStretchStart = threadSeconds();
    mStretchSteps = 0;
    mSampledSeconds = {};
  }
  // A PRE_EXECUTE step and the EXECUTE step after it belong to one individual.
  if (mStretchSteps++ / 2 % kProfileSample == 0) {
    const auto start = std::chrono::steady_clock::now();
    stepLocked();
    mSampledSeconds[phaseRun - PRE_EXECUTE] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  } else {
    stepLocked();
  }
  if (mPhase == PRE_EXECUTE || mPhase == EXECUTE) return;
  const double stretch = threadSeconds() - mStretchStart;
  const double sampled = mSampledSeconds[0] + mSampledSeconds[1];
  const double preShare = sampled > 0 ? mSampledSeconds[0] / sampled : 0.5;
  mPhaseSeconds[PRE_EXECUTE] += stretch * preShare;
  mPhaseSeconds[EXECUTE] += stretch * (1 - preShare);
  mStretchStart = -1;
}

void mWorld::stepLocked() {
  mSeedList& population = mHabitat->population();
  switch (mPhase) {
    case SUN_LIGHT:
      mHabitat->computeLight();
      mPhase = INITIAL_EXECUTE;
      break;
    case INITIAL_EXECUTE:
      population.beginTurn();
      mPhase = PRE_EXECUTE;
      break;
    case PRE_EXECUTE:
      if (const mSeed* individual = population.current())
        for (mWorldObserver* observer : mStepObservers) observer->showIndividual(*individual);
      mPhase = EXECUTE;
      break;
    case EXECUTE: {
      const mSeed* individual = population.current();
      mHabitat->executeOne();
      // The individual stays in the population until AFTER_EXECUTE, whatever it did.
      if (individual)
        for (mWorldObserver* observer : mStepObservers) observer->showIndividual(*individual);
      mPhase = population.atEnd() ? AFTER_EXECUTE : PRE_EXECUTE;
      break;
    }
    case AFTER_EXECUTE: {
      population.endTurn();
      mPhase = SUN_LIGHT;
      mHabitat->endTurn();
      for (mWorldObserver* observer : mObservers) observer->afterTurn(*this);
      const int limit = mHoldAfterTurn.load();
      if (limit > 0 && mHabitat->turn() >= limit) {
        std::lock_guard<std::mutex> guard(mHoldMutex);
        mHold = true;
      }
      break;
    }
  }
  for (mWorldObserver* observer : mStepObservers) observer->stepped(mPhase, *this);
}

std::string mWorld::caption() const {
  std::string text = kPhaseNames[mPhase];
  if (mPhase == PRE_EXECUTE || mPhase == EXECUTE) {
    const mSeedList& population = mHabitat->population();
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "(%0d/%0d)", population.cursorIndex(),
                  population.livingCount());
    text += buffer;
  }
  return text;
}

void mWorld::setPhase(int phase) {
  if (phase >= 0 && phase < kPhaseCount) mPhase = phase;
}

void mWorld::start() {
  if (mStarted) return;
  mStarted = true;
  mWorker = std::thread([this, lowest = mLowestPriority] {
    // Lowest priority is best effort: a refusal changes nothing else.
    if (lowest) setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
    run();
  });
}

void mWorld::run() {
  for (;;) {
    {
      // Steps follow each other under one lock until someone else asks for the world (who
      // then waits one step at most) or the worker is to park or stop.
      std::lock_guard<FairMutex> guard(mMutex);
      do {
        if (mProfiling) profileStep();
        else stepLocked();
      } while (!mHold.load() && !mStopping.load() && !mMutex.othersWaiting());
    }
    if (!mHold.load() && !mStopping.load()) continue;
    {
      std::lock_guard<FairMutex> guard(mMutex);
      for (mWorldObserver* observer : mObservers) observer->flush(*this);
    }
    waitOnHold();
    std::lock_guard<std::mutex> guard(mHoldMutex);
    if (mStopping) return;
  }
}

void mWorld::waitOnHold() {
  std::unique_lock<std::mutex> guard(mHoldMutex);
  if (!mHold || mStopping) return;
  mWaiting = true;
  mHoldChanged.notify_all();
  mHoldChanged.wait(guard, [&] { return !mHold || mStopping; });
  mWaiting = false;
}

void mWorld::resume() {
  {
    std::lock_guard<std::mutex> guard(mHoldMutex);
    mHold = false;
  }
  mHoldChanged.notify_all();
}

void mWorld::requestPause() {
  std::lock_guard<std::mutex> guard(mHoldMutex);
  mHold = true;
}

void mWorld::pause() {
  std::unique_lock<std::mutex> guard(mHoldMutex);
  mHold = true;
  if (!mStarted) return;
  mHoldChanged.wait(guard, [&] { return mWaiting || mStopping; });
}

void mWorld::waitUntilParked() {
  std::unique_lock<std::mutex> guard(mHoldMutex);
  if (!mStarted) return;
  mHoldChanged.wait(guard, [&] { return (mWaiting && mHold) || mStopping; });
}

bool mWorld::waitUntilParkedFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(mHoldMutex);
  if (!mStarted) return true;
  return mHoldChanged.wait_for(guard, timeout, [&] { return (mWaiting && mHold) || mStopping; });
}

bool mWorld::isBusy() const {
  if (!mStarted) return false;
  std::lock_guard<std::mutex> guard(mHoldMutex);
  return !mWaiting;
}

void mWorld::holdAfterTurn(int turn) { mHoldAfterTurn.store(turn > 0 ? turn : 0); }

void mWorld::addObserver(mWorldObserver* observer) {
  std::lock_guard<FairMutex> guard(mMutex);
  mObservers.push_back(observer);
  if (observer->followsSteps()) mStepObservers.push_back(observer);
}

void mWorld::removeObserver(mWorldObserver* observer) {
  std::lock_guard<FairMutex> guard(mMutex);
  std::erase(mObservers, observer);
  std::erase(mStepObservers, observer);
}

void mWorld::adoptPlace(std::unique_ptr<mPlace> place) {
  if (place) mHabitat = std::move(place);
}
