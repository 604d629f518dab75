#include "plot/figure_model.h"

#include <algorithm>
#include <cmath>

namespace vek::plot {

namespace {

constexpr int kTitleHeight = 40;

struct Step {
  double interval;
  int decimals;
};

// The round interval nearest above span / target: 1, 2, 2.5 or 5 times a power of ten (only
// 1, 2 and 5 for whole numbers), with the digits its labels need.
Step roundStep(double span, int target, bool wholeNumbers) {
  const double raw = span / std::max(target, 1);
  int exponent = static_cast<int>(std::floor(std::log10(raw)));
  const double scale = std::pow(10.0, exponent);
  const double fraction = raw / scale;
  double mantissa = 10;
  for (double candidate : {1.0, 2.0, 2.5, 5.0}) {
    if (wholeNumbers && candidate == 2.5) continue;
    if (fraction <= candidate * (1 + 1e-9)) {
      mantissa = candidate;
      break;
    }
  }
  if (mantissa == 10) {
    mantissa = 1;
    ++exponent;
  }
  const int decimals = std::max(0, -exponent + (mantissa == 2.5 ? 1 : 0));
  return {mantissa * std::pow(10.0, exponent), decimals};
}

}  // namespace

AxisModel valueAxis(double low, double high, int targetTicks) {
  if (!std::isfinite(low) || !std::isfinite(high) || high < low) low = 0, high = 1;
  if (high == low) {
    if (low == 0) {
      high = 1;
    } else {
      const double margin = std::fabs(low) * 0.1;
      low -= margin;
      high += margin;
    }
  }
  const Step step = roundStep(high - low, targetTicks, false);
  AxisModel axis;
  axis.tickInterval = step.interval;
  axis.decimals = step.decimals;
  axis.min = std::floor(low / step.interval) * step.interval;
  axis.max = std::ceil(high / step.interval) * step.interval;
  return axis;
}

AxisModel turnAxis(std::int64_t first, std::int64_t last, int targetTicks) {
  AxisModel axis;
  axis.min = static_cast<double>(first);
  axis.max = static_cast<double>(std::max(last, first + 1));
  const Step step = roundStep(axis.max - axis.min, targetTicks, true);
  axis.tickInterval = std::max(step.interval, 1.0);
  axis.decimals = 0;
  return axis;
}

FigureGrid figureGrid(int panelCount, int width, int height, int legendHeight) {
  FigureGrid grid;
  const int panels = std::max(panelCount, 1);
  grid.columns = panels <= 3 ? 1 : panels <= 10 ? 2 : 3;
  grid.rows = (panels + grid.columns - 1) / grid.columns;
  grid.titleHeight = kTitleHeight + std::max(legendHeight, 0);
  grid.panelWidth = std::max(width / grid.columns, 1);
  grid.panelHeight = std::max((height - grid.titleHeight) / grid.rows, 1);
  return grid;
}

FigureSize defaultFigureSize(int panelCount) {
  const FigureGrid grid = figureGrid(panelCount, 1, 1);
  if (grid.columns == 1) return {1000, kTitleHeight + grid.rows * 380};
  return {grid.columns * 800, kTitleHeight + grid.rows * 320};
}

}  // namespace vek::plot
