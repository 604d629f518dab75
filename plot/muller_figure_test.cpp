#include "plot/muller_figure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "plot/chart_builder.h"
#include "plot/figure_scene.h"
#include "plot/plot_test_support.h"

namespace vek::plot {
namespace {

using test::freshFolder;
using test::writeFile;

constexpr const char* kPhylogenyHeader =
    "id,ancestor_list,origin_time,destruction_time,gene,length,peak_carriers,total_carriers\r\n";

// A root 0 with daughters 1 and 2; 3 is 1's daughter and 4 is 3's; 5 is 2's daughter with
// a father of 1's genome. Genome 1 dies out after turn 40, while its line lives on.
std::string handMadeFolder() {
  const std::string folder = freshFolder("lineage");
  writeFile(folder + "phylogeny.csv", std::string(kPhylogenyHeader) +
                                          "0,[none],0,,61-0-1,61,10,100\r\n"
                                          "1,[0],5,45,61-50-1,61,4,16\r\n"
                                          "2,[0],8,,60-80-1,60,6,60\r\n"
                                          "3,[1],20,,62-200-1,62,3,27\r\n"
                                          "4,[3],30,,62-300-1,62,2,16\r\n"
                                          "5,\"[2, 1]\",35,,60-350-1,60,5,35\r\n");
  std::string counts = "turn,id,carriers\r\n";
  for (int turn = 10; turn <= 100; turn += 10) {
    const auto row = [&](int id, int carriers) {
      counts += std::to_string(turn) + "," + std::to_string(id) + "," + std::to_string(carriers) + "\r\n";
    };
    if (turn >= 30) row(4, 2);
    row(2, 6);
    if (turn >= 40) row(5, 5);
    row(0, 10);
    if (turn <= 40) row(1, 4);
    if (turn >= 20) row(3, 3);
  }
  writeFile(folder + "lineage_counts.csv", counts);
  return folder;
}

MullerFigure readMuller(const std::string& folder, int columns = 200) {
  MullerRequest request;
  request.folder = folder;
  request.pixelColumns = columns;
  return readMullerFigure(request);
}

int areaOf(const MullerFigure& figure, int genome) {
  const auto it = std::find(figure.areaGenome.begin(), figure.areaGenome.end(), genome);
  return it == figure.areaGenome.end() ? -1 : static_cast<int>(it - figure.areaGenome.begin());
}

// The band of an area at turn x; high < low when the area is not there.
BandPoint bandAt(const AreaModel& area, double x) {
  for (const auto& piece : area.pieces)
    for (const BandPoint& point : piece)
      if (point.x == x) return point;
  return {x, 1, 0};
}

// Every area lies inside its mother's area wherever it is drawn; returns the points checked.
int checkNesting(const MullerFigure& figure) {
  const PanelModel& panel = figure.figure.panels.at(0);
  int checked = 0;
  for (std::size_t a = 0; a < panel.areas.size(); ++a) {
    const int mother = figure.areaMother[a];
    if (mother < 0) continue;
    for (const auto& piece : panel.areas[a].pieces)
      for (const BandPoint& point : piece) {
        const BandPoint outer = bandAt(panel.areas[static_cast<std::size_t>(mother)], point.x);
        EXPECT_LE(outer.low, point.low + 1e-9) << "genome " << figure.areaGenome[a] << " at turn " << point.x;
        EXPECT_GE(outer.high, point.high - 1e-9) << "genome " << figure.areaGenome[a] << " at turn " << point.x;
        ++checked;
      }
  }
  return checked;
}

TEST(MullerFigure, EachDaughterLiesInsideHerMotherAsHighAsHerClade) {
  const MullerFigure figure = readMuller(handMadeFolder());
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_TRUE(figure.notes.empty());
  EXPECT_EQ(figure.genomes, 6);
  EXPECT_EQ(figure.from, 10);
  EXPECT_EQ(figure.to, 100);
  EXPECT_EQ(figure.areaGenome, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(figure.areaMother, (std::vector<int>{-1, 0, 0, 1, 3, 2}));
  EXPECT_GT(checkNesting(figure), 30);

  const PanelModel& panel = figure.figure.panels[0];
  const auto band = [&](int genome, double turn) { return bandAt(panel.areas[static_cast<std::size_t>(areaOf(figure, genome))], turn); };
  // Turn 10: half the root's own 10 below her daughters, 1 then 2, half above.
  EXPECT_EQ(band(0, 10), (BandPoint{10, 0, 20}));
  EXPECT_EQ(band(1, 10), (BandPoint{10, 5, 9}));
  EXPECT_EQ(band(2, 10), (BandPoint{10, 9, 15}));
  // Turn 60: genome 1 has died out and is as high as her daughter's line (3 and 4).
  EXPECT_EQ(band(0, 60), (BandPoint{60, 0, 26}));
  EXPECT_EQ(band(1, 60), (BandPoint{60, 5, 10}));
  EXPECT_EQ(band(3, 60), (BandPoint{60, 5, 10}));
  EXPECT_EQ(band(4, 60), (BandPoint{60, 6.5, 8.5}));
  EXPECT_EQ(band(2, 60), (BandPoint{60, 10, 21}));
  EXPECT_EQ(band(5, 60), (BandPoint{60, 13, 18}));
  EXPECT_GT(band(5, 30).low, band(5, 30).high) << "not yet born";
  ASSERT_EQ(panel.areas[static_cast<std::size_t>(areaOf(figure, 5))].pieces.size(), 1u);
  EXPECT_EQ(panel.areas[static_cast<std::size_t>(areaOf(figure, 5))].pieces[0].front().x, 40);

  // Clades by colour: the root grey, her daughters each a colour of their own (in the order
  // they arose), and every generation another shade of its clade's colour.
  const auto& areas = panel.areas;
  EXPECT_EQ(areas[0].colour, 7);
  EXPECT_EQ(areas[1].colour, 0);
  EXPECT_EQ(areas[2].colour, 1);
  EXPECT_EQ(areas[3].colour, 0);
  EXPECT_EQ(areas[4].colour, 0);
  EXPECT_EQ(areas[5].colour, 1);
  EXPECT_EQ(areas[1].shade, 0);
  EXPECT_EQ(areas[3].shade, 1);
  EXPECT_EQ(areas[4].shade, 2);
  EXPECT_EQ(areas[4].name, "62-300-1");
  EXPECT_EQ(panel.y.min, 0);
  EXPECT_GE(panel.y.max, 30);
  ASSERT_FALSE(panel.labels.empty());
  EXPECT_EQ(panel.labels.front().text, "61-0-1") << "the most carriers of its own";
  EXPECT_LE(panel.labels.size(), static_cast<std::size_t>(kMullerLabels));
  EXPECT_EQ(figure.figure.title, figure.figure.title.substr(0, figure.figure.title.find(':')) +
                                     ": Muller plot of 6 of 6 genomes, turns 10 to 100");

  // The picture: in each band the genome's own colour, a daughter's inside her mother's
  // (between the grid's lines, at turns whose bands are those of turn 60).
  const FigureScene scene(figure.figure, QSize(1000, 700));
  const QImage image = scene.toImage();
  const auto colourAt = [&](double turn, double value) {
    const QPointF p = scene.pixelOf(0, {turn, value});
    return image.pixelColor(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
  };
  const auto near = [](QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 12;
  };
  for (double turn : {65.0, 83.0}) {
    EXPECT_TRUE(near(colourAt(turn, 7.5), shadedColour(0, 2))) << "genome 4 at " << turn;
    EXPECT_TRUE(near(colourAt(turn, 9.25), shadedColour(0, 1))) << "genome 3 around 4 at " << turn;
    EXPECT_TRUE(near(colourAt(turn, 15.5), shadedColour(1, 1))) << "genome 5 at " << turn;
    EXPECT_TRUE(near(colourAt(turn, 11.5), shadedColour(1, 0))) << "genome 2 around 5 at " << turn;
    EXPECT_TRUE(near(colourAt(turn, 2.5), shadedColour(7, 1))) << "the root around all at " << turn;
    EXPECT_TRUE(near(colourAt(turn, 28), Qt::white)) << "nothing above the population at " << turn;
  }
}

TEST(MullerFigure, SmallLineagesAreDrawnInTheirNearestDrawnAncestor) {
  // A root of 1000 carriers with 400 daughters of one carrier and one of 300.
  std::string folder = freshFolder("crowd");
  std::string phylogeny = std::string(kPhylogenyHeader) + "0,[none],0,,61-0-1,61,1000,1000\r\n";
  std::string counts = "turn,id,carriers\r\n10,0,1000\r\n";
  for (int id = 1; id <= 401; ++id) {
    phylogeny += std::to_string(id) + ",[0],5,,61-" + std::to_string(id) + "-1,61,1,1\r\n";
    counts += "10," + std::to_string(id) + "," + (id == 401 ? "300" : "1") + "\r\n";
  }
  counts += "20,0,1000\r\n";
  writeFile(folder + "phylogeny.csv", phylogeny);
  writeFile(folder + "lineage_counts.csv", counts);
  MullerFigure figure = readMuller(folder);
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_EQ(figure.areaGenome, (std::vector<int>{0, 401}));
  EXPECT_EQ(bandAt(figure.figure.panels[0].areas[0], 10), (BandPoint{10, 0, 1700})) << "no carrier lost";
  EXPECT_EQ(bandAt(figure.figure.panels[0].areas[1], 10), (BandPoint{10, 700, 1000}));

  // A line of 400 genomes, each alone in its turn: at most kMullerMaxAreas of them apart (the
  // oldest, as all are as common), the younger ones inside the youngest drawn.
  folder = freshFolder("line");
  phylogeny = std::string(kPhylogenyHeader) + "0,[none],0,10,61-0-1,61,10,10\r\n";
  counts = "turn,id,carriers\r\n10,0,10\r\n";
  for (int id = 1; id < 400; ++id) {
    phylogeny += std::to_string(id) + ",[" + std::to_string(id - 1) + "],0,,61-" + std::to_string(id) + "-1,61,10,10\r\n";
    counts += std::to_string(10 * (id + 1)) + "," + std::to_string(id) + ",10\r\n";
  }
  writeFile(folder + "phylogeny.csv", phylogeny);
  writeFile(folder + "lineage_counts.csv", counts);
  figure = readMuller(folder, 800);
  ASSERT_TRUE(figure.ok()) << figure.error;
  ASSERT_EQ(figure.areaGenome.size(), static_cast<std::size_t>(kMullerMaxAreas));
  EXPECT_EQ(figure.areaGenome.back(), kMullerMaxAreas - 1);
  EXPECT_EQ(bandAt(figure.figure.panels[0].areas.back(), 4000), (BandPoint{4000, 0, 10}));
  EXPECT_GT(checkNesting(figure), 1000);
}

TEST(MullerFigure, GenomesThatThePhylogenyNoLongerHoldsAreOneGreyAreaOnTop) {
  const std::string folder = handMadeFolder();
  writeFile(folder + "lineage_counts.csv", test::readFile(folder + "lineage_counts.csv") + "110,0,10\r\n110,77,4\r\n");
  const MullerFigure figure = readMuller(folder);
  ASSERT_TRUE(figure.ok()) << figure.error;
  ASSERT_EQ(figure.notes.size(), 1u);
  EXPECT_NE(figure.notes[0].find("1 rows name genomes that phylogeny.csv does not hold"), std::string::npos);
  EXPECT_EQ(figure.areaGenome.back(), -1);
  EXPECT_EQ(figure.areaMother.back(), -1);
  const AreaModel& others = figure.figure.panels[0].areas.back();
  EXPECT_EQ(others.name, "genomes not in phylogeny.csv");
  EXPECT_EQ(others.colour, 7);
  EXPECT_EQ(bandAt(others, 110), (BandPoint{110, 10, 14}));
}

TEST(MullerFigure, FailuresNameTheFileAndLine) {
  const std::string folder = handMadeFolder();
  const std::string counts = folder + "lineage_counts.csv";
  writeFile(counts, "turn,id,carriers\r\n");
  EXPECT_EQ(readMuller(folder).error,
            counts + " holds no counts yet (a world writes them every K turns: vek-batch --lineage-every K)");
  writeFile(counts, "turn,id,carriers\r\n10,0,3\r\n10,x,3\r\n");
  EXPECT_EQ(readMuller(folder).error, counts + " line 3: expected turn,id,carriers (whole numbers), found \"10,x,3\"");
  writeFile(counts, "turn,id,carriers\r\n20,0,3\r\n10,0,3\r\n");
  EXPECT_EQ(readMuller(folder).error, counts + " line 3: turn 10 comes after turn 20 (the turns must ascend)");
  writeFile(counts, "turn,genome,carriers\r\n");
  EXPECT_EQ(readMuller(folder).error, counts + " line 1: the header row is not \"turn,id,carriers\"");
  std::filesystem::remove(counts);
  EXPECT_EQ(readMuller(folder).error, "cannot open " + counts + ": No such file or directory");

  const std::string phylogeny = folder + "phylogeny.csv";
  const std::string rows = test::readFile(phylogeny);
  writeFile(phylogeny, rows + "9,[8],40,,61-9-1,61,1,1\r\n");
  EXPECT_EQ(readMuller(folder).error, phylogeny + " line 8: the ancestor 8 of node 9 is no earlier node");
  writeFile(phylogeny, rows + "9,[4],forty,,61-9-1,61,1,1\r\n");
  EXPECT_EQ(readMuller(folder).error, phylogeny + " line 8: the origin time \"forty\" is no turn");
  std::filesystem::remove(phylogeny);
  EXPECT_EQ(readMuller(folder).error, "cannot open " + phylogeny + ": No such file or directory");
}

// A world running right now: the last rows of its files are being written.
TEST(MullerFigure, LastRowsBeingWrittenAreLeftOutAndNoted) {
  const std::string folder = handMadeFolder();
  writeFile(folder + "phylogeny.csv", test::readFile(folder + "phylogeny.csv") + "6,[5],101,,60-4");
  writeFile(folder + "lineage_counts.csv", test::readFile(folder + "lineage_counts.csv") + "110,0,1");
  const MullerFigure figure = readMuller(folder);
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_EQ(figure.genomes, 6);
  EXPECT_EQ(figure.to, 100);
  ASSERT_EQ(figure.notes.size(), 2u);
  EXPECT_NE(figure.notes[0].find("phylogeny.csv: the last row has no line end"), std::string::npos);
  EXPECT_NE(figure.notes[1].find("lineage_counts.csv: the last line has no line end"), std::string::npos);
}

// A real world's lineage: thousands of genomes, every drawn one inside its mother.
TEST(MullerFigure, TheLineageOfARealWorldNests) {
  const std::string folder = test::batchWorld(freshFolder("batch"), 600);
  const MullerFigure figure = readMuller(folder, 600);
  ASSERT_TRUE(figure.ok()) << figure.error;
  EXPECT_GT(figure.genomes, 100);
  EXPECT_LT(figure.areaGenome.size(), static_cast<std::size_t>(figure.genomes));
  EXPECT_EQ(figure.to, 600);
  EXPECT_GT(checkNesting(figure), 100);
  // The stack is the population: the roots' areas end where the logs' population is.
  const std::string population = test::readFile(folder + "seed_num.log");
  const std::size_t lastLine = population.rfind('\n', population.size() - 2);
  const double living = std::stod(population.substr(population.find(' ', lastLine) + 1));
  double top = 0;
  for (std::size_t a = 0; a < figure.areaGenome.size(); ++a)
    if (figure.areaMother[a] < 0) top = std::max(top, bandAt(figure.figure.panels[0].areas[a], 600).high);
  EXPECT_EQ(top, living);
}

}  // namespace
}  // namespace vek::plot
