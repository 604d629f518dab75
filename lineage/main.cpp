// vek-lineage: the lineage of a save folder (its phylogeny.csv) as a Newick tree for the
// phylogenetics tools, or as a summary.
//   vek-lineage newick FOLDER [--living] [--out FILE]
//   vek-lineage stats FOLDER [--top N]
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

#include "base/text_io.h"
#include "lineage/lineage_tree.h"
#include "records/world_document.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "vek-lineage: %s\n", message.c_str());
  return 1;
}

// The turn the folder's place lives file stands at, or -1.
int savedTurn(const std::string& folder) {
  std::ifstream in(folder + "Ostrel.lives", std::ios::binary);
  std::string header;
  int time = -1, turn = -1;
  if (std::getline(in, header) && in >> time >> turn) return turn;
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"The lineage of a Vek save folder: every genome, where it came from, and how it fared.", "vek-lineage"};
  app.require_subcommand(1);
  std::string folder, out;
  bool living = false;
  int top = 5;
  auto* newick = app.add_subcommand(
      "newick", "The lineage as Newick trees (one per root), node labels the genomes' identifiers, branch lengths in turns");
  newick->add_option("FOLDER", folder, "A save folder")->required()->check(CLI::ExistingDirectory);
  newick->add_flag("--living", living, "Only the genomes that are alive or have a living descendant");
  newick->add_option("--out", out, "Write the trees to this file instead of standard output")->type_name("FILE");
  auto* stats = app.add_subcommand("stats", "Genomes, living, lines of descent, lifetimes and the most successful genomes");
  stats->add_option("FOLDER", folder, "A save folder")->required()->check(CLI::ExistingDirectory);
  stats->add_option("--top", top, "How many of the most successful genomes to show")->capture_default_str()
      ->check(CLI::Range(0, 1000000));
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "vek-lineage: %s\nRun vek-lineage --help for the commands.\n", error.what());
    return 2;
  }
  try {
    folder = vek::asFolder(folder);
    vek::lineage::LineageTree tree;
    if (vek::FileOutcome read = vek::lineage::LineageTree::read(folder, tree); !read.ok()) return fail(read.error);
    if (*newick) {
      const std::string text = tree.newick(living);
      if (out.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
      } else if (!vek::writeFileAtomically(out, text)) {
        return fail(vek::describeFileError("cannot write", out));
      }
    } else {
      const std::string text = vek::lineage::statsText(tree, top, savedTurn(folder));
      std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return 0;
  } catch (const std::exception& error) {
    return fail(error.what());
  }
}
