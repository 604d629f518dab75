// vek-plot: draws a save folder's statistics logs into a picture without a display.
#include <QApplication>
#include <cstdio>

#include "plot/figure_scene.h"
#include "plot/folder_figure.h"
#include "plot/plot_options.h"

namespace {

// Qt's own remarks (a missing runtime folder, font fallbacks) are not the user's business; what
// goes wrong with the picture is reported by the program itself.
void reportQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "vek-plot: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vek::plot;
  const ParsedCommandLine parsed = parseCommandLine(argc, argv);
  if (!parsed.options) return parsed.exitCode;
  const PlotOptions& options = *parsed.options;
  if (options.list) {
    std::fputs(seriesListText().c_str(), stdout);
    return 0;
  }

  // The program never shows a window: Qt's offscreen platform draws without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(reportQtFailures);
  int qtArgc = 1;
  QApplication application(qtArgc, argv);

  const int panels = static_cast<int>(options.panels.size());
  FigureSize size{options.width, options.height};
  if (size.width == 0) size = defaultFigureSize(panels);

  FolderFigureRequest request;
  request.folder = options.folder;
  request.panels = options.panels;
  request.firstTurn = options.firstTurn;
  request.from = options.from;
  request.to = options.to;
  request.pixelColumns = figureGrid(panels, size.width, size.height).panelWidth;
  const FolderFigure figure = readFolderFigure(request);
  for (const std::string& note : figure.notes) std::fprintf(stderr, "vek-plot: note: %s\n", note.c_str());
  if (!figure.ok()) {
    std::fprintf(stderr, "vek-plot: %s\n", figure.error.c_str());
    return 1;
  }

  const FigureScene scene(figure.figure, QSize(size.width, size.height));
  const QString failure = scene.write(QString::fromStdString(options.out));
  if (!failure.isEmpty()) {
    std::fprintf(stderr, "vek-plot: %s\n", failure.toLocal8Bit().constData());
    return 1;
  }
  if (!options.quiet)
    std::printf("vek-plot: wrote %s (%d panel%s, turns %lld to %lld)\n", options.out.c_str(), panels,
                panels == 1 ? "" : "s", static_cast<long long>(figure.from), static_cast<long long>(figure.to));
  return 0;
}
