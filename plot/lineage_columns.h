// A save folder's lineage_counts.csv (turn,id,carriers: every K turns a row for each living
// genome, the turns ascending) gathered into the pixel columns of a plot. The file is read as
// a stream, one block at a time: a column keeps each genome's carriers averaged over the
// column's sampled turns (a genome without a row in a sample counts 0 there), so memory grows
// with the columns and the genomes alive in each, not with the length of the run.
//
// Plain C++; a free function without shared state, for any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vek::plot {

struct LineageColumn {
  double turn = 0;  // the mean of its sampled turns: where the column stands on the turn axis
  int samples = 0;  // sampled turns in the column
  // (the genome's index, its mean carriers over the samples), genomes with carriers only
  std::vector<std::pair<int, double>> carriers;
};

struct LineageColumns {
  std::string error;                  // "" when the file was read; names the file and line
  std::vector<LineageColumn> columns;  // those with samples, in turn order
  std::int64_t firstTurn = 0;         // the first and last turns sampled
  std::int64_t lastTurn = 0;
  std::int64_t samples = 0;
  std::int64_t unknownRows = 0;       // rows of genomes that the index does not know
  bool unterminatedLastLine = false;  // a last row without its line end was left out
  bool ok() const { return error.empty(); }
};

// Reads `path`: the genome of a row is indexOf(its id), a number below `genomes`, or -1 for a
// genome unknown to the caller, whose carriers are gathered under index `genomes`. Turns
// before `from` and after `to` are left out; the turns kept are spread over at most `columns`
// columns of equal width.
LineageColumns readLineageColumns(const std::string& path, int genomes, const std::function<int(int id)>& indexOf,
                                  std::optional<std::int64_t> from, std::optional<std::int64_t> to, int columns);

}  // namespace vek::plot
