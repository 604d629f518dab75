// The figure of a save folder's statistics logs: the chosen series read, reduced to the
// pixel columns of their panels, and laid out as panels against the turn.
//
// Turns: a world's logs start empty when the world is created, every turn appends one line
// to each of them, and a world loaded from the folder appends to the logs it finds. So line k
// of a log is turn firstTurn + k - 1, with firstTurn 1 for a folder whose logs were kept from
// the world's creation on (the only case this system makes). The step counter at the start of
// each line is not the turn (it counts EXECUTE steps, many per turn) and is not used for the x
// axis; a counter that goes back is reported, since it shows lines that repeat turns.
//
// Plain C++ without Qt. readFolderFigure reads the logs on several threads of its own and
// returns when they are done; call it from any one thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/figure_model.h"
#include "plot/log_catalog.h"

namespace vek::plot {

// The series of each panel, several on one panel where a list joins them with '+'.
using PanelSeries = std::vector<std::vector<const SeriesInfo*>>;

// "seed_num,cur_bir+cur_dea": panels separated by commas, series of one panel by '+'.
// Returns false with `unknown` set to the first name that is no series.
bool parsePanelSeries(std::string_view text, PanelSeries& panels, std::string& unknown);
// The panels drawn when none are asked for: population, genes, births and deaths, occupancy,
// evaluation, genome length, age, and the shares of energy on edges, leaves and flowers.
PanelSeries defaultPanelSeries();
// The same as the text parsePanelSeries reads.
std::string defaultPanelSeriesText();

struct FolderFigureRequest {
  std::string folder;
  PanelSeries panels;
  std::int64_t firstTurn = 1;         // the turn of the logs' first line
  std::optional<std::int64_t> from;   // first turn drawn; the logs' first by default
  std::optional<std::int64_t> to;     // last turn drawn; the logs' last by default
  int pixelColumns = 800;             // the width of a panel's plot, in pixels
  int threads = 0;                    // readers at once; 0: one per processor
};

struct FolderFigure {
  std::string error;                 // "" when the figure was read; names the file and line
  std::vector<std::string> notes;    // what the reader noticed but drew around
  FigureModel figure;
  std::int64_t from = 0;             // the turns drawn
  std::int64_t to = 0;
  bool ok() const { return error.empty(); }
};

FolderFigure readFolderFigure(const FolderFigureRequest& request);

// A folder as a figure's title and messages name it: as given, without a trailing '/'.
std::string withoutTrailingSlash(std::string path);
// "" when `shown` (a folder so named) is a folder, else "SHOWN: no such folder".
std::string missingFolder(const std::string& shown);

}  // namespace vek::plot
