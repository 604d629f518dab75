// Numbered snapshots of a run: after every turn that is a multiple of `every`, the whole world
// as the viewer reads it, in `folder` as world-000100.view (the turn, six digits at least, so
// the names sort in turn order). They belong to no save: a kill loses at most the snapshot
// being written, never a save, and nothing reads them back.
//
// An observer of the world: afterTurn runs on the stepping thread with the world's mutex held;
// the file is written under the program's file lock. A snapshot that cannot be written never
// stops the world: the failure is counted and the first kept for the caller to report.
#pragma once

#include <string>

#include "base/file_lock.h"
#include "base/file_outcome.h"
#include "engine/world.h"

namespace vek::batch {

// The name of the snapshot of `turn`.
std::string numberedSnapshotName(int turn);

class SnapshotSeries : public mWorldObserver {
 public:
  // `folder` ends in "/"; `fileLock` is the program's and outlives the series.
  SnapshotSeries(std::string folder, int every, FileWriteLock& fileLock);

  // Refuses (naming the first such file) when a snapshot that a run from `firstTurn` to
  // `lastTurn` would write is already there, so one run never silently replaces another's.
  FileOutcome checkNothingReplaced(int firstTurn, int lastTurn) const;

  void afterTurn(mWorld& world) override;
  bool followsSteps() const override { return false; }

  // Read while the world is parked.
  int written() const { return mWritten; }
  int failures() const { return mFailures; }
  const std::string& firstFailure() const { return mFirstFailure; }

 private:
  std::string mFolder;
  int mEvery;
  FileWriteLock& mFileLock;
  int mWritten = 0;
  int mFailures = 0;
  std::string mFirstFailure;
};

}  // namespace vek::batch
