#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "body/parts_list.h"
#include "base/random.h"
#include "genome/cpu.h"
#include "genome/cpu_test_support.h"
#include "tests/test_support.h"

namespace vek::test {
namespace {

using namespace op;

// Two bare edges from the root: up, and up-and-across.
constexpr const char* kTwoEdges =
    "((NE<0.0000000000,0.0000000000,1.0000000000>N)E<1.0000000000,0.0000000000,1.0000000000>N)";
constexpr const char* kFirstEdgeOnly = "(NE<0.0000000000,0.0000000000,1.0000000000>N)";
constexpr const char* kSecondEdgeOnly = "(NE<1.0000000000,0.0000000000,1.0000000000>N)";

// Three flowers of radius 0.1 on edges of length sqrt 2 from the root.
constexpr const char* kThreeFlowers =
    "(((NE<1.0000000000,0.0000000000,1.0000000000>F<0.1000000000>)"
    "E<-1.0000000000,0.0000000000,1.0000000000>F<0.1000000000>)"
    "E<0.0000000000,1.0000000000,1.0000000000>F<0.1000000000>)";
constexpr const char* kSecondFlowerSpent =
    "(((NE<1.0000000000,0.0000000000,1.0000000000>F<0.1000000000>)"
    "E<-1.0000000000,0.0000000000,1.0000000000>F<0.0000000000>)"
    "E<0.0000000000,1.0000000000,1.0000000000>F<0.1000000000>)";

TEST(CpuSettingTest, EachSelectsItsRegisterAndChangesNoValue) {
  const struct {
    int opcode;
    int selects;
  } rows[] = {{set_flower_number, kFlowerNumber},
              {set_leaf_number, kLeafNumber},
              {set_flower_energy, kFlowerEnergy},
              {set_leaf_energy, kLeafEnergy},
              {set_node_number, kNodeNumber},
              {set_edge_number, kEdgeNumber},
              {set_phy, kPhi},
              {set_theta, kTheta},
              {set_r, kR},
              {set_counter, kCounter}};
  for (const auto& row : rows) {
    TestIndividual plant({row.opcode == set_r ? set_counter : set_r, row.opcode});
    for (int index = 0; index < kRegisterCount; ++index)
      plant.cpu().setRegister(index, index + 0.5);
    plant.runSteps(2);
    EXPECT_EQ(plant.cpu().selectedRegister(), row.selects) << mnemonicOf(row.opcode);
    EXPECT_EQ(plant.cpu().trace(),
              std::string("ip 1::") + mnemonicOf(row.opcode) + " " + kUnitTail);
    for (int index = 0; index < kRegisterCount; ++index)
      EXPECT_EQ(plant.cpu().registers()[index], index + 0.5);
  }
}

TEST(CpuBodyTest, CutEdgeClampsANegativeIndexToZeroAndTruncatesOthers) {
  TestIndividual negative({cut_edge}, kTwoEdges);
  negative.cpu().setRegister(kEdgeNumber, -2.7);
  negative.runSteps(1);
  EXPECT_EQ(negative.cpu().registers()[kEdgeNumber], 0.0);
  EXPECT_EQ(negative.body().text(), kSecondEdgeOnly);
  EXPECT_EQ(negative.cpu().trace().substr(0, 18), "ip 0::cute sucess ");
  // Charged after the cut: the upkeep of the one edge of length sqrt 2 that is left.
  const double edgeKeep = 2.0 * 0.25 * kPi * std::sqrt(2.0);
  EXPECT_DOUBLE_EQ(negative.cpu().energy().keep(), 1.0 + edgeKeep);
  EXPECT_DOUBLE_EQ(negative.cpu().energy().usageOf(set_edge_number), edgeKeep);
  EXPECT_DOUBLE_EQ(negative.cpu().energy().usageOf(cut_edge), 1.0);

  TestIndividual positive({cut_edge}, kTwoEdges);
  positive.cpu().setRegister(kEdgeNumber, 1.9);
  positive.runSteps(1);
  EXPECT_EQ(positive.cpu().registers()[kEdgeNumber], 1.9);
  EXPECT_EQ(positive.body().text(), kFirstEdgeOnly);
  EXPECT_EQ(positive.body().nodes().size(), 2u);

  TestIndividual bare({cut_edge}, "N");
  bare.runSteps(1);
  EXPECT_EQ(bare.cpu().trace(), std::string("ip 0::cute failure") + kUnitTail);
}

TEST(CpuBodyTest, MakeLeafChargesCostEnergyAndEdgeCalorie) {
  TestIndividual plant({make_leaf}, "N");
  mCPU& cpu = plant.cpu();
  cpu.setRegister(kR, 2.0);
  cpu.setRegister(kLeafEnergy, 5.0);
  plant.runSteps(1);
  // cost 1 + 5 + 0.25 pi 2; upkeep 1 (seed) + 5 (leaf) + pi (edge of calorie pi / 2)
  EXPECT_EQ(cpu.trace(),
            "ip 0::makl sucess   operator: 7.5707963268,keep 9.1415926536,total 16.7123889804");
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(make_leaf), 6.0 + 0.5 * kPi);
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(set_edge_number), kPi);
  EXPECT_NEAR(cpu.energy().usageOf(set_leaf_number), 5.0, 1e-9);
  EXPECT_NEAR(cpu.energy().current(), -(12.0 + 1.5 * kPi), 1e-9);
  EXPECT_EQ(plant.body().text(), "(NE<0.0000000000,0.0000000000,2.0000000000>L<1.0607844179>)");
}

TEST(CpuBodyTest, RefusedGrowthCostsOnlyTheInstruction) {
  TestIndividual tooShort({make_node}, "N");
  tooShort.cpu().setRegister(kR, 0.0005);
  tooShort.runSteps(1);
  EXPECT_EQ(tooShort.cpu().trace(), std::string("ip 0::makn failure") + kUnitTail);
  EXPECT_EQ(tooShort.body().text(), "N");

  TestIndividual outside({make_flower}, "N");
  outside.cpu().setRegister(kR, 100.0);
  outside.cpu().setRegister(kTheta, 3.0);  // level, so the tip lies beyond the field's side
  outside.runSteps(1);
  EXPECT_EQ(outside.cpu().trace(), std::string("ip 0::makf failure") + kUnitTail);

  TestIndividual noLeaf({grow_leaf}, "N");
  noLeaf.cpu().setRegister(kLeafEnergy, 3.0);
  noLeaf.runSteps(1);
  EXPECT_EQ(noLeaf.cpu().trace(), std::string("ip 0::grwl failure") + kUnitTail);
  EXPECT_EQ(noLeaf.cpu().energy().usageOf(grow_leaf), 1.0);

  TestIndividual noBody({make_node});
  noBody.cpu().setRegister(kR, 1.0);
  noBody.runSteps(1);
  EXPECT_EQ(noBody.cpu().trace(), std::string("ip 0::makn failure") + kUnitTail);
}

TEST(CpuBodyTest, ErrorStepOnAGrownBodyChargesItsCalorieAndBooksItsUpkeep) {
  TestIndividual plant({}, kFirstEdgeOnly);
  plant.runSteps(1);
  const double edgeCalorie = 0.25 * kPi;
  EXPECT_DOUBLE_EQ(plant.cpu().energy().keep(), 1.0 + edgeCalorie);
  EXPECT_DOUBLE_EQ(plant.cpu().energy().current(), -(1.0 + edgeCalorie));
  EXPECT_DOUBLE_EQ(plant.cpu().energy().usageOf(set_edge_number), 2.0 * edgeCalorie);
}

TEST(CpuBreedTest, AnIndexPastTheFlowersFindsNoFlower) {
  TestIndividual plant({breed_flower}, kThreeFlowers);
  ASSERT_EQ(plant.body().flowers().size(), 3u);
  plant.cpu().setRegister(kFlowerNumber, 3.0);
  plant.runSteps(1);
  EXPECT_EQ(plant.cpu().trace().substr(0, 39), "ip 0::bred cannot find target flower   ");
  EXPECT_EQ(plant.body().text(), kThreeFlowers);
  EXPECT_EQ(plant.cpu().breedCount(), 0);
}

TEST(CpuBreedTest, OutsideAPopulationTheFlowerIsSpentAndCounted) {
  TestIndividual plant({breed_flower}, kThreeFlowers);
  plant.parameters.mCPU_energy[breed_flower] = 2.0;
  plant.cpu().setRegister(kFlowerNumber, 1.9);
  plant.runSteps(1);
  EXPECT_EQ(plant.cpu().trace().substr(0, 34), "ip 0::bred no seedList   operator:");
  EXPECT_EQ(plant.body().text(), kSecondFlowerSpent);
  EXPECT_EQ(plant.body().flowers()[1]->radius(), 0.0);
  EXPECT_EQ(plant.cpu().breedCount(), 1);
  EXPECT_EQ(plant.cpu().energy().usageOf(breed_flower), 2.0);
}

TEST(CpuBreedTest, ThePopulationBreedsFromTheEmptiedFlower) {
  const double flowerCalorie = 4.0 / 3.0 * kPi * 0.001 * 100.0;
  TestIndividual born({breed_flower}, kThreeFlowers);
  born.cpu().setRegister(kFlowerNumber, 1.0);
  int calls = 0;
  born.breed = [&](const mPoint3D& where, double energy) {
    ++calls;
    EXPECT_EQ(born.body().flowers()[1]->radius(), 0.0);
    EXPECT_EQ(where.x, -1.0);
    EXPECT_EQ(where.z, 1.0);
    EXPECT_NEAR(energy, flowerCalorie, 1e-12);
    return mBreedResult::kBorn;
  };
  born.runSteps(1);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(born.cpu().trace().substr(0, 29), "ip 0::bred sucess   operator:");
  EXPECT_EQ(born.cpu().breedCount(), 1);

  TestIndividual outside({breed_flower}, kThreeFlowers);
  outside.cpu().setRegister(kFlowerNumber, 1.0);
  outside.breed = [](const mPoint3D&, double) { return mBreedResult::kLandedOutside; };
  outside.runSteps(1);
  EXPECT_EQ(outside.cpu().trace().substr(0, 34), "ip 0::bred cannot make inner point");
  EXPECT_EQ(outside.body().text(), kSecondFlowerSpent);
  EXPECT_EQ(outside.cpu().breedCount(), 0);

  TestIndividual broken({breed_flower}, kThreeFlowers);
  broken.breed = [](const mPoint3D&, double) -> mBreedResult { throw BodyParseError(); };
  broken.runSteps(1);
  const std::string expected = "ip 0::bred " + BodyParseError().cp932() + "   operator:";
  EXPECT_EQ(broken.cpu().trace().substr(0, expected.size()), expected);
  EXPECT_EQ(broken.cpu().breedCount(), 0);
  EXPECT_EQ(broken.body().flowers()[0]->radius(), 0.0);
}

// A hand-written gene that grows a stem of length 2, a leaf of 4 calories across to one side
// and a flower across to the other, and then puts 1 calorie into the flower.
TEST(CpuGrowthTest, AHandWrittenGeneGrowsTheBodyWorkedOutByHand) {
  // r = 2, make_node; n_n = 1; l_e = 4; th = 3 (level), make_leaf at 14; ph = 6 (the other
  // way), make_flower at 20; f_e = 1, grow_flower at 23.
  TestIndividual plant(
      {set_r,           increment,  shift_left,  make_node,         set_node_number, increment,
       set_leaf_energy, increment,  shift_left,  shift_left,        set_theta,       increment,
       increment,       increment,  make_leaf,   set_phy,           increment,       increment,
       increment,       shift_left, make_flower, set_flower_energy, increment,       grow_flower},
      "N");
  plant.runSteps(24);
  const mPartsList& body = plant.body();
  EXPECT_EQ(body.text(),
            "(NE<0.0000000000,0.0000000000,2.0000000000>"
            "((NE<-2.0000000000,0.0000000000,0.0000000000>F<0.1336504618>)"
            "E<2.0000000000,0.0000000000,0.0000000000>L<0.9847450218>))");
  ASSERT_EQ(body.nodes().size(), 2u);
  ASSERT_EQ(body.edges().size(), 3u);
  ASSERT_EQ(body.leaves().size(), 1u);
  ASSERT_EQ(body.flowers().size(), 1u);
  EXPECT_NEAR(body.leaves()[0]->position()->x, 2.0, 1e-12);
  EXPECT_NEAR(body.flowers()[0]->position()->x, -2.0, 1e-12);
  EXPECT_NEAR(body.flowers()[0]->calorie(), 1.0, 1e-12);
  EXPECT_EQ(body.edges()[2]->end(), body.leaves()[0]->position());

  // Upkeep after each step: 1 for three steps; 1 + pi (stem) for eleven; 5 + 2 pi (leaf and
  // its edge) for six; 5 + 3 pi (flower's edge) for three; then 5.01 + 3 pi (flower of 1).
  // Costs: 24 instructions, three edges of calorie pi / 2, 4 into the leaf, 1 into the flower.
  const mEnergy& account = plant.cpu().energy();
  const double keep = 64.01 + 35.0 * kPi;
  const double cost = 29.0 + 1.5 * kPi;
  EXPECT_NEAR(account.keep(), keep, 1e-9);
  EXPECT_NEAR(account.used(), keep + cost, 1e-9);
  EXPECT_NEAR(account.current(), -(keep + cost), 1e-9);
  EXPECT_NEAR(account.usageOf(make_node), 1.0 + 0.5 * kPi, 1e-12);
  EXPECT_NEAR(account.usageOf(make_leaf), 5.0 + 0.5 * kPi, 1e-12);
  EXPECT_NEAR(account.usageOf(make_flower), 1.0 + 0.5 * kPi, 1e-12);
  EXPECT_NEAR(account.usageOf(grow_flower), 2.0, 1e-12);
  EXPECT_NEAR(account.usageOf(set_edge_number), 35.0 * kPi, 1e-9);
  EXPECT_NEAR(account.usageOf(set_leaf_number), 40.0, 1e-9);
  EXPECT_NEAR(account.usageOf(set_flower_number), 0.01, 1e-12);
  EXPECT_EQ(plant.cpu().trace().substr(0, 18), "ip 23::grwf sucess");
}

}  // namespace
}  // namespace vek::test
