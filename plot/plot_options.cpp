#include "plot/plot_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "plot/figure_scene.h"
#include "plot/sweep_figure.h"

namespace vek::plot {

namespace {

constexpr int kMinSide = 200;
constexpr int kMaxSide = 10000;

// The picture's default name: the folder's own name, in the working folder.
std::string defaultOutName(const std::string& folder, bool muller) {
  std::filesystem::path path = std::filesystem::absolute(folder).lexically_normal();
  if (path.filename().empty()) path = path.parent_path();
  const std::string name = path.filename().string();
  return (name.empty() || name == "/" ? std::string("plot") : name) + (muller ? "-muller.png" : ".png");
}

bool parseSize(const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  char x = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X')) return false;
  if (w < kMinSide || h < kMinSide || w > kMaxSide || h > kMaxSide) return false;
  width = w;
  height = h;
  return true;
}

int usageError(const std::string& message) {
  std::fprintf(stderr, "vek-plot: %s\nRun vek-plot --help for the options.\n", message.c_str());
  return 2;
}

}  // namespace

ParsedCommandLine parseCommandLine(int argc, char** argv) {
  PlotOptions o;
  std::string series, size;
  long long from = -1, to = -1;
  CLI::App app{
      "Draws the statistics logs of a world's save folder as a picture: one panel per series against\n"
      "the turn, each log read as a stream and reduced to the picture's pixel columns (the smallest and\n"
      "largest value of each column kept, so single spikes stay visible).\n"
      "Given a sweep's folder (vek-sweep plan; it holds runs.csv), one line per parameter setting: the\n"
      "mean over its replicates in a band of the 95 % confidence interval.\n"
      "With --muller, the Muller plot of the folder's lineage (phylogeny.csv, lineage_counts.csv).",
      "vek-plot"};
  app.add_option("FOLDER", o.folder,
                 "The save folder (the folder holding Vek.vek and the *.log files), or a sweep's folder")
      ->type_name("FOLDER");
  app.add_option("--series", series,
                 "The series to draw, one panel each, separated by commas; '+' puts several on one panel "
                 "(not in a sweep, whose panels show a series each; default: " + defaultPanelSeriesText() +
                 "; for a sweep: " + defaultSweepSeriesText() + "; --list shows them all)")
      ->type_name("NAME,...");
  app.add_flag("--muller", o.muller,
               "Draw the Muller plot of the save folder's lineage: the carriers of each genome and its "
               "descendants over the turns, nested by descent, coloured by clade");
  app.add_option("--out", o.out,
                 "The picture to write, PNG, SVG or PDF by its extension (default: FOLDERNAME.png, "
                 "FOLDERNAME-muller.png for --muller)")
      ->type_name("FILE");
  app.add_option("--size", size, "The picture's width and height in pixels (default: by the number of panels)")
      ->type_name("WxH");
  app.add_option("--from", from, "The first turn to draw")->type_name("T")->check(CLI::NonNegativeNumber);
  app.add_option("--to", to, "The last turn to draw")->type_name("T")->check(CLI::NonNegativeNumber);
  app.add_option("--first-turn", o.firstTurn,
                 "The turn of the logs' first line; 1 for logs kept since the world was created, which is "
                 "how this system keeps them")
      ->type_name("T")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  app.add_flag("--list", o.list, "Print the series that can be drawn, and end");
  app.add_flag("--quiet", o.quiet, "No line naming the written picture");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return {std::nullopt, app.exit(help)};
  } catch (const CLI::ParseError& error) {
    return {std::nullopt, usageError(error.what())};
  }
  if (o.list) return {o, 0};
  if (o.folder.empty()) return {std::nullopt, usageError("name the save folder to draw")};

  if (o.muller && !series.empty()) return {std::nullopt, usageError("--muller draws the lineage, not --series")};
  if (series.empty()) {
    o.panels = defaultPanelSeries();
  } else {
    o.seriesGiven = true;
    std::string unknown;
    if (!parsePanelSeries(series, o.panels, unknown))
      return {std::nullopt, usageError("unknown series \"" + unknown + "\". Known series: " + knownSeriesText())};
    if (o.panels.empty()) return {std::nullopt, usageError("--series names no series")};
  }
  if (!size.empty() && !parseSize(size, o.width, o.height))
    return {std::nullopt, usageError("--size " + size + ": expected WIDTHxHEIGHT, each from " +
                                     std::to_string(kMinSide) + " to " + std::to_string(kMaxSide) + " pixels")};
  if (o.out.empty()) o.out = defaultOutName(o.folder, o.muller);
  if (pictureFormatOf(QString::fromStdString(o.out)) == PictureFormat::Unknown)
    return {std::nullopt, usageError("--out " + o.out + ": the name must end in .png, .svg or .pdf")};
  if (from >= 0) o.from = from;
  if (to >= 0) o.to = to;
  if (o.from && o.to && *o.from > *o.to)
    return {std::nullopt, usageError("--from " + std::to_string(from) + " comes after --to " + std::to_string(to))};
  if (o.to && *o.to < o.firstTurn)
    return {std::nullopt, usageError("--to " + std::to_string(to) + " comes before the first turn " +
                                     std::to_string(o.firstTurn))};
  return {o, 0};
}

std::string seriesListText() {
  std::string text;
  std::string group;
  for (const SeriesInfo& info : allSeries()) {
    if (info.group != group) {
      group = info.group;
      text += (text.empty() ? "" : "\n") + group + ":\n";
    }
    char line[256];
    std::snprintf(line, sizeof line, "  %-16s %s [%s]\n", info.key.c_str(), info.title.c_str(), info.unit.c_str());
    text += line;
  }
  return text;
}

}  // namespace vek::plot
