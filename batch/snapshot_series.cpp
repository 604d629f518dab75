#include "batch/snapshot_series.h"

#include <cstdio>
#include <filesystem>

#include "engine/place.h"
#include "records/snapshot_writer.h"

namespace vek::batch {

std::string numberedSnapshotName(int turn) {
  char name[40];
  std::snprintf(name, sizeof name, "world-%06d.view", turn);
  return name;
}

SnapshotSeries::SnapshotSeries(std::string folder, int every, FileWriteLock& fileLock)
    : mFolder(std::move(folder)), mEvery(every), mFileLock(fileLock) {}

FileOutcome SnapshotSeries::checkNothingReplaced(int firstTurn, int lastTurn) const {
  std::error_code error;
  for (long long turn = (firstTurn / mEvery + 1) * static_cast<long long>(mEvery); turn <= lastTurn; turn += mEvery) {
    const std::string path = mFolder + numberedSnapshotName(static_cast<int>(turn));
    if (std::filesystem::exists(path, error))
      return {path + " is already there (from an earlier run); give --force to replace such snapshots, or "
                     "another --snapshot-dir"};
  }
  return {};
}

void SnapshotSeries::afterTurn(mWorld& world) {
  const int turn = world.place().turn();
  if (turn % mEvery != 0) return;
  const FileOutcome outcome =
      writeSnapshotFile(mFolder + numberedSnapshotName(turn), snapshotText(world.place()), mFileLock);
  if (outcome.ok()) {
    ++mWritten;
  } else if (mFailures++ == 0) {
    mFirstFailure = outcome.error;
  }
}

}  // namespace vek::batch
