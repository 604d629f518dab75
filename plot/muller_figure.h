// The Muller plot of a save folder's lineage: how the carriers of its genomes rose and fell,
// as nested areas against the turn, from phylogeny.csv (who is whose mother) and
// lineage_counts.csv (every K turns, the carriers of each living genome).
//
// At every sampled turn a genome's area is as high as its own carriers together with those of
// all its descendants by mother, and lies inside its mother's area: half of the mother's own
// carriers below her daughters' areas, half above, the daughters stacked in the order they
// arose. A genome without carriers at a turn (extinct, or not yet born) is there only as high
// as its descendants. The roots stand on one another from the axis up.
//
// A run makes thousands of genomes, most with a carrier or two for a few turns. A genome gets
// an area of its own when it alone is carried by kMullerShownShare of the largest population
// of the plot at some column (at most the kMullerMaxAreas commonest), and so does every root;
// the carriers of the others are drawn in the area of their nearest drawn ancestor, and an
// area lies inside the area of its genome's nearest drawn ancestor (over a long run, the
// thousands of genomes on the line of descent between two common genomes are not each drawn).
//
// Colours follow the clades: a clade begins at each daughter of the single root (the root
// itself is grey; with several roots, at each root), and wherever a lineage splits into two or
// more large ones (each reaching kMullerCladeShare of the largest population), so the
// competing lineages of a long run stand apart. Clades take the palette in the order they
// arose, never the colour of the clade they lie in. Within a clade each generation takes the
// next shade of the colour, so a daughter stands apart from her mother, and every area has a
// thin edge. The genomes with the most carriers of their own over the plot (up to
// kMullerLabels) are labelled with their identifiers.
//
// Memory: some 40 bytes a genome for the tree (phylogeny_index.h) and its sums, and the counts
// gathered into pixel columns (lineage_columns.h), not the counts of every sampled turn.
//
// Plain values out; call from any one thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plot/figure_model.h"

namespace vek::plot {

inline constexpr double kMullerShownShare = 0.005;
inline constexpr double kMullerCladeShare = 0.1;
inline constexpr int kMullerMaxAreas = 300;
inline constexpr int kMullerLabels = 6;

struct MullerRequest {
  std::string folder;
  std::optional<std::int64_t> from;  // first turn drawn; the counts' first by default
  std::optional<std::int64_t> to;    // last turn drawn; the counts' last by default
  int pixelColumns = 800;            // the width of the plot, in pixels
};

struct MullerFigure {
  std::string error;               // "" when the figure was read; names the file and line
  std::vector<std::string> notes;  // what the reader noticed but drew around
  FigureModel figure;              // one panel
  std::int64_t from = 0;           // the first and last sampled turns drawn
  std::int64_t to = 0;
  int genomes = 0;                 // in phylogeny.csv
  // For each area of the panel, in order: the id of its genome (-1 for the carriers of genomes
  // that phylogeny.csv does not hold) and the index of its mother's area (-1 for none).
  std::vector<int> areaGenome;
  std::vector<int> areaMother;
  bool ok() const { return error.empty(); }
};

MullerFigure readMullerFigure(const MullerRequest& request);

}  // namespace vek::plot
