// The figure of a sweep (a plan folder of vek-sweep): a panel per series with one line per
// parameter setting, the mean over the setting's replicates turn by turn, inside a band of its
// 95 % confidence interval (Student's t with n - 1 degrees of freedom), and a legend for the
// whole figure naming the settings.
//
// The runs, their settings and their save folders are those of the folder's plan (runs.csv and
// the experiment it was planned from); a run's logs are read as a save folder's are, line k
// being turn firstTurn + k - 1. The replicates of a setting are read in step, line by line, so
// memory is a small block per replicate and the pixel columns of the lines and bands, however
// long the runs. A turn's mean and interval are over the replicates that have logged it: a run
// still running or stopped early counts up to its last turn, a run not yet started is left out,
// and both are noted. Where fewer than two replicates have a turn, its band has a gap.
//
// Plain values out; readSweepFigure reads on several threads of its own and returns when they
// are done. Call it from any one thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plot/figure_model.h"
#include "plot/folder_figure.h"

namespace vek::plot {

// Whether `folder` is a sweep's plan folder: it holds runs.csv.
bool isSweepFolder(const std::string& folder);

// The series of a sweep's panels, one each: every series of `panels`, a '+' joining none
// (its lines would be settings times series). The default: population, genes, births,
// deaths, occupancy, evaluation, genome length and age.
std::vector<const SeriesInfo*> sweepSeries(const PanelSeries& panels);
std::vector<const SeriesInfo*> defaultSweepSeries();
// The same as the text parsePanelSeries reads.
std::string defaultSweepSeriesText();

struct SweepFigureRequest {
  std::string folder;
  std::vector<const SeriesInfo*> series;  // a panel each
  std::int64_t firstTurn = 1;             // the turn of the logs' first line
  std::optional<std::int64_t> from;       // first turn drawn; the logs' first by default
  std::optional<std::int64_t> to;         // last turn drawn; the last any run reached by default
  int pixelColumns = 800;                 // the width of a panel's plot, in pixels
  int threads = 0;                        // readers at once; 0: one per processor
};

struct SweepFigure {
  std::string error;               // "" when the figure was read; names the file and line
  std::vector<std::string> notes;  // runs left out or cut short, logs being written
  FigureModel figure;
  std::int64_t from = 0;           // the turns drawn
  std::int64_t to = 0;
  int settings = 0;                // settings drawn (lines per panel)
  int runs = 0;                    // runs whose logs were read
  bool ok() const { return error.empty(); }
};

SweepFigure readSweepFigure(const SweepFigureRequest& request);

}  // namespace vek::plot
