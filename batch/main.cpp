#include "batch/batch_options.h"
#include "batch/batch_run.h"

int main(int argc, char** argv) {
  const vek::batch::ParsedCommandLine parsed = vek::batch::parseCommandLine(argc, argv);
  if (!parsed.options) return parsed.exitCode;
  return vek::batch::runBatch(*parsed.options);
}
