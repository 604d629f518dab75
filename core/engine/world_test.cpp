#include "engine/world.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "tests/test_support.h"

namespace {

// Records every caption a world publishes.
class CaptionLog : public mWorldObserver {
 public:
  void stepped(int, const mWorld& world) override {
    std::lock_guard<std::mutex> guard(mMutex);
    mCaptions.push_back(world.caption());
    mChanged.notify_all();
  }
  void afterTurn(mWorld&) override { ++turns; }
  std::vector<std::string> captions() {
    std::lock_guard<std::mutex> guard(mMutex);
    return mCaptions;
  }
  // Waits (generously) until at least n captions have come.
  bool waitFor(size_t n) {
    std::unique_lock<std::mutex> guard(mMutex);
    return mChanged.wait_for(guard, std::chrono::seconds(60), [&] { return mCaptions.size() >= n; });
  }
  int turns = 0;

 private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<std::string> mCaptions;
};

TEST(World, FirstStartRunsExactlyOneStepAndParks) {
  mWorld world;
  CaptionLog log;
  world.addObserver(&log);
  EXPECT_FALSE(world.isBusy());
  world.start();
  ASSERT_TRUE(log.waitFor(1));
  world.waitUntilParked();
  EXPECT_FALSE(world.isBusy());
  EXPECT_TRUE(world.isStarted());
  EXPECT_EQ(log.captions(), std::vector<std::string>{"INITIAL_EXECUTE"});
  std::lock_guard<FairMutex> guard(world.mutex());
  EXPECT_EQ(world.caption(), "INITIAL_EXECUTE");
}

TEST(World, EmptyPopulationTurnIsFiveStepsAndTimeStillRises) {
  mWorld world;
  CaptionLog log;
  world.addObserver(&log);
  for (int i = 0; i < 10; ++i) world.step();
  EXPECT_EQ(log.captions(),
            (std::vector<std::string>{"INITIAL_EXECUTE", "PRE_EXECUTE(0/0)", "EXECUTE(0/0)",
                                      "AFTER_EXECUTE", "SUN_LIGHT", "INITIAL_EXECUTE",
                                      "PRE_EXECUTE(0/0)", "EXECUTE(0/0)", "AFTER_EXECUTE",
                                      "SUN_LIGHT"}));
  EXPECT_EQ(world.place().turn(), 2);
  EXPECT_EQ(world.place().time(), 2);
  EXPECT_EQ(log.turns, 2);
}

TEST(World, ThreeIndividualsTakeNineSteps) {
  mWorld world;
  CaptionLog log;
  world.addObserver(&log);
  {
    std::lock_guard<FairMutex> lock(world.mutex());
    for (int i = 0; i < 3; ++i) world.place().populateWithBuiltInGenome();
  }
  for (int i = 0; i < 9; ++i) world.step();
  EXPECT_EQ(log.captions(),
            (std::vector<std::string>{"INITIAL_EXECUTE", "PRE_EXECUTE(0/3)", "EXECUTE(0/3)",
                                      "PRE_EXECUTE(1/3)", "EXECUTE(1/3)", "PRE_EXECUTE(2/3)",
                                      "EXECUTE(2/3)", "AFTER_EXECUTE", "SUN_LIGHT"}));
  EXPECT_EQ(world.place().time(), 3);
}

// An observer of whole turns is passed by at every step, told of every turn and asked to
// write out what it holds after each step by hand.
TEST(World, ObserversOfWholeTurnsAreToldOfTurnsOnly) {
  struct TurnsOnly : mWorldObserver {
    void showIndividual(const mSeed&) override { ++individuals; }
    void stepped(int, const mWorld&) override { ++steps; }
    void afterTurn(mWorld&) override { ++turns; }
    void flush(mWorld&) override { ++flushes; }
    bool followsSteps() const override { return false; }
    int individuals = 0, steps = 0, turns = 0, flushes = 0;
  } turnsOnly;
  mWorld world;
  CaptionLog log;
  world.addObserver(&turnsOnly);
  world.addObserver(&log);
  {
    std::lock_guard<FairMutex> lock(world.mutex());
    for (int i = 0; i < 3; ++i) world.place().populateWithBuiltInGenome();
  }
  for (int i = 0; i < 18; ++i) world.step();
  EXPECT_EQ(log.captions().size(), 18u);
  EXPECT_EQ(log.turns, 2);
  EXPECT_EQ(turnsOnly.turns, 2);
  EXPECT_EQ(turnsOnly.flushes, 18);
  EXPECT_EQ(turnsOnly.individuals + turnsOnly.steps, 0);
  world.removeObserver(&log);
  world.step();
  EXPECT_EQ(log.captions().size(), 18u);
  EXPECT_EQ(turnsOnly.flushes, 19);
}

TEST(World, StartPauseResumeAndSingleSteps) {
  mWorld world;
  CaptionLog log;
  world.addObserver(&log);
  world.start();
  world.waitUntilParked();
  world.resume();
  ASSERT_TRUE(log.waitFor(200));
  world.pause();
  EXPECT_FALSE(world.isBusy());
  const size_t parkedAt = log.captions().size();
  world.step();  // a single step while parked, from this thread
  EXPECT_EQ(log.captions().size(), parkedAt + 1);
  world.resume();
  ASSERT_TRUE(log.waitFor(parkedAt + 50));
  world.pause();
  const size_t again = log.captions().size();
  world.pause();  // pausing a parked world changes nothing
  EXPECT_EQ(log.captions().size(), again);
}

TEST(World, HoldAfterTurnStopsAtThatTurn) {
  mWorld world;
  world.holdAfterTurn(7);
  world.start();
  world.resume();
  world.waitUntilParked();
  std::lock_guard<FairMutex> guard(world.mutex());
  EXPECT_EQ(world.place().turn(), 7);
  EXPECT_EQ(world.phase(), SUN_LIGHT);
}

TEST(World, TimedWaitTellsWhetherTheWorkerParked) {
  mWorld world;
  {
    std::lock_guard<FairMutex> lock(world.mutex());
    world.place().populateWithBuiltInGenome();
  }
  EXPECT_TRUE(world.waitUntilParkedFor(std::chrono::milliseconds(0)));  // never started
  world.holdAfterTurn(1000000);
  world.start();
  world.resume();
  EXPECT_FALSE(world.waitUntilParkedFor(std::chrono::milliseconds(1)));  // far from its turn
  world.holdAfterTurn(0);
  world.pause();
  EXPECT_TRUE(world.waitUntilParkedFor(std::chrono::milliseconds(0)));
  const int parkedAt = world.place().turn();
  world.holdAfterTurn(parkedAt + 3);
  world.resume();
  while (!world.waitUntilParkedFor(std::chrono::milliseconds(5))) {
  }
  std::lock_guard<FairMutex> guard(world.mutex());
  EXPECT_EQ(world.place().turn(), parkedAt + 3);
}

TEST(World, DestroyingARunningWorldStopsItsWorker) {
  auto world = std::make_unique<mWorld>();
  CaptionLog log;
  world->addObserver(&log);
  world->start();
  world->resume();
  ASSERT_TRUE(log.waitFor(20));
  EXPECT_TRUE(world->isBusy());  // never paused: destroyed while its worker runs
  world.reset();                 // must stop and join the worker
  const size_t final = log.captions().size();
  // Real work on this thread gives a worker that outlived its world every chance to step.
  mWorld other;
  other.place().populateWithBuiltInGenome();
  while (other.place().turn() < 50) other.step();
  EXPECT_EQ(log.captions().size(), final);
}

// A reader holding the world's mutex sees it stand still, and between readings the worker gets
// its steps: neither side starves the other.
TEST(World, ReadersTakeTheWorldsMutexWhileItRuns) {
  mWorld world;
  {
    std::lock_guard<FairMutex> lock(world.mutex());
    world.place().populateWithBuiltInGenome();
  }
  world.start();
  world.resume();
  int firstTurn = -1, lastTurn = 0;
  for (int reading = 0; reading < 100000 && lastTurn - firstTurn < 5; ++reading) {
    std::lock_guard<FairMutex> lock(world.mutex());
    const mPlace& place = world.place();
    const int time = place.time(), turn = place.turn(), living = place.population().livingCount();
    const std::string caption = world.caption();
    for (int k = 0; k < 100; ++k) std::this_thread::yield();
    ASSERT_EQ(place.time(), time);
    ASSERT_EQ(place.turn(), turn);
    ASSERT_EQ(place.population().livingCount(), living);
    ASSERT_EQ(world.caption(), caption);
    if (firstTurn < 0) firstTurn = turn;
    lastTurn = turn;
  }
  world.pause();
  EXPECT_GE(lastTurn - firstTurn, 5) << "the worker starved while readers held the world";
}

TEST(World, LoadedPhaseIsRangeChecked) {
  mWorld world;
  world.setPhase(3);
  EXPECT_EQ(world.phase(), 3);
  world.setPhase(7);
  EXPECT_EQ(world.phase(), 3);
  world.setPhase(-1);
  EXPECT_EQ(world.phase(), 3);
}

}  // namespace
