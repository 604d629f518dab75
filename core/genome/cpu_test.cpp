#include "genome/cpu.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>

#include "genome/cpu_test_support.h"
#include "base/text_io.h"
#include "tests/test_support.h"

namespace vek::test {
namespace {

using namespace op;

TEST(CpuStepTest, EmptyCodeOnlyChargesTheErrorPenalty) {
  TestIndividual plant({});
  plant.parameters.mSeed_calorie = 3.0;
  plant.parameters.mSeed_keep_calorie = 100.0;  // the penalty is the body's calorie, not its upkeep
  plant.runSteps(2);
  const mCPU& cpu = plant.cpu();
  EXPECT_EQ(cpu.trace(), "error happen // ip 0 : size0");
  EXPECT_EQ(cpu.ip(), 0);
  EXPECT_DOUBLE_EQ(cpu.energy().current(), -6.0);
  EXPECT_DOUBLE_EQ(cpu.energy().keep(), 6.0);
  EXPECT_DOUBLE_EQ(cpu.energy().used(), 6.0);
  for (int code = 0; code < kInstructionCount; ++code) EXPECT_EQ(cpu.energy().usageOf(code), 0.0);
}

TEST(CpuStepTest, RunningOffTheEndIsAnErrorStepThatRestartsAtZero) {
  TestIndividual plant({push});
  mCPU& cpu = plant.cpu();
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 0::push with r  ") + kUnitTail);
  EXPECT_EQ(cpu.ip(), 1);
  cpu.step();
  EXPECT_EQ(cpu.trace(), "error happen // ip 1 : size1");
  EXPECT_EQ(cpu.ip(), 0);
  cpu.step();
  EXPECT_EQ(cpu.ip(), 1);
  EXPECT_EQ(cpu.dataStack().size(), 2u);
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(push), 2.0);
  EXPECT_DOUBLE_EQ(cpu.energy().current(), -5.0);  // two pushes of 1 + 1 upkeep, one penalty of 1
}

TEST(CpuStepTest, OpcodesOutsideTheSetAreErrorStepsThatMoveOn) {
  TestIndividual plant({32, -1, increment});
  mCPU& cpu = plant.cpu();
  cpu.step();
  EXPECT_EQ(cpu.trace(), "error happen // ip 0 : size3");
  EXPECT_EQ(cpu.ip(), 1);
  cpu.step();
  EXPECT_EQ(cpu.trace(), "error happen // ip 1 : size3");
  cpu.step();
  EXPECT_EQ(cpu.registers()[kR], 1.0);
  EXPECT_EQ(cpu.ip(), 3);
}

TEST(CpuStepTest, AProcessorWithoutCodeMovesOnWithoutCharge) {
  TestIndividual plant(WithoutGene{}, 5);
  std::stringstream block;
  plant.cpu().write(block);
  ASSERT_TRUE(plant.cpu().read(block));
  plant.cpu().step();
  EXPECT_EQ(plant.cpu().ip(), 1);
  EXPECT_EQ(plant.cpu().energy().used(), 0.0);
}

TEST(CpuTemplateTest, ForwardJumpLandsAfterTheComplement) {
  // 1 0 first meets its own copy (no match), then 0 1.
  TestIndividual plant(
      {jump_forward, nop_1, nop_0, increment, nop_1, nop_0, increment, nop_0, nop_1, push});
  mCPU& cpu = plant.cpu();
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 0::jmpf sucess jump") + kUnitTail);
  EXPECT_EQ(cpu.ip(), 9);
  cpu.step();
  EXPECT_EQ(cpu.trace().substr(0, 11), "ip 9::push ");
}

TEST(CpuTemplateTest, ForwardMatchMayEndOnTheLastInstruction) {
  TestIndividual plant({jump_forward, nop_1, nop_0, increment, nop_0, nop_1});
  plant.runSteps(1);
  EXPECT_EQ(plant.cpu().ip(), 6);
  plant.runSteps(1);
  EXPECT_EQ(plant.cpu().trace(), "error happen // ip 6 : size6");
}

TEST(CpuTemplateTest, MissedJumpRunsItsTemplateAsNoOperations) {
  TestIndividual plant({jump_forward, nop_1, nop_0, increment, nop_1, nop_0});
  mCPU& cpu = plant.cpu();
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 0::jmpf miss jump") + kUnitTail);
  EXPECT_EQ(cpu.ip(), 1);
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 1::nop1 ") + kUnitTail);
  cpu.step();
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(nop_1), 1.0);
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(nop_0), 1.0);
  EXPECT_EQ(cpu.ip(), 3);
}

TEST(CpuTemplateTest, JumpsWithoutTemplateOrRoomMiss) {
  TestIndividual last({increment, jump_forward});
  last.runSteps(2);
  EXPECT_EQ(last.cpu().trace(), std::string("ip 1::jmpf miss jump") + kUnitTail);
  EXPECT_EQ(last.cpu().ip(), 2);

  TestIndividual templateToTheEnd({jump_forward, nop_0});
  templateToTheEnd.runSteps(1);
  EXPECT_EQ(templateToTheEnd.cpu().ip(), 1);

  TestIndividual backAtTheStart({jump_back, nop_0, nop_1});
  backAtTheStart.runSteps(1);
  EXPECT_EQ(backAtTheStart.cpu().ip(), 1);
}

TEST(CpuTemplateTest, BackwardJumpTakesTheNearestMatchBehindTheJump) {
  TestIndividual plant({nop_1, nop_1, increment, nop_1, nop_1, jump_back, nop_0, nop_0});
  plant.runSteps(6);
  EXPECT_EQ(plant.cpu().trace(), std::string("ip 5::jmpb sucess jump") + kUnitTail);
  EXPECT_EQ(plant.cpu().ip(), 5);  // after the 1 1 that ends at ip - 1

  // A single 1 behind the jump cannot complement 0 0, nor can the jump's own template.
  TestIndividual overlap({nop_1, jump_back, nop_0, nop_0});
  overlap.runSteps(2);
  EXPECT_EQ(overlap.cpu().trace(), std::string("ip 1::jmpb miss jump") + kUnitTail);
  EXPECT_EQ(overlap.cpu().ip(), 2);
}

TEST(CpuTemplateTest, CallPrefersTheForwardMatch) {
  TestIndividual plant({nop_1, call, nop_0, increment, nop_1, push});
  plant.runSteps(2);
  EXPECT_EQ(plant.cpu().ip(), 5);
  EXPECT_EQ(plant.cpu().callStack(), std::vector<int>{1});
}

TEST(CpuTemplateTest, CallBackwardThenReturnRunsTheCallsTemplate) {
  TestIndividual plant({nop_1, nop_1, ret, call, nop_0, nop_0, increment});
  mCPU& cpu = plant.cpu();
  plant.runSteps(3);
  EXPECT_EQ(cpu.trace(), std::string("ip 2::ret  cannot return") + kUnitTail);
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 3::call sucess jump") + kUnitTail);
  EXPECT_EQ(cpu.callStack(), std::vector<int>{3});
  EXPECT_EQ(cpu.ip(), 2);
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 2::ret  with next 3") + kUnitTail);
  EXPECT_TRUE(cpu.callStack().empty());
  cpu.step();
  EXPECT_EQ(cpu.trace(), std::string("ip 4::nop0 ") + kUnitTail);
  plant.runSteps(2);
  EXPECT_EQ(cpu.registers()[kR], 1.0);
}

TEST(CpuTemplateTest, ReturnToAnyPositionNeverOverflowsIp) {
  TestIndividual plant({ret});
  std::stringstream block;
  plant.cpu().write(block);
  std::string text = block.str();
  text.replace(text.find("\r\n0\r\n\r\n0\r\n"), 10, "\r\n1\r\n2147483647 \r\n0\r\n");
  std::istringstream in(text);
  ASSERT_TRUE(plant.cpu().read(in));
  plant.cpu().step();
  EXPECT_EQ(plant.cpu().trace(), std::string("ip 0::ret  with next 2147483647") + kUnitTail);
  plant.cpu().step();
  EXPECT_EQ(plant.cpu().trace(), "error happen // ip 2147483647 : size1");
  EXPECT_EQ(plant.cpu().ip(), 0);
}

TEST(CpuArithmeticTest, CounterTestSkipsUnlessStrictlyWithinAHalf) {
  const struct {
    double counter;
    int nextIp;
  } cases[] = {{0.49, 1}, {-0.49, 1}, {0.0, 1}, {0.5, 2}, {-0.5, 2}, {std::nan(""), 2}};
  for (const auto& c : cases) {
    TestIndividual plant({if_counter_zero, increment, push});
    plant.cpu().setRegister(kCounter, c.counter);
    plant.runSteps(1);
    EXPECT_EQ(plant.cpu().ip(), c.nextIp) << c.counter;
    const char* text = c.nextIp == 1 ? "with next" : "step next";
    EXPECT_EQ(plant.cpu().trace(), std::string("ip 0::ifcz ") + text + kUnitTail) << c.counter;
  }
}

TEST(CpuArithmeticTest, DecrementStopsCountsAndEnergiesAtZeroOnly) {
  TestIndividual flowers({set_flower_number, decrement});
  flowers.cpu().setRegister(kFlowerNumber, 0.5);
  flowers.runSteps(2);
  EXPECT_EQ(flowers.cpu().registers()[kFlowerNumber], 0.0);
  EXPECT_EQ(flowers.cpu().trace(), std::string("ip 1::dec   and seto to 0 with f_n") + kUnitTail);

  TestIndividual theta({set_theta, decrement});
  theta.cpu().setRegister(kTheta, 0.5);
  theta.runSteps(2);
  EXPECT_EQ(theta.cpu().registers()[kTheta], -0.5);
  EXPECT_EQ(theta.cpu().trace(), std::string("ip 1::dec  with th ") + kUnitTail);

  TestIndividual counter({set_counter, decrement});
  counter.runSteps(2);
  EXPECT_EQ(counter.cpu().registers()[kCounter], -1.0);
  EXPECT_EQ(counter.cpu().trace(), std::string("ip 1::dec  with co") + kUnitTail);

  TestIndividual nodes({set_node_number, decrement});
  nodes.cpu().setRegister(kNodeNumber, 1.0);
  nodes.runSteps(2);
  EXPECT_EQ(nodes.cpu().registers()[kNodeNumber], 0.0);
  EXPECT_EQ(nodes.cpu().trace(), std::string("ip 1::dec  with n_n") + kUnitTail);
}

TEST(CpuArithmeticTest, EachInstructionBooksItsOwnCost) {
  TestIndividual plant({increment, shift_left, shift_right, shift_right, zero});
  plant.parameters.mCPU_energy[shift_left] = 2.0;
  plant.parameters.mCPU_energy[shift_right] = 3.5;
  mCPU& cpu = plant.cpu();
  plant.runSteps(4);
  EXPECT_EQ(cpu.registers()[kR], 0.5);
  EXPECT_EQ(cpu.trace(),
            "ip 3::shr  with r     operator: 3.5000000000,keep 1.0000000000,total 4.5000000000");
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(shift_left), 2.0);
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(shift_right), 7.0);
  EXPECT_DOUBLE_EQ(cpu.energy().usageOf(increment), 1.0);
  EXPECT_DOUBLE_EQ(cpu.energy().used(), 1.0 + 2.0 + 7.0 + 4 * 1.0);

  // A cost of any size is printed whole.
  plant.parameters.mCPU_energy[zero] = 1e300;
  cpu.step();
  EXPECT_EQ(cpu.registers()[kR], 0.0);
  EXPECT_GT(cpu.trace().size(), 600u);
  EXPECT_EQ(cpu.trace().substr(cpu.trace().size() - 11), ".0000000000");
}

TEST(CpuArithmeticTest, PopTakesTheTopAndLeavesTheRegisterOnAnEmptyStack) {
  TestIndividual plant({push, increment, push, set_counter, pop, pop, pop});
  mCPU& cpu = plant.cpu();
  cpu.setRegister(kR, 7.0);
  plant.runSteps(5);
  EXPECT_EQ(cpu.registers()[kCounter], 8.0);
  EXPECT_EQ(cpu.trace(), std::string("ip 4::pop  with co") + kUnitTail);
  plant.runSteps(2);
  EXPECT_EQ(cpu.trace(), std::string("ip 6::pop  empty stack") + kUnitTail);
  EXPECT_EQ(cpu.registers()[kCounter], 7.0);
}

TEST(CpuArithmeticTest, RegisterToIndexTruncatesAndNeverOverflows) {
  EXPECT_EQ(registerToIndex(1.9), 1);
  EXPECT_EQ(registerToIndex(-2.7), -2);
  EXPECT_EQ(registerToIndex(-0.9), 0);
  EXPECT_EQ(registerToIndex(2147483647.9), INT_MAX);
  EXPECT_EQ(registerToIndex(-2147483648.9), INT_MIN);
  EXPECT_EQ(registerToIndex(2147483648.0), INT_MIN);
  EXPECT_EQ(registerToIndex(-1e20), INT_MIN);
  EXPECT_EQ(registerToIndex(std::numeric_limits<double>::infinity()), INT_MIN);
  EXPECT_EQ(registerToIndex(std::nan("")), INT_MIN);
}

// Two calls, at 3 and 17, that each jump over one instruction, with pushes and arithmetic
// between them: after 15 steps the call stack holds 3 and 17 and ip stands at 21.
std::vector<int> callingProgram() {
  return {increment, push,        increment,       call,        nop_0, push,
          nop_1,     shift_right, shift_right,     shift_right, push,  set_counter,
          increment, increment,   set_node_number, increment,   push,  call,
          nop_0,     increment,   nop_1,           push};
}

std::string blockOf(const mCPU& cpu) {
  std::ostringstream out;
  useWorldNumberFormat(out);
  cpu.write(out);
  return out.str();
}

TEST(CpuBlockTest, FreshProcessorBlockBytes) {
  TestIndividual plant({push});
  std::string usage;
  for (int code = 0; code < kInstructionCount; ++code) usage += "0 ";
  EXPECT_EQ(blockOf(plant.cpu()), "/*mCPU start*/\r\n/*mEnergy start*/\r\n0 0 0 0\r\n" + usage +
                                      "\r\n/*mEnergy end*/\r\nempty\r\n0 0 0\r\n0 0 0 0 0 0 0 0 0 "
                                      "0 \r\n0\r\n\r\n0\r\n\r\n/*mCPU end*/\r\n");
}

TEST(CpuBlockTest, RoundTripKeepsStacksInOrderAndRunsOnAlike) {
  TestIndividual original(callingProgram());
  original.runSteps(15);
  const mCPU& cpu = original.cpu();
  ASSERT_EQ(cpu.callStack(), (std::vector<int>{3, 17}));
  ASSERT_EQ(cpu.dataStack(), (std::vector<double>{1.0, 0.25, 1.0}));
  ASSERT_EQ(cpu.ip(), 21);

  const std::string text = blockOf(cpu);
  EXPECT_NE(text.find("\r\n2\r\n3 17 \r\n3\r\n1 0.25 1 \r\n/*mCPU end*/"), std::string::npos);
  TestIndividual copy(callingProgram());
  std::istringstream in(text);
  ASSERT_TRUE(copy.cpu().read(in));
  EXPECT_EQ(blockOf(copy.cpu()), text);
  EXPECT_EQ(copy.cpu().callStack().back(), 17);
  EXPECT_EQ(copy.cpu().selectedRegister(), kNodeNumber);
  EXPECT_EQ(copy.cpu().trace(), cpu.trace());

  original.runSteps(3);
  copy.runSteps(3);
  EXPECT_EQ(copy.cpu().trace(), original.cpu().trace());
  EXPECT_EQ(copy.cpu().dataStack(), original.cpu().dataStack());
  EXPECT_EQ(copy.cpu().energy().current(), original.cpu().energy().current());
}

TEST(CpuBlockTest, TruncatedBlockFailsAndLeavesTheProcessorAlone) {
  TestIndividual original(callingProgram());
  original.runSteps(15);
  const std::string text = blockOf(original.cpu());
  const size_t lastEntry = text.rfind("1 \r\n/*mCPU end*/");
  for (size_t length = 0; length <= lastEntry; ++length) {
    TestIndividual target(callingProgram());
    std::istringstream in(text.substr(0, length));
    EXPECT_FALSE(target.cpu().read(in)) << length;
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(target.cpu().ip(), 0);
    EXPECT_TRUE(target.cpu().callStack().empty());
    EXPECT_EQ(target.cpu().energy().used(), 0.0);
  }
}

TEST(CpuBlockTest, ImplausibleCountsAndRegistersAreRefused) {
  TestIndividual plant({push});
  const std::string text = blockOf(plant.cpu());
  const std::string stacks = "\r\n0\r\n\r\n0\r\n\r\n";
  const std::string state = "empty\r\n0 0 0\r\n";
  const auto refused = [&](const std::string& from, const std::string& to) {
    std::string edited = text;
    edited.replace(edited.find(from), from.size(), to);
    TestIndividual target({push});
    std::istringstream in(edited);
    return !target.cpu().read(in) && target.cpu().selectedRegister() == 0;
  };
  EXPECT_TRUE(refused(stacks, "\r\n-1\r\n\r\n0\r\n\r\n"));
  EXPECT_TRUE(refused(stacks, "\r\n0\r\n\r\n16777217\r\n\r\n"));
  EXPECT_TRUE(refused(stacks, "\r\n2147483647\r\n1 2 3\r\n0\r\n\r\n"));
  EXPECT_TRUE(refused(state, "empty\r\n0 10 0\r\n"));
  EXPECT_TRUE(refused(state, "empty\r\n0 -1 0\r\n"));
  EXPECT_TRUE(refused(state, "empty\r\n0 x 0\r\n"));
  EXPECT_FALSE(refused(state, "empty\r\n0 9 0\r\n"));
}

TEST(CpuBlockTest, CodeSizeComesFromTheIdentifierButNeverExceedsTheGene) {
  TestIndividual plant({increment, increment, increment});
  const std::string text = blockOf(plant.cpu());
  plant.setIdentifierSize(2);
  std::istringstream shorter(text);
  ASSERT_TRUE(plant.cpu().read(shorter));
  EXPECT_EQ(plant.cpu().codeSize(), 2);
  plant.setIdentifierSize(61);
  std::istringstream longer(text);
  ASSERT_TRUE(plant.cpu().read(longer));
  EXPECT_EQ(plant.cpu().codeSize(), 3);
  plant.runSteps(4);
  EXPECT_EQ(plant.cpu().trace(), "error happen // ip 3 : size3");
}

}  // namespace
}  // namespace vek::test
