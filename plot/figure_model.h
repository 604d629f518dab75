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

struct PanelModel {
  std::string title;
  AxisModel x;
  AxisModel y;
  std::vector<LineModel> lines;
};

struct FigureModel {
  std::string title;
  std::vector<PanelModel> panels;
};

// A value axis that holds [low, high] with room to spare: both ends moved out to multiples
// of a round tick interval (1, 2, 2.5 or 5 times a power of ten) that gives about
// `targetTicks` ticks. An empty or one-value range is widened around its value first.
AxisModel valueAxis(double low, double high, int targetTicks);
// An axis of turns from `first` to `last` exactly, ticks at round whole numbers.
AxisModel turnAxis(std::int64_t first, std::int64_t last, int targetTicks);

// Where the panels of a figure of `panelCount` panels lie in a picture of width x height:
// a grid of one column for up to three panels, two columns for up to ten, three beyond,
// below a band for the figure's title.
struct FigureGrid {
  int columns = 1;
  int rows = 1;
  int titleHeight = 0;
  int panelWidth = 0;
  int panelHeight = 0;
};
FigureGrid figureGrid(int panelCount, int width, int height);
// A picture size in which every panel of a figure of `panelCount` panels reads well.
struct FigureSize {
  int width = 0;
  int height = 0;
};
FigureSize defaultFigureSize(int panelCount);

}  // namespace vek::plot
