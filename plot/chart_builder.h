// Qt Charts drawn from panel models: one chart per panel, with its title, its turn and value
// axes titled in words and ticked at round numbers, and one line per series (a legend when a
// panel holds several). The charts do not depend on where the model came from, so a window
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

// A new chart that draws `panel`; the caller owns it until it hands it to a scene or a view.
// Each piece of a line is a series of its own in the line's colour; only the first piece of
// a line is named in the legend.
QChart* buildPanelChart(const PanelModel& panel);

}  // namespace vek::plot
