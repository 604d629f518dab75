#include "batch/batch_options.h"
#include "batch/batch_run.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
  const vek::batch::ParsedCommandLine parsed = vek::batch::parseCommandLine(argc, argv);
  if (!parsed.options) return parsed.exitCode;
  try {
    return vek::batch::runBatch(*parsed.options);
  } catch (const std::exception& error) {
    // Whatever escaped the run's own checks is still a failed run with a message, not an abort.
    std::fprintf(stderr, "vek-batch: %s\n", error.what());
    return 1;
  }
}
