// What a figure of charts shows, as plain values: panels with their titles, axes and lines,
// already reduced to the resolution they are drawn at. Built from logs (folder_figure.h) or,
// by other callers, from figures of their own; drawn by chart_builder.h and figure_scene.h.
//
// Plain values without shared state; any thread may build and read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/min_max_reducer.h"

namespace vek::plot {

struct AxisModel {
  std::string title;
  double min = 0;
  double max = 1;
  // Ticks at the multiples of this interval between min and max.
  double tickInterval = 0.2;
  // Digits after the decimal point in the tick labels.
  int decimals = 1;
};

struct LineModel {
  std::string name;
  int colour = 0;  // index into the palette of chart_builder.h
  // The line between its gaps.
  std::vector<std::vector<PlotPoint>> pieces;
};

// A stretch of an area: at x, the area spans from low to high.
struct BandPoint {
  double x = 0;
  double low = 0;
  double high = 0;
  bool operator==(const BandPoint&) const = default;
};

// A filled area between two lines: the confidence band around a mean, or one genome's share
// of a Muller plot. Areas are drawn in their order, under the panel's lines, so a later area
// covers an earlier one where they overlap; they have no entry in a legend.
struct AreaModel {
  std::string name;
  int colour = 0;        // index into the palette of chart_builder.h
  int shade = 0;         // 0: the palette colour; 1, 2, 3: paler or deeper variants of it
  double opacity = 1;    // of the fill; below 1 the ground and the areas beneath show through
  bool outlined = false; // a thin darker edge, so areas of one colour stay apart
  // The area between its gaps.
  std::vector<std::vector<BandPoint>> pieces;
};

// A text written on the plot, centred on the value (x, y).
struct LabelModel {
  std::string text;
  double x = 0;
  double y = 0;
};

struct PanelModel {
  std::string title;
  AxisModel x;
  AxisModel y;
  std::vector<AreaModel> areas;
  std::vector<LineModel> lines;
  std::vector<LabelModel> labels;
  bool legend = true;  // a legend of the lines where there are several
};

// An entry of a figure's own legend: a colour and what it stands for in every panel.
struct LegendEntry {
  std::string name;
  int colour = 0;
};

struct FigureModel {
  std::string title;
  // Shown under the title for the whole figure, when the panels share their colours' meaning.
  std::vector<LegendEntry> legend;
  std::vector<PanelModel> panels;
};

// About as many ticks as a panel's axes get.
inline constexpr int kTurnTicks = 8;
inline constexpr int kValueTicks = 5;

// A value axis that holds [low, high] with room to spare: both ends moved out to multiples
// of a round tick interval (1, 2, 2.5 or 5 times a power of ten) that gives about
// `targetTicks` ticks. An empty or one-value range is widened around its value first.
AxisModel valueAxis(double low, double high, int targetTicks);
// An axis of turns from `first` to `last` exactly, ticks at round whole numbers.
AxisModel turnAxis(std::int64_t first, std::int64_t last, int targetTicks);

// Where the panels of a figure of `panelCount` panels lie in a picture of width x height:
// a grid of one column for up to three panels, two columns for up to ten, three beyond,
// below a band for the figure's title (and `legendHeight` more for its legend).
struct FigureGrid {
  int columns = 1;
  int rows = 1;
  int titleHeight = 0;
  int panelWidth = 0;
  int panelHeight = 0;
};
FigureGrid figureGrid(int panelCount, int width, int height, int legendHeight = 0);
// A picture size in which every panel of a figure of `panelCount` panels reads well.
struct FigureSize {
  int width = 0;
  int height = 0;
};
FigureSize defaultFigureSize(int panelCount);

}  // namespace vek::plot
