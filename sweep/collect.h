// `vek-sweep collect DIR`: the results of a plan's finished runs as three CSV files in DIR,
// each with a header row, numbers in their shortest exact form, a missing value (a share of
// nothing) as an empty field:
//
//   summary.csv   one row per run: run, the grid's parameters, seed, then the final figures
//                 of its summary.json (turn, time, living, genes, births, deaths and the
//                 averages and shares of the last turn). Timing is left out, so the file is
//                 the same however and wherever the runs ran.
//   series.csv    long format, one row per run, turn and measure: every per-turn log of
//                 every run (line k of a log is turn k), only turns that are multiples of
//                 `every`. ope_ene.log gives one measure per instruction (ope_ene_make_leaf),
//                 c_time.log the calendar time in seconds (c_time), and "time" is the place's
//                 time counter that starts every log line.
//   settings.csv  one row per parameter setting: the grid's parameters, the number of
//                 replicates collected, then the mean, standard deviation and 95 % confidence
//                 interval (Student's t) of each final figure.
//
// Main thread; reads the run folders and writes the three files (each replaced atomically).
#pragma once

#include <string>
#include <vector>

#include "sweep/plan.h"

namespace vek::sweep {

struct CollectOutcome {
  int collected = 0;     // runs in the files
  std::vector<int> left;  // runs not finished, not in the files
  std::string error;     // a file that could not be read or written
};

CollectOutcome collectResults(const Plan& plan, int every);

}  // namespace vek::sweep
