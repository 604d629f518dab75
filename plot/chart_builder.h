// Qt Charts drawn from panel models: one chart per panel, with its title, its turn and value
// axes titled in words and ticked at round numbers, its filled areas, one line per series (a
// legend when a panel holds several) and its labels. The charts do not depend on where the model came from, so a window
// that shows charts and a program that writes pictures draw the same.
//
// Qt Charts are graphics widgets: build them on the thread of the QApplication.
#pragma once

#include <QColor>

#include "plot/figure_model.h"

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace vek::plot {

// The colour of line `index` of a panel: ten colours that stay apart on white, repeating.
QColor paletteColour(int index);

// Palette colour `index` in variant `shade` (figure_model.h's AreaModel): 0 the colour itself,
// 1 and 2 paler, 3 deeper; shades repeat beyond.
QColor shadedColour(int index, int shade);

// A new chart that draws `panel`; the caller owns it until it hands it to a scene or a view.
// The areas come first, each piece an area series of its own; then the lines, each piece a
// line series of its own in the line's colour, only a line's first piece named in the legend;
// then the labels, which follow the plot when the chart is resized.
QChart* buildPanelChart(const PanelModel& panel);

}  // namespace vek::plot
