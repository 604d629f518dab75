// The lineage end to end: the files vek-batch writes agree with its world, read back as trees
// by vek-lineage; damaged files are refused or, when asked, started anew.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "lineage/lineage_tree.h"
#include "records/lineage_files.h"
#include "tests/test_support.h"

namespace {

using vek::test::freshFolder;
using vek::test::readBytes;
using vek::test::writeBytes;

struct Ran {
  int exitCode;
  std::string out, err;
};

Ran run(const std::string& folder, const std::string& program, const std::string& arguments) {
  const std::string command = "cd '" + folder + "' && '" + program + "' " + arguments + " >out.txt 2>err.txt </dev/null";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(folder + "out.txt"), readBytes(folder + "err.txt")};
}

std::string lastLine(const std::string& text) {
  const size_t end = text.rfind("\r\n");
  return text.substr(text.rfind('\n', end - 1) + 1, end - text.rfind('\n', end - 1) - 1);
}

mLineageNode node(int id, int mother, int origin, bool alive, const char* gene) {
  mLineageNode n;
  n.id = id;
  n.mother = mother;
  n.origin = origin;
  n.destruction = alive ? -1 : origin + 1;
  n.gene = gene;
  return n;
}

TEST(LineageTree, NewickHangsEveryGenomeFromItsMother) {
  const vek::lineage::LineageTree tree({node(0, -1, 0, false, "5-0-1"), node(1, 0, 5, false, "5-9-1"),
                                        node(2, 0, 7, true, "6-12-1"), node(3, 2, 10, true, "6-30-1"),
                                        node(4, -1, 0, true, "8-1-1")});
  EXPECT_EQ(tree.newick(false), "(5-9-1:5,(6-30-1:3)6-12-1:7)5-0-1;\n8-1-1;\n");
  EXPECT_EQ(tree.newick(true), "((6-30-1:3)6-12-1:7)5-0-1;\n8-1-1;\n");
  EXPECT_EQ(tree.lineOfDescent(3), (std::vector<int>{3, 2, 0}));
  const std::string stats = vek::lineage::statsText(tree, 2, 40);
  EXPECT_NE(stats.find("genomes 5 (living 3, extinct 2, roots 2)"), std::string::npos) << stats;
  EXPECT_NE(stats.find("deepest living line: 2 generations, down to 6-30-1"), std::string::npos) << stats;
  EXPECT_NE(stats.find("oldest living genome: 8-1-1 (node 4), arose at turn 0, 40 turns ago"), std::string::npos)
      << stats;
  EXPECT_NE(stats.find("mean lifetime of extinct genomes: 1.0 turns"), std::string::npos) << stats;
}

// The living genomes of phylogeny.csv are exactly the genes of the saved gene pool, and the
// counts of each K-th turn add up to its population.
TEST(LineageFiles, AgreeWithTheSavedWorld) {
  const std::string base = freshFolder("run");
  const Ran batch = run(base, VEK_BATCH_PROGRAM, "--turns 1200 --lineage-every 25 --quiet");
  ASSERT_EQ(batch.exitCode, 0) << batch.err;
  const std::string folder = base + "original_log/";
  std::vector<mLineageNode> nodes;
  ASSERT_TRUE(vek::parsePhylogeny(readBytes(folder + vek::kPhylogenyName), nodes).ok());
  const std::string lives = readBytes(folder + "Ostrel.lives");
  int living = 0;
  for (const mLineageNode& n : nodes) {
    if (!n.alive()) continue;
    ++living;
    std::string numbers = n.gene;
    std::replace(numbers.begin(), numbers.end(), '-', ' ');
    EXPECT_NE(lives.find("/*mGene strat*/\r\n/*mID start*/\r\n" + numbers + "\r\n"), std::string::npos) << n.gene;
  }
  const std::string genes = lastLine(readBytes(folder + "gene_num.log"));
  EXPECT_EQ(genes.substr(genes.find(' ') + 1), std::to_string(living));

  std::istringstream counts(readBytes(folder + vek::kLineageCountsName));
  std::string row;
  std::getline(counts, row);
  EXPECT_EQ(row, "turn,id,carriers\r");
  std::map<int, int> carriers;
  while (std::getline(counts, row)) carriers[std::stoi(row)] += std::stoi(row.substr(row.rfind(',') + 1));
  ASSERT_EQ(carriers.size(), 1200u / 25);
  const std::string seeds = lastLine(readBytes(folder + "seed_num.log"));
  EXPECT_EQ(std::to_string(carriers[1200]), seeds.substr(seeds.find(' ') + 1));

  const Ran newick = run(base, VEK_LINEAGE_PROGRAM, "newick original_log --living");
  ASSERT_EQ(newick.exitCode, 0) << newick.err;
  EXPECT_EQ(newick.out.back(), '\n');
  EXPECT_EQ(std::count(newick.out.begin(), newick.out.end(), '('), std::count(newick.out.begin(), newick.out.end(), ')'));
  const Ran stats = run(base, VEK_LINEAGE_PROGRAM, "stats original_log --top 3");
  ASSERT_EQ(stats.exitCode, 0) << stats.err;
  EXPECT_NE(stats.out.find("living " + std::to_string(living)), std::string::npos) << stats.out;
  EXPECT_EQ(run(base, VEK_LINEAGE_PROGRAM, "stats nowhere").exitCode, 2);
  EXPECT_EQ(run(base, VEK_LINEAGE_PROGRAM, "").exitCode, 2);
}

TEST(LineageFiles, PruningKeepsOnlyWhatLeadsToTheLiving) {
  const std::string base = freshFolder("prune");
  ASSERT_EQ(run(base, VEK_BATCH_PROGRAM, "--turns 800 --lineage-prune --quiet").exitCode, 0);
  vek::lineage::LineageTree tree;
  ASSERT_TRUE(vek::lineage::LineageTree::read(base + "original_log/", tree).ok());
  ASSERT_GT(tree.nodes().size(), 1u);
  for (size_t k = 0; k < tree.nodes().size(); ++k) EXPECT_TRUE(tree.leadsToTheLiving(static_cast<int>(k))) << k;
}

TEST(LineageFiles, ADamagedPhylogenyIsRefusedOrStartedAnew) {
  const std::string base = freshFolder("damaged");
  ASSERT_EQ(run(base, VEK_BATCH_PROGRAM, "--turns 300 --quiet").exitCode, 0);
  const std::string folder = base + "original_log/";
  std::string phylogeny = readBytes(folder + vek::kPhylogenyName);
  const size_t second = phylogeny.find("\r\n1,");
  ASSERT_NE(second, std::string::npos);
  phylogeny.replace(second + 2, 1, "0");  // node 1 named 0: ids no longer ascend
  writeBytes(folder + vek::kPhylogenyName, phylogeny);

  Ran loaded = run(base, VEK_BATCH_PROGRAM, "--load original_log --turns 5");
  EXPECT_EQ(loaded.exitCode, 1);
  EXPECT_NE(loaded.err.find("cannot load " + folder + "phylogeny.csv line 3: the id 0 does not follow 0"),
            std::string::npos)
      << loaded.err;
  loaded = run(base, VEK_BATCH_PROGRAM, "--load original_log --turns 5 --lineage-reset");
  EXPECT_EQ(loaded.exitCode, 0) << loaded.err;
  EXPECT_NE(loaded.err.find("the lineage starts anew from the living genes"), std::string::npos) << loaded.err;

  std::filesystem::remove(folder + vek::kPhylogenyName);
  loaded = run(base, VEK_BATCH_PROGRAM, "--load original_log --turns 5");
  EXPECT_EQ(loaded.exitCode, 0) << loaded.err;
  EXPECT_NE(loaded.err.find("holds no phylogeny.csv; its living genes start the lineage as roots"), std::string::npos)
      << loaded.err;
  std::vector<mLineageNode> nodes;
  EXPECT_TRUE(vek::parsePhylogeny(readBytes(folder + vek::kPhylogenyName), nodes).ok());
}

}  // namespace
