#include "plot/folder_figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "base/instructions.h"
#include "plot/log_reader.h"
#include "plot/plot_test_support.h"

namespace vek::plot {
namespace {

using test::freshFolder;
using test::valueLog;
using test::writeFile;

// Population 10 for turns 1 to 100, then 50; genes 3 with one turn of 90; births and deaths
// that differ; a percentage that is missing at first.
std::string knownFolder() {
  const std::string folder = freshFolder("world");
  std::vector<double> population, genes, births, deaths, share;
  for (int turn = 1; turn <= 200; ++turn) {
    population.push_back(turn <= 100 ? 10 : 50);
    genes.push_back(turn == 150 ? 90 : 3);
    births.push_back(turn % 4);
    deaths.push_back(turn % 2);
    share.push_back(turn <= 5 ? NAN : 25);
  }
  writeFile(folder + "seed_num.log", valueLog(population));
  writeFile(folder + "gene_num.log", valueLog(genes));
  writeFile(folder + "cur_bir.log", valueLog(births));
  writeFile(folder + "cur_dea.log", valueLog(deaths));
  writeFile(folder + "per_edge.log", valueLog(share));
  return folder;
}

PanelSeries panels(const std::string& text) {
  PanelSeries parsed;
  std::string unknown;
  EXPECT_TRUE(parsePanelSeries(text, parsed, unknown)) << unknown;
  return parsed;
}

FolderFigure read(const std::string& folder, const std::string& series, int columns = 100) {
  FolderFigureRequest request;
  request.folder = folder;
  request.panels = panels(series);
  request.pixelColumns = columns;
  return readFolderFigure(request);
}

TEST(LogCatalog, SeriesHaveOneNameEachAndTheirGroupsFollowOneAnother) {
  std::set<std::string> keys, groupsDone;
  std::string group;
  for (const SeriesInfo& info : allSeries()) {
    EXPECT_TRUE(keys.insert(info.key).second) << info.key;
    EXPECT_EQ(findSeries(info.key), &info);
    EXPECT_LT(info.column, kLogFiles[info.file].numbers) << info.key;
    if (info.group != group) {
      EXPECT_TRUE(groupsDone.insert(info.group).second) << info.group << " comes twice";
      group = info.group;
    }
  }
  EXPECT_EQ(keys.size(), 27u + 32u + 2u);
}

// The instructions of `ope_ene.log`'s columns by the names the simulator gives them.
TEST(LogCatalog, InstructionEnergyIsNamedAsTheSimulatorNamesItsInstructions) {
  for (int code = 0; code < kInstructionCount; ++code) {
    const SeriesInfo* byWord = findSeries(std::string("ope_ene.") + wordOf(code));
    ASSERT_NE(byWord, nullptr) << wordOf(code);
    EXPECT_EQ(byWord->column, code + 1);
    EXPECT_EQ(findSeries(std::string("ope_ene.") + longNameOf(code)), byWord) << longNameOf(code);
  }
}

TEST(PanelSeries, CommasSeparatePanelsAndPlusJoinsSeriesOnOne) {
  const PanelSeries parsed = panels("seed_num, cur_bir+cur_dea ,ope_ene.make_leaf");
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[0][0]->key, "seed_num");
  ASSERT_EQ(parsed[1].size(), 2u);
  EXPECT_EQ(parsed[1][1]->key, "cur_dea");
  EXPECT_EQ(parsed[2][0]->key, "ope_ene.makl");
  EXPECT_EQ(parsed[2][0]->column, 28);

  PanelSeries none;
  std::string unknown;
  EXPECT_FALSE(parsePanelSeries("seed_num,seed_nums", none, unknown));
  EXPECT_EQ(unknown, "seed_nums");
  EXPECT_EQ(defaultPanelSeries().size(), 8u);
}

TEST(FolderFigure, PanelsOfAKnownFolderHaveTheirTurnsValuesAndLines) {
  const std::string folder = knownFolder();
  const FolderFigure figure = read(folder, "seed_num,gene_num,cur_bir+cur_dea,per_edge");
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_TRUE(figure.notes.empty());
  EXPECT_EQ(figure.from, 1);
  EXPECT_EQ(figure.to, 200);
  EXPECT_EQ(figure.figure.title, folder.substr(0, folder.size() - 1) + ": turns 1 to 200");
  ASSERT_EQ(figure.figure.panels.size(), 4u);

  const PanelModel& population = figure.figure.panels[0];
  EXPECT_EQ(population.title, "Living individuals");
  EXPECT_EQ(population.x.title, "Turn");
  EXPECT_EQ(population.x.min, 1);
  EXPECT_EQ(population.x.max, 200);
  EXPECT_EQ(population.y.title, "individuals");
  EXPECT_EQ(population.y.min, 10);
  EXPECT_EQ(population.y.max, 50);
  ASSERT_EQ(population.lines.size(), 1u);
  ASSERT_EQ(population.lines[0].pieces.size(), 1u);
  EXPECT_EQ(population.lines[0].pieces[0].front(), (PlotPoint{1, 10}));
  EXPECT_EQ(population.lines[0].pieces[0].back(), (PlotPoint{200, 50}));

  const PanelModel& genes = figure.figure.panels[1];
  EXPECT_EQ(genes.y.max, 100) << "the one-turn spike sets the range";

  const PanelModel& births = figure.figure.panels[2];
  EXPECT_EQ(births.title, "Births per turn / Deaths per turn");
  ASSERT_EQ(births.lines.size(), 2u);
  EXPECT_EQ(births.lines[0].name, "Births per turn");
  EXPECT_EQ(births.lines[1].colour, 1);
  EXPECT_EQ(births.y.min, 0);
  EXPECT_EQ(births.y.max, 3);

  const PanelModel& share = figure.figure.panels[3];
  ASSERT_EQ(share.lines[0].pieces.size(), 1u);
  EXPECT_EQ(share.lines[0].pieces[0].front().x, 6) << "the missing turns are a gap";
}

TEST(FolderFigure, TurnsFollowTheLinesFromTheFirstTurnAndTheAskedRange) {
  const std::string folder = knownFolder();
  FolderFigureRequest request;
  request.folder = folder;
  request.panels = panels("seed_num");
  request.pixelColumns = 1000;
  request.firstTurn = 1001;
  request.from = 1050;
  request.to = 1150;
  const FolderFigure figure = readFolderFigure(request);
  ASSERT_TRUE(figure.ok()) << figure.error;
  const PanelModel& panel = figure.figure.panels[0];
  EXPECT_EQ(panel.x.min, 1050);
  EXPECT_EQ(panel.x.max, 1150);
  const auto& line = panel.lines[0].pieces[0];
  EXPECT_EQ(line.front(), (PlotPoint{1050, 10}));
  EXPECT_EQ(line.back(), (PlotPoint{1150, 50}));
  // Line 101 (turn 1101) is the first of population 50.
  EXPECT_NE(std::find(line.begin(), line.end(), PlotPoint{1101, 50}), line.end());
  EXPECT_NE(std::find(line.begin(), line.end(), PlotPoint{1100, 10}), line.end());

  request.firstTurn = 1;
  request.from = 300;
  request.to.reset();
  EXPECT_EQ(readFolderFigure(request).error, folder + "seed_num.log ends at turn 200, before turn 300");
}

TEST(FolderFigure, FailuresNameTheFolderOrTheFileAndLine) {
  const std::string folder = knownFolder();
  EXPECT_EQ(read(folder + "nowhere", "seed_num").error, folder + "nowhere: no such folder");
  const std::string empty = freshFolder("empty");
  writeFile(empty + "notes.txt", "not a log\n");
  EXPECT_EQ(read(empty, "seed_num").error, empty.substr(0, empty.size() - 1) +
                                               " holds no statistics logs (seed_num.log and the others): is it a "
                                               "world's save folder?");
  EXPECT_EQ(read(folder, "seed_num,ave_eva").error, "cannot open " + folder + "ave_eva.log: No such file or directory");

  writeFile(folder + "gene_num.log", "10 1\r\n20 2\r\n30 three\r\n");
  EXPECT_EQ(read(folder, "seed_num,gene_num").error, folder + "gene_num.log line 3: \"three\" is not a number");

  const std::string fresh = freshFolder("fresh");
  writeFile(fresh + "seed_num.log", "");
  EXPECT_EQ(read(fresh, "seed_num").error, fresh + "seed_num.log holds no turn yet: the world has not run");
}

TEST(FolderFigure, NotesLogsThatRepeatTurnsOrEndEarly) {
  const std::string folder = knownFolder();
  writeFile(folder + "gene_num.log", "10 1\r\n20 2\r\n15 3\r\n25 4\r\n35 5");
  const FolderFigure figure = read(folder, "seed_num,gene_num");
  ASSERT_TRUE(figure.ok()) << figure.error;
  const std::string log = folder + "gene_num.log";
  EXPECT_EQ(figure.notes,
            (std::vector<std::string>{
                log + " line 3: the step counter goes back, so the world was continued from a save older than the "
                      "log's end and the lines from here on repeat turns already logged; turns are counted one per "
                      "line",
                log + ": the last line has no line end (being written, or cut off); it is left out",
                log + " ends at turn 4, before turn 200"}));
}

// The logs a world really writes: every one of them is known here by its name and shape, and
// every series reads them to their last line.
TEST(FolderFigure, EveryLogOfAWorldRunByVekBatchIsKnownAndReadsWhole) {
  const std::string folder = test::batchWorld(freshFolder("batch"), 60);
  std::set<std::string> written, known;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".log" && entry.path().filename() != "log_turn.log")
      written.insert(entry.path().filename().string());
  for (const LogFile& file : kLogFiles) known.insert(file.name);
  EXPECT_EQ(written, known);

  for (const SeriesInfo& info : allSeries()) {
    std::int64_t lines = 0;
    const LogReadOutcome outcome = readLogColumn(folder + kLogFiles[info.file].name, kLogFiles[info.file],
                                                 info.column, 0, [&](std::int64_t, double) { ++lines; });
    EXPECT_TRUE(outcome.ok()) << info.key << ": " << outcome.error;
    EXPECT_EQ(lines, 60) << info.key;
    EXPECT_EQ(outcome.counterBackLine, 0) << info.key;
  }
  const FolderFigure figure = read(folder, defaultPanelSeriesText());
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_EQ(figure.to, 60);
  EXPECT_EQ(figure.figure.panels[0].lines[0].pieces[0].front(), (PlotPoint{1, 1})) << "one individual at first";
}

}  // namespace
}  // namespace vek::plot
