#include "plot/muller_figure.h"

#include <algorithm>
#include <cmath>

#include "plot/folder_figure.h"
#include "plot/lineage_columns.h"
#include "plot/phylogeny_index.h"
#include "records/lineage_files.h"

namespace vek::plot {

namespace {

// The grey of the palette: the single root, and the carriers of unknown genomes.
constexpr int kGrey = 7;
// The palette without its grey, for the clades.
constexpr int kCladeColours[] = {0, 1, 2, 3, 4, 5, 6, 8, 9};
constexpr int kShades = 4;
// A label needs a band at least this share of the plot's height, and keeps this far from the
// labels placed before it (shares of the axes' spans).
constexpr double kLabelledShare = 0.02;
constexpr double kLabelSpacingX = 0.1;
constexpr double kLabelSpacingY = 0.06;

// Sums of carriers over clades in one column, for a tree given by `mother` (each node's
// mother's index, -1 for a root; a mother's index below her daughters'): `own` holds each
// node's carriers, `clade` those of it and all its descendants, both for the nodes `marked`
// (those with carriers and their ancestors), which come out ascending. Walking them
// descending sees every daughter before her mother.
class CladeSums {
 public:
  explicit CladeSums(const std::vector<int>& mother)
      : mMother(mother), mOwn(mother.size(), 0.0), mClade(mother.size(), 0.0), mMark(mother.size(), -1) {}

  // `carriers`: (genome, carriers) pairs of column `stamp`; `node` maps a genome to the node
  // that carries its count (-1: none).
  template <class NodeOf>
  void gather(const std::vector<std::pair<int, double>>& carriers, const NodeOf& node, int stamp) {
    for (int u : mMarked) mOwn[at(u)] = 0;
    mMarked.clear();
    for (const auto& [genome, count] : carriers) {
      const int first = node(genome);
      if (first < 0) continue;
      mOwn[at(first)] += count;
      for (int u = first; u >= 0 && mMark[at(u)] != stamp; u = mMother[at(u)]) {
        mMark[at(u)] = stamp;
        mMarked.push_back(u);
      }
    }
    std::sort(mMarked.begin(), mMarked.end());
    for (int u : mMarked) mClade[at(u)] = mOwn[at(u)];
    for (auto it = mMarked.rbegin(); it != mMarked.rend(); ++it)
      if (const int m = mMother[at(*it)]; m >= 0) mClade[at(m)] += mClade[at(*it)];
  }

  const std::vector<int>& marked() const { return mMarked; }
  double own(int u) const { return mOwn[at(u)]; }
  double clade(int u) const { return mClade[at(u)]; }

 private:
  static std::size_t at(int u) { return static_cast<std::size_t>(u); }

  const std::vector<int>& mMother;
  std::vector<double> mOwn;
  std::vector<double> mClade;
  std::vector<int> mMark;
  std::vector<int> mMarked;
};

// Where a genome's label goes: where its own carriers are most.
struct Label {
  double own = 0;   // its own carriers there
  double area = 0;  // its own carriers summed over the columns
  double x = 0;
  double y = 0;
};

std::size_t at(int index) { return static_cast<std::size_t>(index); }

}  // namespace

MullerFigure readMullerFigure(const MullerRequest& request) {
  MullerFigure result;
  const std::string shown = withoutTrailingSlash(request.folder);
  const std::string folder = shown + "/";
  result.error = missingFolder(shown);
  if (!result.ok()) return result;
  PhylogenyIndex tree;
  const std::string phylogenyPath = folder + kPhylogenyName;
  if (std::string error = PhylogenyIndex::read(phylogenyPath, tree); !error.empty()) {
    result.error = error;
    return result;
  }
  const int genomes = tree.size();
  result.genomes = genomes;
  if (genomes == 0) {
    result.error = phylogenyPath + " holds no genomes";
    return result;
  }
  if (tree.leftOutLastRow())
    result.notes.push_back(phylogenyPath + ": the last row has no line end (being written, or cut off); it is left out");

  const std::string countsPath = folder + kLineageCountsName;
  const LineageColumns counts = readLineageColumns(
      countsPath, genomes, [&](int id) { return tree.indexOf(id); }, request.from, request.to, request.pixelColumns);
  if (!counts.ok()) {
    result.error = counts.error;
    return result;
  }
  if (counts.samples == 0) {
    result.error = countsPath + " holds no counts" +
                   (request.from || request.to ? std::string(" in the turns asked for") : std::string(" yet")) +
                   " (a world writes them every K turns: vek-batch --lineage-every K)";
    return result;
  }
  if (counts.unknownRows > 0)
    result.notes.push_back(countsPath + ": " + std::to_string(counts.unknownRows) + " rows name genomes that " +
                           kPhylogenyName +
                           " does not hold (a pruned lineage keeps only the genomes with living descendants); "
                           "their carriers are drawn as one grey area on top");
  if (counts.unterminatedLastLine)
    result.notes.push_back(countsPath + ": the last line has no line end (being written, or cut off); it is left out");
  result.from = counts.firstTurn;
  result.to = counts.lastTurn;

  // Index `genomes` stands for the genomes that phylogeny.csv does not hold: a root of its own.
  const std::size_t all = at(genomes) + 1;
  std::vector<int> mother(all, -1);
  for (int u = 0; u < genomes; ++u) mother[at(u)] = tree.mother(u);

  // The most carriers each genome had at once, and the largest population.
  std::vector<double> peak(all, 0.0);
  double most = 0;
  for (const LineageColumn& column : counts.columns) {
    double population = 0;
    for (const auto& [genome, carriers] : column.carriers) {
      peak[at(genome)] = std::max(peak[at(genome)], carriers);
      population += carriers;
    }
    most = std::max(most, population);
  }

  // The genomes drawn apart: the commonest, and the roots of every genome with carriers. Each
  // genome's area is its own when drawn, else its nearest drawn ancestor's.
  std::vector<int> order;
  for (std::size_t u = 0; u < all; ++u)
    if (peak[u] > 0 && peak[u] >= kMullerShownShare * most) order.push_back(static_cast<int>(u));
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return peak[at(a)] > peak[at(b)]; });
  if (order.size() > static_cast<std::size_t>(kMullerMaxAreas)) order.resize(kMullerMaxAreas);
  std::vector<int> areaOf(all, -1);
  for (int u : order) areaOf[at(u)] = 0;
  // Without its root a genome's carriers would have no area to go to.
  std::vector<int> rootOf(all);
  for (std::size_t u = 0; u < all; ++u) rootOf[u] = mother[u] < 0 ? static_cast<int>(u) : rootOf[at(mother[u])];
  for (std::size_t u = 0; u < all; ++u)
    if (peak[u] > 0) areaOf[at(rootOf[u])] = 0;
  std::vector<int>().swap(rootOf);
  std::vector<double>().swap(peak);
  std::vector<int> drawn;  // the genomes drawn, ascending
  for (std::size_t u = 0; u < all; ++u) {
    if (areaOf[u] == 0) {
      areaOf[u] = static_cast<int>(drawn.size());
      drawn.push_back(static_cast<int>(u));
    } else {
      areaOf[u] = mother[u] >= 0 ? areaOf[at(mother[u])] : -1;
    }
  }
  const std::size_t areas = drawn.size();
  // Each area lies in the area of the genome's nearest drawn ancestor.
  std::vector<int> areaMother(areas, -1);
  for (std::size_t a = 0; a < areas; ++a)
    if (const int m = mother[at(drawn[a])]; m >= 0) areaMother[a] = areaOf[at(m)];

  PanelModel panel;
  panel.title = "Carriers of each genome and its descendants, nested by descent";
  panel.legend = false;
  for (std::size_t a = 0; a < areas; ++a) {
    const bool known = drawn[a] < genomes;
    AreaModel model;
    model.name = known ? std::string(tree.gene(drawn[a])) : "genomes not in " + std::string(kPhylogenyName);
    model.outlined = true;
    panel.areas.push_back(std::move(model));
    result.areaGenome.push_back(known ? tree.id(drawn[a]) : -1);
  }
  result.areaMother = areaMother;

  // Each column stacked: the roots from the axis up, every genome's daughters inside it.
  CladeSums sums(areaMother);
  std::vector<double> next(areas, 0.0), cladePeak(areas, 0.0);
  std::vector<std::size_t> lastColumn(areas, 0);
  std::vector<Label> labels(areas);
  for (std::size_t c = 0; c < counts.columns.size(); ++c) {
    const LineageColumn& column = counts.columns[c];
    sums.gather(column.carriers, [&](int genome) { return areaOf[at(genome)]; }, static_cast<int>(c));
    double stacked = 0;
    for (int a : sums.marked()) {
      const double clade = sums.clade(a);
      const double own = sums.own(a);
      double& start = areaMother[at(a)] < 0 ? stacked : next[at(areaMother[at(a)])];
      const double low = start;
      start += clade;
      next[at(a)] = low + own / 2;
      std::vector<std::vector<BandPoint>>& pieces = panel.areas[at(a)].pieces;
      if (pieces.empty() || lastColumn[at(a)] + 1 != c) pieces.emplace_back();
      pieces.back().push_back({column.turn, low, low + clade});
      lastColumn[at(a)] = c;
      cladePeak[at(a)] = std::max(cladePeak[at(a)], clade);
      Label& label = labels[at(a)];
      label.area += own;
      if (own > label.own) {
        label.own = own;
        label.x = column.turn;
        label.y = low + (clade > own ? own / 4 : own / 2);
      }
    }
  }

  // Clades and colours. A clade begins at each daughter of the single root (at each root when
  // there are several), and wherever a lineage splits into large ones: at each of two or more
  // large daughters of one mother. The clades take the palette in the order they arose, never
  // their mother clade's colour, so sister clades and a clade within another stand apart.
  int roots = 0;
  for (std::size_t a = 0; a < areas; ++a) roots += areaMother[a] < 0 && drawn[a] < genomes;
  const auto large = [&](std::size_t a) { return drawn[a] < genomes && cladePeak[a] >= kMullerCladeShare * most; };
  std::vector<int> largeDaughters(areas, 0);
  for (std::size_t a = 0; a < areas; ++a)
    if (areaMother[a] >= 0 && large(a)) ++largeDaughters[at(areaMother[a])];
  std::vector<int> head(areas, -1), depth(areas, 0);
  std::size_t nextColour = 0;
  for (std::size_t a = 0; a < areas; ++a) {
    AreaModel& model = panel.areas[a];
    const int m = areaMother[a];
    const bool known = drawn[a] < genomes;
    const bool rootDaughter = m >= 0 && areaMother[at(m)] < 0 && roots == 1;
    if (known && (m < 0 ? roots > 1 : rootDaughter || (large(a) && largeDaughters[at(m)] >= 2))) {
      const int motherColour = m >= 0 ? panel.areas[at(m)].colour : kGrey;
      model.colour = kCladeColours[nextColour++ % std::size(kCladeColours)];
      if (model.colour == motherColour) model.colour = kCladeColours[nextColour++ % std::size(kCladeColours)];
      head[a] = static_cast<int>(a);
    } else if (m >= 0 && head[at(m)] >= 0) {
      head[a] = head[at(m)];
      depth[a] = depth[at(m)] + 1;
      model.colour = panel.areas[at(head[a])].colour;
      model.shade = depth[a] % kShades;
    } else {
      model.colour = kGrey;
      model.shade = known ? 1 : 2;
    }
  }

  panel.x = turnAxis(counts.firstTurn, counts.lastTurn, kTurnTicks);
  panel.x.title = "Turn";
  panel.y = valueAxis(0, most, kValueTicks);
  panel.y.title = "individuals";
  // The genomes with the most carriers of their own, each labelled where it has most, unless
  // a label is there already.
  std::vector<int> byArea;
  for (std::size_t a = 0; a < areas; ++a)
    if (drawn[a] < genomes && labels[a].own >= kLabelledShare * most) byArea.push_back(static_cast<int>(a));
  std::stable_sort(byArea.begin(), byArea.end(), [&](int a, int b) { return labels[at(a)].area > labels[at(b)].area; });
  const double spanX = panel.x.max - panel.x.min, spanY = panel.y.max - panel.y.min;
  for (int a : byArea) {
    if (static_cast<int>(panel.labels.size()) == kMullerLabels) break;
    const Label& label = labels[at(a)];
    const bool crowded = std::any_of(panel.labels.begin(), panel.labels.end(), [&](const LabelModel& placed) {
      return std::fabs(placed.x - label.x) < kLabelSpacingX * spanX &&
             std::fabs(placed.y - label.y) < kLabelSpacingY * spanY;
    });
    if (!crowded) panel.labels.push_back({panel.areas[at(a)].name, label.x, label.y});
  }

  result.figure.title = shown + ": Muller plot of " + std::to_string(areas) + " of " + std::to_string(genomes) +
                        " genomes, turns " + std::to_string(counts.firstTurn) + " to " +
                        std::to_string(counts.lastTurn);
  result.figure.panels.push_back(std::move(panel));
  return result;
}

}  // namespace vek::plot
