// The run of vek-batch: build or load the world, run it on its own worker thread for the
// turns asked, saving as asked, then save it into its save folder exactly as the windowed
// simulator does at exit, write the snapshot, and print one summary line.
#pragma once

#include "batch/batch_options.h"

namespace vek::batch {

// The program's exit code: 0 on success, 1 when a file could not be read or written (the
// message, naming the file, is on standard error), 128 + the signal's number after SIGINT,
// SIGTERM, SIGHUP or SIGQUIT (the world was saved first).
int runBatch(const BatchOptions& options);

}  // namespace vek::batch
