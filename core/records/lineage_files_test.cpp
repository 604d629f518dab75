// The phylogeny file: its rows as the ALife standard has them, read back, refused with the line
// when damaged, and tied to the genes of a place.
#include "records/lineage_files.h"

#include <gtest/gtest.h>

#include "engine/engine_test_support.h"
#include "genome/gene.h"
#include "tests/test_support.h"

namespace {

mLineageNode node(int id, int mother, int father, int origin, int destruction, std::string gene) {
  mLineageNode n;
  n.id = id;
  n.mother = mother;
  n.father = father;
  n.origin = origin;
  n.destruction = destruction;
  n.gene = std::move(gene);
  n.length = 3;
  n.peak = 4;
  n.total = 12;
  return n;
}

TEST(Phylogeny, RowsAsTheStandardHasThem) {
  mLineage lineage;
  lineage.assign({node(0, -1, -1, 0, -1, "3-0-1"), node(4, 0, -1, 7, 20, "3-99-1"), node(9, 0, 4, 8, -1, "3-120-1")},
                 10);
  const std::string text = vek::phylogenyText(lineage);
  EXPECT_EQ(text,
            "id,ancestor_list,origin_time,destruction_time,gene,length,peak_carriers,total_carriers\r\n"
            "0,[none],0,,3-0-1,3,4,12\r\n"
            "4,[0],7,20,3-99-1,3,4,12\r\n"
            "9,\"[0, 4]\",8,,3-120-1,3,4,12\r\n");
  std::vector<mLineageNode> read;
  ASSERT_TRUE(vek::parsePhylogeny(text, read).ok());
  mLineage again;
  again.assign(read, 10);
  EXPECT_EQ(vek::phylogenyText(again), text);
}

TEST(Phylogeny, DamagedFilesAreRefusedWithTheirLine) {
  const std::string header = "id,ancestor_list,origin_time,destruction_time,gene,length,peak_carriers,total_carriers\r\n";
  const std::string good = header + "0,[none],0,,3-0-1,3,4,12\r\n1,[0],7,,3-99-1,3,1,1\r\n";
  const struct {
    std::string text, error;
  } damaged[] = {
      {good.substr(0, good.size() - 5), "phylogeny.csv line 3: the last row has no line end (the file was cut)"},
      {header + "0,[none],0,,3-0-1,3,4,12\r\n0,[0],7,,3-99-1,3,1,1\r\n", "phylogeny.csv line 3: the id 0 does not follow 0"},
      {header + "0,[none],0,,3-0-1,3,4,12\r\n1,\"[0, 5]\",7,,3-99-1,3,1,1\r\n",
       "phylogeny.csv line 3: the ancestor 5 of node 1 is no earlier node"},
      {header + "0,[none],0,,3-0-1,3,4\r\n", "phylogeny.csv line 2: a row holds 8 fields"},
      {header + "x,[none],0,,3-0-1,3,4,12\r\n", "phylogeny.csv line 2: the id \"x\" is no number"},
      {"id,gene\r\n", "phylogeny.csv line 1: the header row is not"},
      {"", "phylogeny.csv line 1: the file is empty"},
      {header + "0,[none],9,3,3-0-1,3,4,12\r\n", "phylogeny.csv line 2: the destruction time \"3\" is no turn after the origin"},
  };
  for (const auto& d : damaged) {
    std::vector<mLineageNode> nodes;
    const vek::FileOutcome outcome = vek::parsePhylogeny(d.text, nodes);
    EXPECT_EQ(outcome.error.rfind(d.error, 0), 0u) << outcome.error;
  }
}

TEST(Phylogeny, TheLivingNodesMustBeTheGenesOfThePool) {
  mPlace place(nullptr, "Ostrel", 1);
  vek::test::addIndividual(place, {1, 2, 3});  // gene 3-0-1
  vek::test::addIndividual(place, {4, 5, 6});  // gene 3-1-1
  std::vector<mLineageNode> fits = {node(0, -1, -1, 0, -1, "3-0-1"), node(1, -1, -1, 0, 5, "3-7-1"),
                                    node(2, 0, -1, 3, -1, "3-1-1")};
  EXPECT_EQ(vek::applyPhylogeny(place, {fits[0], fits[1]}).error,
            "phylogeny.csv: the gene 3-1-1 of the gene pool has no living node");
  std::vector<mLineageNode> extra = fits;
  extra.push_back(node(3, 2, -1, 4, -1, "3-44-1"));
  EXPECT_EQ(vek::applyPhylogeny(place, extra).error, "phylogeny.csv: node 3 (3-44-1) is alive, but the gene pool holds no such gene");
  ASSERT_TRUE(vek::applyPhylogeny(place, fits).ok());
  const mGene* gene = place.genePool().findByIdentifier(mID(3, 1, 1));
  EXPECT_EQ(gene->lineageId(), 2);
  EXPECT_EQ(gene->totalCarriers(), 12);
  EXPECT_EQ(gene->peakCarriers(), 4);
  EXPECT_EQ(place.lineage().nextId(), 3);

  vek::startLineageFromLiving(place);
  ASSERT_EQ(place.lineage().nodes().size(), 2u);
  EXPECT_EQ(place.lineage().nodes()[1].gene, "3-1-1");
  EXPECT_EQ(place.lineage().nodes()[1].mother, -1);
}

}  // namespace
