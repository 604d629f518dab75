#include "plot/muller_figure.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>

#include "lineage/lineage_tree.h"
#include "plot/folder_figure.h"
#include "plot/lineage_columns.h"
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

// Sums of carriers over clades in one column: `own` holds each genome's carriers, `clade` the
// carriers of it and all its descendants, both for the genomes `marked` (those with carriers
// and their ancestors by `mother`), which come out ascending. Genomes arise after their
// mothers, so their indices are larger: a descending walk sees every daughter before her mother.
class CladeSums {
 public:
  explicit CladeSums(std::size_t genomes) : mOwn(genomes, 0.0), mClade(genomes, 0.0), mMark(genomes, -1) {}

  // `carriers`: (genome, carriers) pairs of column `stamp`; `owner` maps a genome to the one
  // that carries its count (-1: none); `mother` the genomes' mothers among those owners.
  void gather(const std::vector<std::pair<int, double>>& carriers, const std::vector<int>& owner,
              const std::vector<int>& mother, int stamp) {
    for (int u : mMarked) mOwn[static_cast<std::size_t>(u)] = 0;
    mMarked.clear();
    for (const auto& [genome, count] : carriers) {
      const int first = owner[static_cast<std::size_t>(genome)];
      if (first < 0) continue;
      mOwn[static_cast<std::size_t>(first)] += count;
      for (int u = first; u >= 0 && mMark[static_cast<std::size_t>(u)] != stamp; u = mother[static_cast<std::size_t>(u)]) {
        mMark[static_cast<std::size_t>(u)] = stamp;
        mMarked.push_back(u);
      }
    }
    std::sort(mMarked.begin(), mMarked.end());
    for (int u : mMarked) mClade[static_cast<std::size_t>(u)] = mOwn[static_cast<std::size_t>(u)];
    for (auto it = mMarked.rbegin(); it != mMarked.rend(); ++it)
      if (const int m = mother[static_cast<std::size_t>(*it)]; m >= 0)
        mClade[static_cast<std::size_t>(m)] += mClade[static_cast<std::size_t>(*it)];
  }

  const std::vector<int>& marked() const { return mMarked; }
  double own(int u) const { return mOwn[static_cast<std::size_t>(u)]; }
  double clade(int u) const { return mClade[static_cast<std::size_t>(u)]; }

 private:
  std::vector<double> mOwn;
  std::vector<double> mClade;
  std::vector<int> mMark;
  std::vector<int> mMarked;
};

struct Label {
  double own = 0;   // the genome's own carriers where its label goes
  double area = 0;  // its own carriers summed over the columns
  double x = 0;
  double y = 0;
};

}  // namespace

MullerFigure readMullerFigure(const MullerRequest& request) {
  MullerFigure result;
  const std::string shown = withoutTrailingSlash(request.folder);
  const std::string folder = shown + "/";
  std::error_code code;
  if (!std::filesystem::is_directory(shown, code)) {
    result.error = shown + ": no such folder";
    return result;
  }
  lineage::LineageTree tree;
  if (const FileOutcome read = lineage::LineageTree::read(folder, tree); !read.ok()) {
    result.error = read.error;
    return result;
  }
  const std::vector<mLineageNode>& nodes = tree.nodes();
  const int genomes = static_cast<int>(nodes.size());
  result.genomes = genomes;
  if (genomes == 0) {
    result.error = folder + kPhylogenyName + " holds no genomes";
    return result;
  }

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
  const std::size_t all = static_cast<std::size_t>(genomes) + 1;
  std::vector<int> mother(all, -1), self(all);
  for (int u = 0; u < genomes; ++u) mother[static_cast<std::size_t>(u)] = tree.indexOf(nodes[static_cast<std::size_t>(u)].mother);
  std::iota(self.begin(), self.end(), 0);

  // The largest clade of each genome, and the largest population.
  CladeSums sums(all);
  std::vector<double> peak(all, 0.0);
  double most = 0;
  for (std::size_t c = 0; c < counts.columns.size(); ++c) {
    sums.gather(counts.columns[c].carriers, self, mother, static_cast<int>(c));
    double population = 0;
    for (int u : sums.marked()) {
      peak[static_cast<std::size_t>(u)] = std::max(peak[static_cast<std::size_t>(u)], sums.clade(u));
      if (mother[static_cast<std::size_t>(u)] < 0) population += sums.clade(u);
    }
    most = std::max(most, population);
  }

  // The genomes drawn apart: every root with carriers, then the largest clades; with each its
  // mother, so every drawn genome's mother is drawn too.
  std::vector<int> order;
  for (std::size_t u = 0; u < all; ++u)
    if (peak[u] > 0 && mother[u] >= 0 && peak[u] >= kMullerShownShare * most) order.push_back(static_cast<int>(u));
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return peak[static_cast<std::size_t>(a)] > peak[static_cast<std::size_t>(b)]; });
  if (order.size() > static_cast<std::size_t>(kMullerMaxAreas)) order.resize(kMullerMaxAreas);
  std::vector<bool> drawn(all, false);
  for (std::size_t u = 0; u < all; ++u) drawn[u] = peak[u] > 0 && mother[u] < 0;
  for (int u : order)
    for (int at = u; at >= 0 && !drawn[static_cast<std::size_t>(at)]; at = mother[static_cast<std::size_t>(at)])
      drawn[static_cast<std::size_t>(at)] = true;
  // Who carries each genome's count: itself when drawn, else its nearest drawn ancestor.
  std::vector<int> owner(all, -1), area(all, -1);
  for (std::size_t u = 0; u < all; ++u) {
    if (drawn[u]) {
      owner[u] = static_cast<int>(u);
    } else if (mother[u] >= 0) {
      owner[u] = owner[static_cast<std::size_t>(mother[u])];
    }
  }

  // Clades and colours: the heads, ranked by their largest clade, take the palette in turn.
  int roots = 0;
  for (int u = 0; u < genomes; ++u) roots += drawn[static_cast<std::size_t>(u)] && mother[static_cast<std::size_t>(u)] < 0;
  std::vector<int> head(all, -1), depth(all, 0);
  std::vector<int> heads;
  for (std::size_t u = 0; u < all; ++u) {
    if (!drawn[u]) continue;
    const int m = mother[u];
    const bool isHead = static_cast<int>(u) < genomes &&
                        (roots == 1 ? m >= 0 && mother[static_cast<std::size_t>(m)] < 0 : m < 0);
    if (isHead) {
      head[u] = static_cast<int>(u);
      heads.push_back(static_cast<int>(u));
    } else if (m >= 0) {
      head[u] = head[static_cast<std::size_t>(m)];
      depth[u] = depth[static_cast<std::size_t>(m)] + 1;
    }
  }
  std::stable_sort(heads.begin(), heads.end(),
                   [&](int a, int b) { return peak[static_cast<std::size_t>(a)] > peak[static_cast<std::size_t>(b)]; });
  std::vector<int> colourOf(all, kGrey);
  for (std::size_t rank = 0; rank < heads.size(); ++rank)
    colourOf[static_cast<std::size_t>(heads[rank])] = kCladeColours[rank % std::size(kCladeColours)];

  PanelModel panel;
  panel.title = "Carriers of each genome and its descendants, each inside its mother's area";
  panel.legend = false;
  for (std::size_t u = 0; u < all; ++u) {
    if (!drawn[u]) continue;
    area[u] = static_cast<int>(panel.areas.size());
    AreaModel model;
    const bool known = static_cast<int>(u) < genomes;
    model.name = known ? nodes[u].gene : "genomes not in " + std::string(kPhylogenyName);
    model.outlined = true;
    if (head[u] >= 0) {
      model.colour = colourOf[static_cast<std::size_t>(head[u])];
      model.shade = depth[u] % kShades;
    } else {
      model.colour = kGrey;
      model.shade = known ? 1 : 2;
    }
    panel.areas.push_back(std::move(model));
    result.areaGenome.push_back(known ? nodes[u].id : -1);
    result.areaMother.push_back(mother[u] >= 0 ? area[static_cast<std::size_t>(mother[u])] : -1);
  }

  // Each column stacked: the roots from the axis up, every genome's daughters inside it.
  std::vector<double> next(all, 0.0);
  std::vector<std::size_t> lastColumn(all, 0);
  std::vector<Label> labels(all);
  for (std::size_t c = 0; c < counts.columns.size(); ++c) {
    const LineageColumn& column = counts.columns[c];
    sums.gather(column.carriers, owner, mother, static_cast<int>(c + counts.columns.size()));
    double stacked = 0;
    for (int u : sums.marked()) {
      const std::size_t k = static_cast<std::size_t>(u);
      const double clade = sums.clade(u);
      const double own = sums.own(u);
      double& start = mother[k] < 0 ? stacked : next[static_cast<std::size_t>(mother[k])];
      const double low = start;
      start += clade;
      next[k] = low + own / 2;
      std::vector<std::vector<BandPoint>>& pieces = panel.areas[static_cast<std::size_t>(area[k])].pieces;
      if (pieces.empty() || lastColumn[k] + 1 != c) pieces.emplace_back();
      pieces.back().push_back({column.turn, low, low + clade});
      lastColumn[k] = c;
      Label& label = labels[k];
      label.area += own;
      if (own > label.own) {
        label.own = own;
        label.x = column.turn;
        label.y = low + (clade > own ? own / 4 : own / 2);
      }
    }
  }

  panel.x = turnAxis(counts.firstTurn, counts.lastTurn, kTurnTicks);
  panel.x.title = "Turn";
  panel.y = valueAxis(0, most, kValueTicks);
  panel.y.title = "individuals";
  std::vector<int> byArea;
  for (int u = 0; u < genomes; ++u)
    if (drawn[static_cast<std::size_t>(u)] && labels[static_cast<std::size_t>(u)].own >= kLabelledShare * most)
      byArea.push_back(u);
  std::stable_sort(byArea.begin(), byArea.end(), [&](int a, int b) {
    return labels[static_cast<std::size_t>(a)].area > labels[static_cast<std::size_t>(b)].area;
  });
  const double spanX = panel.x.max - panel.x.min, spanY = panel.y.max - panel.y.min;
  for (int u : byArea) {
    if (static_cast<int>(panel.labels.size()) == kMullerLabels) break;
    const Label& label = labels[static_cast<std::size_t>(u)];
    const bool crowded = std::any_of(panel.labels.begin(), panel.labels.end(), [&](const LabelModel& placed) {
      return std::fabs(placed.x - label.x) < kLabelSpacingX * spanX &&
             std::fabs(placed.y - label.y) < kLabelSpacingY * spanY;
    });
    if (!crowded) panel.labels.push_back({nodes[static_cast<std::size_t>(u)].gene, label.x, label.y});
  }

  result.figure.title = shown + ": Muller plot of " + std::to_string(panel.areas.size()) + " of " +
                        std::to_string(genomes) + " genomes, turns " + std::to_string(counts.firstTurn) + " to " +
                        std::to_string(counts.lastTurn);
  result.figure.panels.push_back(std::move(panel));
  return result;
}

}  // namespace vek::plot
