// mWorld: the one simulated world. It owns the place (everything that lives), a worker thread
// that advances the simulation step by step, and the hold flag that parks the worker.
//
// A step runs one phase of the five-phase turn: SUN_LIGHT, INITIAL_EXECUTE, then PRE_EXECUTE
// and EXECUTE alternately once per living individual, then AFTER_EXECUTE. After each step the
// world tells its observers which phase runs next (the caption that names it is built only
// by those that ask).
//
// Threads. The world has one mutex (`mutex()`): every step holds it, and any other thread that
// reads or changes the world (views, dialogs, load, save) must hold it too. It is fair, so
// neither the worker nor a reader can starve the other: the worker keeps it from one step to
// the next only while no other thread has asked for it. Observers are called on the stepping
// thread with the mutex held; they must not take it again nor block on the GUI thread.
// start/resume/pause/isBusy may be called from any thread but the worker's own.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/fair_mutex.h"
#include "base/object.h"
#include "body/world_settings.h"

class mPlace;
class mSeed;
class mWorld;

enum Phase : int { SUN_LIGHT = 0, INITIAL_EXECUTE, PRE_EXECUTE, EXECUTE, AFTER_EXECUTE };
inline constexpr int kPhaseCount = 5;
extern const char* const kPhaseNames[kPhaseCount];

// What the user interface and the records learn of the world while it runs. Every call comes
// on the stepping thread with the world's mutex held.
class mWorldObserver {
 public:
  virtual ~mWorldObserver() = default;
  // PRE_EXECUTE and EXECUTE: the individual that acts (or has just acted).
  virtual void showIndividual(const mSeed& /*individual*/) {}
  // AFTER_EXECUTE, once the turn is closed: views are refreshed, logs written.
  virtual void afterTurn(mWorld& /*world*/) {}
  // After every step: the phase that runs next; `world.caption()` names it. The caption is
  // built only by observers that show it, since a step may take less time than the text.
  virtual void stepped(int /*nextPhase*/, const mWorld& /*world*/) {}
  // Write out whatever is kept back for later (the lines of the last turns): the worker calls
  // it before it parks or stops, and step() after its step, so a world that stands still (to
  // be saved, read or stepped by hand) has everything of its turns written.
  virtual void flush(mWorld& /*world*/) {}
  // Whether it wants showIndividual and stepped, asked once by addObserver: an observer of
  // whole turns answers no, and the steps of the individuals then pass it by.
  virtual bool followsSteps() const { return true; }
};

class mWorld : public mObject {
 public:
  // A world whose place holds `settings` (the built-in parameters and the fast algorithms by
  // default), with its own random numbers.
  explicit mWorld(const mWorldSettings& settings = {});
  // Stops the worker (after its current step) and joins it, then destroys the place.
  ~mWorld() override;
  mWorld(const mWorld&) = delete;
  mWorld& operator=(const mWorld&) = delete;

  // Runs one phase and tells the observers. Takes the world's mutex itself. Used by
  // the worker and, while the worker is parked, by the single-step button.
  void step();
  // Runs steps under one hold of the mutex, as the worker does, until the phase that runs next
  // is `phase` (one step at least), and tells the observers as step() does. For benchmarks
  // and tests; the worker must be parked or not started.
  void stepUntil(int phase);

  // Whether the worker runs at the lowest priority (nice 19, best effort), as a program with a
  // user interface wants so the desktop stays responsive; true by default. A batch run turns
  // it off so the worker keeps the process's own priority. Set before `start`.
  void setLowestPriority(bool on) { mLowestPriority = on; }
  // Creates and releases the worker the first time; it runs one step and parks while held.
  void start();
  void resume();  // clears hold
  // Sets hold without waiting: the worker parks after its current step. Any thread, the
  // worker's own (an observer) included.
  void requestPause();
  // Sets hold and returns once the worker is parked (at once when it never started).
  void pause();
  bool isStarted() const { return mStarted; }
  // False while the worker has not started or is parked; true while it is inside a step or
  // has not yet reached its wait.
  bool isBusy() const;

  // Lets the worker park itself after the AFTER_EXECUTE step that makes the place's turn
  // reach `turn` (for runs of a given length). A value <= 0 clears it.
  void holdAfterTurn(int turn);
  // Blocks until the worker is parked with hold set (returns at once when never started).
  void waitUntilParked();
  // The same for at most `timeout`: true when the worker is parked (or never started), false
  // when it still runs. For a controlling thread that must look up now and then (a signal
  // to honour) while the worker runs.
  bool waitUntilParkedFor(std::chrono::milliseconds timeout);

  // The caption of the next phase: its name, with "(%0d/%0d)" of the population cursor and
  // the number of living individuals for PRE_EXECUTE and EXECUTE. Call with the mutex held.
  std::string caption() const;
  int phase() const { return mPhase; }
  void setPhase(int phase);  // for loading a saved world; values outside 0..4 are refused

  // Processor time spent in each phase's steps, observers included, while profiling is on (off
  // by default), in the time of the thread that runs the steps (base/thread_time.h). Reading
  // that clock for every step would cost more than many steps, so SUN_LIGHT, INITIAL_EXECUTE
  // and AFTER_EXECUTE are timed step by step, a turn's stretch of PRE_EXECUTE and EXECUTE steps
  // as a whole, and that is shared between the two as the steps of one individual in
  // kProfileSample, timed one by one on the steady clock, share it. A stretch must run on one
  // thread (the worker's, as vek-batch runs it). Read with the mutex held or the worker parked.
  void setProfiling(bool on);
  const std::array<double, kPhaseCount>& phaseSeconds() const { return mPhaseSeconds; }
  static constexpr int kProfileSample = 16;

  mPlace& place() { return *mHabitat; }
  const mPlace& place() const { return *mHabitat; }
  // Puts `place` (made with this world as its owner, e.g. read from a save folder) in the old
  // place's stead, which is destroyed. Call with the mutex held and the worker parked.
  void adoptPlace(std::unique_ptr<mPlace> place);
  FairMutex& mutex() const { return mMutex; }

  // Observers are not owned. Both take the world's mutex, so they may be called while the
  // worker runs, but never from an observer's own call (which holds the mutex already).
  void addObserver(mWorldObserver* observer);
  void removeObserver(mWorldObserver* observer);

 private:
  void run();
  void stepLocked();
  void profileStep();  // stepLocked, timed for the profile
  void waitOnHold();

  mutable FairMutex mMutex;
  std::unique_ptr<mPlace> mHabitat;
  std::vector<mWorldObserver*> mObservers;
  std::vector<mWorldObserver*> mStepObservers;  // those of mObservers that follow the steps
  int mPhase = SUN_LIGHT;
  bool mProfiling = false;
  std::array<double, kPhaseCount> mPhaseSeconds{};
  // The PRE_EXECUTE and EXECUTE stretch being timed: when it began (processor time; < 0 while
  // none runs), the steps so far, and the sampled steps' steady-clock seconds by phase.
  double mStretchStart = -1;
  int mStretchSteps = 0;
  std::array<double, 2> mSampledSeconds{};

  // The hold flag: hold written by the controlling thread, waiting by the worker. Hold and
  // stopping are written under mHoldMutex; the worker glances at them without it after each
  // step and takes the mutex only when one is set.
  mutable std::mutex mHoldMutex;
  std::condition_variable mHoldChanged;
  std::atomic<bool> mHold{true};
  bool mWaiting = false;
  std::atomic<bool> mStopping{false};
  std::atomic<int> mHoldAfterTurn{0};

  std::atomic<bool> mStarted{false};
  bool mLowestPriority = true;
  std::thread mWorker;
};
