// Reading a snapshot file for a program that has to tell its user why nothing can be shown:
// the window, `tovra --render` and `vek-export` all read through here.
//
// Thread-safety: none beyond the sink's; keeps no state.
#pragma once

#include <optional>
#include <string>

#include "snapshot/snapshot_reader.h"

namespace viewer {

// Reads the snapshot at `path` into `sink`. Returns nothing when the file was read, otherwise
// what went wrong, in a sentence that names the file:
// - it does not exist, is a folder, or cannot be opened (the system's reason);
// - it gave neither a field of some extent nor any record, so it is no snapshot at all (an
//   empty file, a picture or another of the simulator's files opened by mistake). The sink may
//   then have been handed a field line of zeros.
std::optional<std::string> readSnapshotOrSay(const std::string& path, vek::SnapshotSink& sink);

}  // namespace viewer
