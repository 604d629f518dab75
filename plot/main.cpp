// vek-plot: draws a save folder's statistics logs, a sweep's settings or a lineage's Muller plot
// into a picture without a display.
#include <QApplication>
#include <cstdio>

#include "plot/figure_scene.h"
#include "plot/folder_figure.h"
#include "plot/muller_figure.h"
#include "plot/plot_options.h"
#include "plot/sweep_figure.h"

namespace {

using namespace vek::plot;

// A Muller plot is one wide panel with room for its nested areas.
constexpr FigureSize kMullerSize{1200, 700};

// Qt's own remarks (a missing runtime folder, font fallbacks) are not the user's business; what
// goes wrong with the picture is reported by the program itself.
void reportQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "vek-plot: %s\n", message.toLocal8Bit().constData());
}

// What a figure reader gave: its notes on standard error; false (after its error) when it failed.
bool reported(const std::string& error, const std::vector<std::string>& notes) {
  for (const std::string& note : notes) std::fprintf(stderr, "vek-plot: note: %s\n", note.c_str());
  if (error.empty()) return true;
  std::fprintf(stderr, "vek-plot: %s\n", error.c_str());
  return false;
}

// Writes the picture; 0, or 1 after a message.
int write(const FigureModel& figure, FigureSize size, const std::string& out) {
  const FigureScene scene(figure, QSize(size.width, size.height));
  const QString failure = scene.write(QString::fromStdString(out));
  if (failure.isEmpty()) return 0;
  std::fprintf(stderr, "vek-plot: %s\n", failure.toLocal8Bit().constData());
  return 1;
}

FigureSize sizeFor(const PlotOptions& options, FigureSize fallback) {
  return options.width > 0 ? FigureSize{options.width, options.height} : fallback;
}

std::string panelsText(std::size_t panels) { return std::to_string(panels) + (panels == 1 ? " panel" : " panels"); }

int drawMuller(const PlotOptions& options) {
  if (isSweepFolder(options.folder)) {
    std::fprintf(stderr,
                 "vek-plot: --muller draws one world's lineage, and %s is a sweep's folder: name one run's save "
                 "folder (runs/.../seed=S/original_log)\n",
                 options.folder.c_str());
    return 2;
  }
  const FigureSize size = sizeFor(options, kMullerSize);
  MullerRequest request;
  request.folder = options.folder;
  request.from = options.from;
  request.to = options.to;
  request.pixelColumns = figureGrid(1, size.width, size.height).panelWidth;
  const MullerFigure figure = readMullerFigure(request);
  if (!reported(figure.error, figure.notes)) return 1;
  if (const int failed = write(figure.figure, size, options.out)) return failed;
  if (!options.quiet)
    std::printf("vek-plot: wrote %s (Muller plot of %zu of %d genomes, turns %lld to %lld)\n", options.out.c_str(),
                figure.areaGenome.size(), figure.genomes, static_cast<long long>(figure.from),
                static_cast<long long>(figure.to));
  return 0;
}

int drawSweep(const PlotOptions& options) {
  SweepFigureRequest request;
  request.folder = options.folder;
  request.series = options.seriesGiven ? sweepSeries(options.panels) : defaultSweepSeries();
  request.firstTurn = options.firstTurn;
  request.from = options.from;
  request.to = options.to;
  const int panels = static_cast<int>(request.series.size());
  const FigureSize size = sizeFor(options, defaultFigureSize(panels));
  request.pixelColumns = figureGrid(panels, size.width, size.height).panelWidth;
  const SweepFigure figure = readSweepFigure(request);
  if (!reported(figure.error, figure.notes)) return 1;
  if (const int failed = write(figure.figure, size, options.out)) return failed;
  if (!options.quiet)
    std::printf("vek-plot: wrote %s (%s, %d setting%s of %d run%s, turns %lld to %lld)\n", options.out.c_str(),
                panelsText(request.series.size()).c_str(), figure.settings, figure.settings == 1 ? "" : "s",
                figure.runs, figure.runs == 1 ? "" : "s", static_cast<long long>(figure.from),
                static_cast<long long>(figure.to));
  return 0;
}

int drawFolder(const PlotOptions& options) {
  const int panels = static_cast<int>(options.panels.size());
  const FigureSize size = sizeFor(options, defaultFigureSize(panels));
  FolderFigureRequest request;
  request.folder = options.folder;
  request.panels = options.panels;
  request.firstTurn = options.firstTurn;
  request.from = options.from;
  request.to = options.to;
  request.pixelColumns = figureGrid(panels, size.width, size.height).panelWidth;
  const FolderFigure figure = readFolderFigure(request);
  if (!reported(figure.error, figure.notes)) return 1;
  if (const int failed = write(figure.figure, size, options.out)) return failed;
  if (!options.quiet)
    std::printf("vek-plot: wrote %s (%s, turns %lld to %lld)\n", options.out.c_str(),
                panelsText(options.panels.size()).c_str(), static_cast<long long>(figure.from),
                static_cast<long long>(figure.to));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
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

  if (options.muller) return drawMuller(options);
  if (isSweepFolder(options.folder)) return drawSweep(options);
  return drawFolder(options);
}
