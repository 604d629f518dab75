// WorldSession: one world as the Python module holds it. It owns the world, the world's
// document (its save folder, claimed while the session has it), the statistics logs that the
// world appends to after every turn, and the file lock of the world's writes, and it runs the
// world as vek-batch does, so a world run and saved from Python leaves the files vek-batch
// leaves.
//
// A world made without a base folder lives in memory: no folder, no logs, until `save` is
// given a folder, which the world then takes as its own. A world made with a base gets its
// folder at once, as vek-batch makes it (`original_log/` under the base, or the folder an
// initial gene file names), is saved there at turn 0 and logs every turn from the first, its
// lineage (phylogeny.csv, lineage_counts.csv) included unless it records none.
//
// Threads. Driving the world (run, step, save, close) is done by one thread at a time: a second
// thread waits until the first is done, and a callback of `run` may drive the world itself
// (the lock is recursive). Reading it (the tables, the figures, the counters) and setting a
// parameter take only the world's mutex, so they go on while another thread runs the world,
// between two of its steps. The worker runs only inside `run`; when `run` returns or throws,
// it is parked. Every failure is thrown as a SessionError naming the file and the fault.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/fair_mutex.h"
#include "base/file_lock.h"
#include "body/parameters.h"
#include "engine/world.h"
#include "records/lineage_files.h"
#include "records/statistics_logs.h"
#include "records/world_document.h"

namespace vek::python {

// The program name that a folder's lock file records for a world held by Python.
inline constexpr const char* kProgramName = "vek-python";

// How a world records the lineage of its genomes, as vek-batch's --no-lineage,
// --lineage-every, --lineage-prune and --lineage-reset set it.
struct LineageOptions {
  bool record = true;
  int every = 10;      // turns between the counts of lineage_counts.csv; 0: none
  bool prune = false;  // keep only the genomes with a living descendant
  bool reset = false;  // a loaded phylogeny.csv that does not fit its world starts anew
};

class WorldSession {
 public:
  struct Creation {
    Parameters parameters;
    std::optional<std::uint32_t> seed;  // none: the world's own numbers (1033 at the first draw)
    std::string geneFile;               // "": the built-in genome
    std::string base;                   // "": a world in memory
    LineageOptions lineage;
  };
  static std::unique_ptr<WorldSession> create(const Creation& creation);
  // The world saved in `folder`, which it keeps as its save folder; `seed` reseeds its random
  // numbers after the load (as vek-batch --load --seed does).
  static std::unique_ptr<WorldSession> load(const std::string& folder, std::optional<std::uint32_t> seed,
                                            const LineageOptions& lineage);
  ~WorldSession();
  WorldSession(const WorldSession&) = delete;
  WorldSession& operator=(const WorldSession&) = delete;

  // Runs the worker until the world's turn has risen by `turns`. With `every` > 0 it parks
  // whenever the turn reaches a multiple of `every` and calls `atEvery`, which answers false to
  // end the run there. `poll` is called about every `pollInterval` while the worker runs; what
  // it throws ends the run (the worker parked after its current step) and comes out of `run`.
  void run(int turns, int every, const std::function<bool()>& atEvery, const std::function<void()>& poll,
           std::chrono::milliseconds pollInterval);
  // One step (one phase of the turn), on the calling thread.
  void step();
  // Saves into the world's folder. A world in memory takes `folder` as its folder (made with
  // its parents; refused when a world is saved there already) and logs into it from the next
  // turn on. A `folder` other than the world's own is refused.
  void save(const std::optional<std::string>& folder);
  // Lets go of the folder: saves first when `saveFirst` and the world has one (and its logs did
  // not fail), then closes the logs and drops the folder's claim. The world can still be read,
  // but no longer run, stepped, changed or saved. Closing twice does nothing.
  void close(bool saveFirst);

  // Sets a parameter (already converted to a number by the caller) at once, between two steps.
  void set(const ParameterKey& key, double value);
  // A copy of the world's parameters.
  Parameters parameters() const;
  // Writes a snapshot of the whole world, or of the living individual at `index`, to `path`.
  void snapshot(const std::string& path, std::optional<int> index);
  // The index of the first living individual whose identifier reads `id`.
  int indexOf(const std::string& id) const;

  // Calls `read` with the world while holding its mutex and returns what it returns.
  template <class Read>
  auto read(Read&& read) const {
    std::lock_guard<FairMutex> lock(mHeldWorld->mutex());
    return read(static_cast<const ::mWorld&>(*mHeldWorld));
  }

  // "" for a world in memory.
  std::string folder() const;
  // What the last create, load or save noticed that a person should know (cut logs, keys
  // missing from a parameter file, ...).
  std::vector<std::string> notices() const;
  bool closed() const;

 private:
  WorldSession(const mWorldSettings& settings, int lineageEvery);
  void startLogs();
  // The turn as the world stands; checks the logs after a step or a run.
  int turnAfterRunning();
  void refuseUnlessDrivable() const;
  void takeNotices();

  // Declared before the world, so that they outlive its worker.
  FileWriteLock mFileLock;
  std::unique_ptr<StatisticsLogs> mLogs;
  std::unique_ptr<LineageLog> mLineageLog;
  int mLineageEvery;
  std::unique_ptr<::mWorld> mHeldWorld;
  std::unique_ptr<WorldDocument> mDocument;
  bool mFromBuiltInGenome = true;  // for the gene.gini of a folder a world in memory takes

  std::recursive_mutex mControl;   // held while the world is driven
  std::string mLogFailure;         // under mControl: why the logs stopped, "" while they work
  std::atomic<bool> mClosed{false};  // set under mControl
  mutable std::mutex mInfoMutex;   // the fields below, which readers ask for while a run goes on
  std::string mFolder;
  std::vector<std::string> mNotices;
};

}  // namespace vek::python
