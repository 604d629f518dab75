// The lineage of a place's genomes: roots, children with their parents, carriers counted, the
// turn a genome leaves, and pruning.
#include "engine/lineage.h"

#include <gtest/gtest.h>

#include "base/instructions.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/engine_test_support.h"
#include "tests/test_support.h"

namespace {

using vek::test::ScriptedRandom;

mSeed& founder(mPlace& place, std::vector<int> codes, double x) {
  InitialGeneEntry entry;
  entry.x = x;
  entry.codes = std::move(codes);
  place.populateWithEntry(entry);
  return *place.population().living().back();
}

TEST(Lineage, BreedingMakesNodesForNewGenomesOnly) {
  mPlace place(nullptr, "Ostrel", 1);
  Parameters& p = place.parameters();
  p.mGene_vectorVariation = p.mGene_sizeVariation = p.mGene_operatorVariation = 0;
  p.mGene_maxFatherEffect = 1.0;
  mSeed& mother = founder(place, {op::breed_flower}, 0);
  mSeed& father = founder(place, {op::nop_1, op::gene_separate, op::nop_0}, 3);
  ASSERT_TRUE(mother.body().makeFlower(0, 10.0, 1.0, 0, 0));
  ASSERT_TRUE(father.body().makeFlower(0, 10.0, 1.0, 0, 0));
  ASSERT_EQ(place.lineage().nodes().size(), 2u);

  place.population().beginTurn();
  {
    ScriptedRandom script(place.random());
    script.u(1.0).u(0.0).u(0.5);  // the flight
    script.u(0.0);                // the common segment from the father
    script.u(0.5).u(0.5).u(0.5);  // no mutation
    mother.processor().step();
  }
  mother.processor().step();  // an error step back to the breeding
  {
    ScriptedRandom script(place.random());
    script.u(1.0).u(0.0).u(0.5).u(1.0).u(0.5).u(0.5).u(0.5);  // the mother's own code again
    mother.processor().step();
  }
  ASSERT_EQ(place.population().newborn().size(), 2u);
  // The father dies at the turn's end; his genome goes with him.
  father.processor().energy().spend(1e9);
  father.evaluate();
  {
    ScriptedRandom noDraws(place.random());
    place.population().endTurn();
  }
  place.endTurn();
  place.lineage().refreshCounts(place.genePool());

  const std::vector<mLineageNode>& nodes = place.lineage().nodes();
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(nodes[0].gene, "1-0-1");
  EXPECT_EQ(nodes[0].mother, -1);
  EXPECT_EQ(nodes[0].origin, 0);
  EXPECT_TRUE(nodes[0].alive());
  EXPECT_EQ(nodes[0].total, 2);  // the mother and the child equal to her
  EXPECT_EQ(nodes[0].peak, 2);
  EXPECT_EQ(nodes[1].gene, "3-1-1");
  EXPECT_EQ(nodes[1].destruction, 1);
  EXPECT_EQ(nodes[1].total, 1);
  const mLineageNode& child = nodes[2];
  EXPECT_EQ(child.id, 2);
  EXPECT_EQ(child.mother, 0);
  EXPECT_EQ(child.father, 1);
  EXPECT_EQ(child.origin, 1);
  EXPECT_EQ(child.length, 2);
  EXPECT_TRUE(child.alive());
  EXPECT_EQ(child.total, 1);
  EXPECT_EQ(place.population().newborn().size(), 0u);
  EXPECT_EQ(place.population().livingCount(), 3);
}

mLineageNode node(int id, int mother, int father, bool alive) {
  mLineageNode n;
  n.id = id;
  n.mother = mother;
  n.father = father;
  n.destruction = alive ? -1 : 9;
  return n;
}

// Pruning keeps the living and every ancestor of theirs, and nothing else.
TEST(Lineage, PruningKeepsExactlyTheAncestorsOfTheLiving) {
  mLineage lineage;
  lineage.assign({node(0, -1, -1, false), node(1, 0, -1, false), node(2, 0, -1, true), node(3, 1, -1, false),
                  node(4, 3, 2, false), node(5, 2, -1, false), node(7, -1, -1, true), node(8, 5, 7, true)},
                 9);
  lineage.prune();
  std::vector<int> kept;
  for (const mLineageNode& n : lineage.nodes()) kept.push_back(n.id);
  EXPECT_EQ(kept, (std::vector<int>{0, 2, 5, 7, 8}));
  EXPECT_EQ(lineage.nextId(), 9);
  EXPECT_TRUE(lineage.takeNew().empty());
}

}  // namespace
