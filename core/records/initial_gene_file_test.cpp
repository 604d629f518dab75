#include "records/initial_gene_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/default_genome.h"
#include "tests/test_support.h"

namespace {

TEST(InitialGeneFile, BuiltInTemplateMatchesTheFixtureByteForByte) {
  EXPECT_EQ(initialGeneFileText(), vek::test::readBytes(vek::test::dataPath("gene.gini")));
  const std::string folder = vek::test::freshFolder("gini");
  ASSERT_TRUE(writeInitialGeneFile(folder));
  EXPECT_EQ(vek::test::readBytes(folder + "gene.gini"), initialGeneFileText());
}

TEST(InitialGeneFile, TemplateReadsBackAsTheBuiltInGenome) {
  std::istringstream in(initialGeneFileText());
  EXPECT_EQ(folderWordOf(nextUsefulLine(in)), "original_log");
  InitialGeneEntry entry;
  EXPECT_FALSE(readInitialGeneEntry(in, entry));
  EXPECT_EQ(entry.energy, 1000.0);
  EXPECT_EQ(entry.x, 0.0);
  EXPECT_EQ(entry.y, 0.0);
  EXPECT_EQ(entry.codes, std::vector<int>(kDefaultGenome, kDefaultGenome + kDefaultGenomeSize));
}

TEST(InitialGeneFile, EntriesAndTheirSeparators) {
  std::istringstream in(
      "// comment\r\nrun7 folder\r\n"
      "250 initialEnergy\n makn\n push\n"
      "next\n"
      "3.5 initial_y\nmake_node\nbred\n"
      "next 5\n"
      "next\n");
  EXPECT_EQ(folderWordOf(nextUsefulLine(in)), "run7");
  InitialGeneEntry entry;
  ASSERT_TRUE(readInitialGeneEntry(in, entry));
  EXPECT_EQ(entry.energy, 250.0);
  EXPECT_EQ(entry.codes, (std::vector<int>{28, 8}));
  ASSERT_TRUE(readInitialGeneEntry(in, entry));
  EXPECT_EQ(entry.energy, 1000.0);
  EXPECT_EQ(entry.x, 0.0);
  EXPECT_EQ(entry.y, 3.5);
  EXPECT_EQ(entry.codes, std::vector<int>{31});  // long names add nothing
  ASSERT_TRUE(readInitialGeneEntry(in, entry));   // an entry of no codes, ended by "next"
  EXPECT_TRUE(entry.codes.empty());
  EXPECT_FALSE(readInitialGeneEntry(in, entry));
  EXPECT_TRUE(entry.codes.empty());
}

TEST(InitialGeneFile, FolderLineAndUnreadableNumbers) {
  EXPECT_EQ(folderWordOf("makn"), "");
  EXPECT_EQ(firstWordOf("makn"), "makn");
  EXPECT_EQ(firstWordOf("ret "), "ret");
  std::istringstream in("x initialEnergy\n7 initial_x\n");
  InitialGeneEntry entry;
  EXPECT_FALSE(readInitialGeneEntry(in, entry));
  EXPECT_EQ(entry.energy, 1000.0);  // no number at the start: unchanged
  EXPECT_EQ(entry.x, 7.0);
  std::istringstream empty("");
  EXPECT_EQ(nextUsefulLine(empty), "");
}

TEST(InitialGeneFile, BinaryJunkIsNoInstruction) {
  static const char kJunk[] = "\xff\xfe\x01 initialEnergy\n\x80\x81\nnop0\n\0\0\n";
  const std::string junk(kJunk, sizeof kJunk - 1);
  std::istringstream in(junk);
  InitialGeneEntry entry;
  EXPECT_FALSE(readInitialGeneEntry(in, entry));
  EXPECT_EQ(entry.codes, std::vector<int>{0});
  EXPECT_EQ(entry.energy, 1000.0);
}

}  // namespace
