#include "genome/gene.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/instructions.h"
#include "body/parameters.h"
#include "tests/test_support.h"

namespace {

using vek::test::ScriptedRandom;

std::vector<int> segmentCodes(std::span<const int> segment) { return {segment.begin(), segment.end()}; }

// Stand-ins for individuals: only their addresses matter to a gene.
mSeed* seedAt(int n) { return reinterpret_cast<mSeed*>(static_cast<std::uintptr_t>(0x1000 + 16 * n)); }

void setMutationParameters(Parameters& p, double fatherEffect, double vector, double size, double op,
                           double opRandom) {
  p.mGene_maxFatherEffect = fatherEffect;
  p.mGene_vectorVariation = vector;
  p.mGene_sizeVariation = size;
  p.mGene_operatorVariation = op;
  p.mGene_operatorRandomVariation = opRandom;
}

// --- segments ---------------------------------------------------------------------------

TEST(GeneSegments, SplitAfterEachSeparator) {
  const std::vector<int> two{op::push, op::gene_separate, op::pop};
  const auto segments = mGene::splitSegments(two);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segmentCodes(segments[0]), (std::vector<int>{op::push, op::gene_separate}));
  EXPECT_EQ(segmentCodes(segments[1]), (std::vector<int>{op::pop}));

  const std::vector<int> endsWithSeparator{op::push, op::gene_separate};
  EXPECT_EQ(mGene::splitSegments(endsWithSeparator).size(), 1u);

  EXPECT_TRUE(mGene::splitSegments(std::vector<int>{}).empty());

  const std::vector<int> separators{op::gene_separate, op::gene_separate, 5};
  const auto three = mGene::splitSegments(separators);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(segmentCodes(three[0]), std::vector<int>{op::gene_separate});
  EXPECT_EQ(segmentCodes(three[1]), std::vector<int>{op::gene_separate});
  EXPECT_EQ(segmentCodes(three[2]), std::vector<int>{5});
}

// --- data, carriers, equality -----------------------------------------------------------

TEST(Gene, ConstructionAndIdentifier) {
  const mGene empty(nullptr);
  EXPECT_EQ(empty.size(), 0);
  EXPECT_FALSE(empty.hasCode());
  EXPECT_EQ(empty.identifier().text(), "0-0-0");
  EXPECT_EQ(empty.carrierCount(), 0);

  mGene gene(nullptr, {1, 2, 3});
  EXPECT_EQ(gene.size(), 3);
  EXPECT_TRUE(gene.hasCode());
  EXPECT_EQ(gene.code(), (std::vector<int>{1, 2, 3}));
  gene.setIdentifier(mID(3, 7, 1));
  EXPECT_EQ(gene.identifier().text(), "3-7-1");
  gene.setIdentifier(mID(3, 8, 1));
  EXPECT_EQ(gene.identifier().text(), "3-8-1");
}

TEST(Gene, CarriersAreListedOnceAndRemovedByFirstOccurrence) {
  mGene gene(nullptr, {0});
  gene.addCarrier(seedAt(1));
  gene.addCarrier(seedAt(2));
  gene.addCarrier(seedAt(1));  // already listed
  gene.addCarrier(seedAt(3));
  gene.addCarrier(nullptr);
  EXPECT_EQ(gene.carriers(), (std::vector<mSeed*>{seedAt(1), seedAt(2), seedAt(3)}));
  gene.removeCarrier(seedAt(9));  // absent: nothing happens
  EXPECT_EQ(gene.carrierCount(), 3);
  gene.removeCarrier(seedAt(2));
  EXPECT_EQ(gene.carriers(), (std::vector<mSeed*>{seedAt(1), seedAt(3)}));
  gene.removeCarrier(seedAt(1));
  gene.removeCarrier(seedAt(3));
  EXPECT_EQ(gene.carrierCount(), 0);
}

TEST(Gene, EqualityAsWritten) {
  mGene a(nullptr, {4, 5, 6});
  mGene b(nullptr, {4, 5, 6});
  mGene c(nullptr, {4, 5, 7});
  a.setIdentifier(mID(3, 1, 1));
  b.setIdentifier(mID(3, 2, 1));
  c.setIdentifier(mID(3, 3, 1));
  EXPECT_TRUE(a.equals(&b));  // different identifiers, equal codes
  EXPECT_FALSE(a.equals(&c));
  EXPECT_FALSE(a.equals(nullptr));
  EXPECT_TRUE(a.equals(&a));

  c.setIdentifier(mID(3, 1, 1));  // same identifier numbers: equal whatever the codes
  EXPECT_TRUE(a.equals(&c));
  EXPECT_TRUE(c.equals(&a));

  mGene shorter(nullptr, {4, 5});
  shorter.setIdentifier(mID(2, 9, 1));
  EXPECT_FALSE(a.equals(&shorter));

  // Size 0: equal when the other has a code, not when it was never given one.
  mGene emptyCode(nullptr, std::vector<int>{});
  emptyCode.setIdentifier(mID(0, 1, 1));
  mGene emptyCode2(nullptr, std::vector<int>{});
  emptyCode2.setIdentifier(mID(0, 2, 1));
  mGene noCode(nullptr);
  noCode.setIdentifier(mID(0, 3, 1));
  EXPECT_TRUE(emptyCode.equals(&emptyCode2));
  EXPECT_FALSE(emptyCode.equals(&noCode));
  EXPECT_TRUE(noCode.equals(&emptyCode));
}

TEST(Gene, EqualityComparesEveryInstruction) {
  std::vector<int> code(500, op::nop_1);
  mGene a(nullptr, code);
  code.back() = op::nop_0;
  mGene b(nullptr, code);
  a.setIdentifier(mID(500, 1, 1));
  b.setIdentifier(mID(500, 2, 1));
  EXPECT_FALSE(a.equals(&b));
  code.back() = op::nop_1;
  mGene c(nullptr, code);
  c.setIdentifier(mID(500, 3, 1));
  EXPECT_TRUE(a.equals(&c));
}

// --- listing ----------------------------------------------------------------------------

TEST(GeneListing, TheWorkedExample) {
  mGene gene(nullptr, {op::nop_0, op::breed_flower, op::zero});
  gene.setIdentifier(mID(3, 120, 1));
  EXPECT_EQ(gene.listing(), "ID:3-120-1\r\n0 : 00 : nop0\r\n1 : 1f : bred\r\n2 : 0e : zero\r\n");
}

TEST(GeneListing, ThreeLetterMnemonicsKeepTheirBlankAndBadOpcodesAreMarked) {
  mGene gene(nullptr, {op::set_r, 32, -1});
  gene.setIdentifier(mID(3, 0, 1));
  EXPECT_EQ(gene.listing(), "ID:3-0-1\r\n0 : 18 : s_r \r\n1 : 20 : ????\r\n2 : ffffffff : ????\r\n");
  EXPECT_EQ(mGene(nullptr).listing(), "ID:0-0-0\r\n");
}

// --- block ------------------------------------------------------------------------------

TEST(GeneBlock, ExactBytes) {
  mGene gene(nullptr, {3, 0, 31});
  gene.setIdentifier(mID(3, 42, 1));
  std::ostringstream out;
  gene.write(out);
  EXPECT_EQ(out.str(), "/*mGene strat*/\r\n/*mID start*/\r\n3 42 1\r\n/*mID end*/\r\n3 0 31 \r\n/*mGene end*/\r\n");

  mGene empty(nullptr, std::vector<int>{});
  std::ostringstream emptyOut;
  empty.write(emptyOut);
  EXPECT_EQ(emptyOut.str(), "/*mGene strat*/\r\n/*mID start*/\r\n0 0 0\r\n/*mID end*/\r\n\r\n/*mGene end*/\r\n");
}

TEST(GeneBlock, RoundTripTakesTheSizeFromTheIdentifier) {
  mGene gene(nullptr, {7, 8, 9, 2, 40});
  gene.setIdentifier(mID(5, 11, 1));
  std::stringstream file;
  gene.write(file);
  file << "next\r\n";

  mGene read(nullptr);
  ASSERT_TRUE(read.read(file));
  EXPECT_EQ(read.code(), gene.code());
  EXPECT_EQ(read.identifier().text(), "5-11-1");
  EXPECT_TRUE(read.hasCode());
  std::string line;
  std::getline(file, line);
  EXPECT_EQ(line, "next\r");
}

TEST(GeneBlock, ReadAcceptsLfAndAnyFrameText) {
  std::istringstream in("x\n/*mID start*/\n2 0 1\n/*mID end*/\n  4\n 5 \n\nwhatever\n");
  mGene gene(nullptr);
  ASSERT_TRUE(gene.read(in));
  EXPECT_EQ(gene.code(), (std::vector<int>{4, 5}));
}

TEST(GeneBlock, ZeroSizeReadGivesACode) {
  std::istringstream in("/*mGene strat*/\r\n/*mID start*/\r\n0 4 1\r\n/*mID end*/\r\n\r\n/*mGene end*/\r\n");
  mGene gene(nullptr);
  ASSERT_TRUE(gene.read(in));
  EXPECT_EQ(gene.size(), 0);
  EXPECT_TRUE(gene.hasCode());
}

TEST(GeneBlock, BadBlocksFailAndLeaveTheGeneUnchanged) {
  const char* bad[] = {
      "/*mGene strat*/\r\n/*mID start*/\r\n-1 0 1\r\n/*mID end*/\r\n\r\n/*mGene end*/\r\n",
      "/*mGene strat*/\r\n/*mID start*/\r\n1000001 0 1\r\n/*mID end*/\r\n1 2 3\r\n/*mGene end*/\r\n",
      "/*mGene strat*/\r\n/*mID start*/\r\n2147483647 0 1\r\n/*mID end*/\r\n1\r\n",
      "/*mGene strat*/\r\n/*mID start*/\r\n3 0 1\r\n/*mID end*/\r\n1 2\r\n",  // truncated codes
      "/*mGene strat*/\r\n/*mID start*/\r\n3 0 1\r\n/*mID end*/\r\n1 x 3\r\n/*mGene end*/\r\n",
      "/*mGene strat*/\r\n/*mID start*/\r\n3 0 1\r\n/*mID end*/\r\n1 2 3 \r\n",  // no end line
      "/*mGene strat*/\r\n/*mID start*/\r\n3 0",
      "",
  };
  for (const char* text : bad) {
    std::istringstream in(text);
    mGene gene(nullptr, {9});
    gene.setIdentifier(mID(1, 5, 1));
    EXPECT_FALSE(gene.read(in)) << text;
    EXPECT_TRUE(in.fail()) << text;
    EXPECT_EQ(gene.code(), std::vector<int>{9}) << text;
    EXPECT_EQ(gene.identifier().text(), "1-5-1") << text;
  }
}

TEST(GeneBlock, TheLargestAllowedSizeIsRead) {
  std::ostringstream text;
  text << "/*mGene strat*/\r\n/*mID start*/\r\n" << mGene::kMaxReadSize << " 0 1\r\n/*mID end*/\r\n";
  for (int i = 0; i < mGene::kMaxReadSize; ++i) text << (i % 32) << ' ';
  text << "\r\n/*mGene end*/\r\n";
  std::istringstream in(text.str());
  mGene gene(nullptr);
  ASSERT_TRUE(gene.read(in));
  EXPECT_EQ(gene.size(), mGene::kMaxReadSize);
  EXPECT_EQ(gene.code().back(), (mGene::kMaxReadSize - 1) % 32);
}

// --- breeding: the order of the draws ---------------------------------------------------

// Mother: three segments [push gsep] [pop gsep] [inc]; father: two segments [zero gsep] [dec].
const std::vector<int> kMother{op::push, op::gene_separate, op::pop, op::gene_separate, op::increment};
const std::vector<int> kFather{op::zero, op::gene_separate, op::decrement};

TEST(GeneBreeding, WithoutMutationOrFatherTheChildIsTheMother) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0, 0, 0, 0);
  mGene mother(nullptr, kMother), father(nullptr, kFather);
  mother.setIdentifier(mID(5, 1, 1));
  mother.addCarrier(seedAt(1));
  ScriptedRandom random(draws);
  // Two crossing draws (min(3, 2) common segments), then the three mutation tests. Even a
  // draw of exactly 0 passes none of them: every test is a strict less-than.
  random.u(0).u(0).u(0).u(0).u(0);
  const auto child = mGene::breedGene(mother, father, 1.0, p, draws);
  EXPECT_EQ(child->code(), kMother);
  EXPECT_EQ(child->identifier().text(), "0-0-0");
  EXPECT_EQ(child->carrierCount(), 0);
}

TEST(GeneBreeding, CrossingOverTakesFatherSegmentsBelowP) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 1, 0, 0, 0, 0);
  mGene mother(nullptr, kMother), father(nullptr, kFather);
  {
    ScriptedRandom random(draws);
    random.u(0.999).u(0.999).u(0).u(0).u(0);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::zero, op::gene_separate, op::decrement, op::increment}));
  }
  {
    ScriptedRandom random(draws);  // a draw of exactly 1.0 keeps the mother's segment
    random.u(1.0).u(0.2).u(0).u(0).u(0);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::push, op::gene_separate, op::decrement, op::increment}));
  }
  {
    p.mGene_maxFatherEffect = 0.5;  // p = 0.5 * 0.4 = 0.2
    ScriptedRandom random(draws);
    random.u(0.19).u(0.2).u(0).u(0).u(0);
    EXPECT_EQ(mGene::breedGene(mother, father, 0.4, p, draws)->code(),
              (std::vector<int>{op::zero, op::gene_separate, op::pop, op::gene_separate, op::increment}));
  }
}

TEST(GeneBreeding, SegmentDeletion) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0.5, 0, 0, 0);
  mGene mother(nullptr, kMother), father(nullptr, kFather);
  {
    ScriptedRandom random(draws);  // k = |K| = 3: nothing is removed
    random.u(0.9).u(0.9).u(0.4).randInt(4, 3).u(0.5).u(0.9).u(0.9);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(), kMother);
  }
  {
    ScriptedRandom random(draws);  // k = 1: the middle segment goes
    random.u(0.9).u(0.9).u(0.4).randInt(4, 1).u(0.7).u(0.9).u(0.9);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::push, op::gene_separate, op::increment}));
  }
}

TEST(GeneBreeding, SegmentInsertionFromEitherParent) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0.5, 0.5, 0, 0, 0);  // p = 0.5
  mGene mother(nullptr, kMother), father(nullptr, kFather);
  {
    ScriptedRandom random(draws);  // insertion of the father's segment 1 before K[0]
    random.u(0.9).u(0.9).u(0.1).randInt(4, 0).u(0.2).u(0.3).randInt(2, 1).u(0.9).u(0.9);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::decrement, op::push, op::gene_separate, op::pop, op::gene_separate,
                                op::increment}));
  }
  {
    ScriptedRandom random(draws);  // insertion of the mother's segment 0 at the end (k = |K|)
    random.u(0.9).u(0.9).u(0.1).randInt(4, 3).u(0.2).u(0.5).randInt(3, 0).u(0.9).u(0.9);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::push, op::gene_separate, op::pop, op::gene_separate, op::increment, op::push,
                                op::gene_separate}));
  }
}

TEST(GeneBreeding, InsertionFromAnEmptyParentInsertsNothingAndDrawsNoIndex) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0.5, 0.5, 0, 0, 0);
  mGene mother(nullptr, {op::push}), father(nullptr, std::vector<int>{});
  ScriptedRandom random(draws);  // no common segment: no crossing draw
  random.u(0.1).randInt(2, 1).u(0.2).u(0.1).u(0.9).u(0.9);
  EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(), std::vector<int>{op::push});
}

TEST(GeneBreeding, SizeMutationInsertsOrRemovesOneInstruction) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0, 0.5, 0, 0);
  mGene mother(nullptr, kMother), father(nullptr, kFather);
  {
    ScriptedRandom random(draws);  // j = 1, q = 1, insert make_leaf before the separator
    random.u(0.9).u(0.9).u(0.9).u(0.1).randInt(3, 1).randInt(2, 1).u(0.4).randInt(32, op::make_leaf).u(0.9);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::push, op::gene_separate, op::pop, op::make_leaf, op::gene_separate,
                                op::increment}));
  }
  {
    ScriptedRandom random(draws);  // j = 0, q = 1: the separator goes, joining two segments
    random.u(0.9).u(0.9).u(0.9).u(0.1).randInt(3, 0).randInt(2, 1).u(0.5).u(0.9);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
              (std::vector<int>{op::push, op::pop, op::gene_separate, op::increment}));
  }
}

TEST(GeneBreeding, RemovingTheOnlyInstructionGivesOneRandomInstruction) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0, 0.5, 0, 0);
  mGene mother(nullptr, {op::pop}), father(nullptr, {op::push});
  ScriptedRandom random(draws);
  random.u(0.9)                                    // crossing, one common segment
      .u(0.9)                                      // no segment mutation
      .u(0.1).randInt(1, 0).randInt(1, 0).u(0.8)   // size mutation removes pop
      .randInt(32, op::grow_leaf)                  // the empty child gets one instruction
      .u(0.9);                                     // no point mutation
  const auto child = mGene::breedGene(mother, father, 1.0, p, draws);
  EXPECT_EQ(child->code(), std::vector<int>{op::grow_leaf});
  EXPECT_EQ(child->size(), 1);
}

TEST(GeneBreeding, SizeMutationOfAnEmptyListAppendsASegment) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0, 0.5, 0, 0);
  mGene mother(nullptr, std::vector<int>{}), father(nullptr, std::vector<int>{});
  ScriptedRandom random(draws);
  random.u(0.9).u(0.1).randInt(32, op::make_node).u(0.9);
  EXPECT_EQ(mGene::breedGene(mother, father, 0.0, p, draws)->code(), std::vector<int>{op::make_node});
}

TEST(GeneBreeding, PointMutationDrawsANewOpcodeOrFlipsABit) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0, 0, 0.5, 0.9);
  mGene mother(nullptr, {op::breed_flower, op::gene_separate}), father(nullptr, {op::nop_0});
  {
    ScriptedRandom random(draws);  // bit 4 of 31 -> 15
    random.u(0.9).u(0.9).u(0.9).u(0.1).randInt(2, 0).u(0.9).randInt(5, 4);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(), (std::vector<int>{15, op::gene_separate}));
  }
  {
    ScriptedRandom random(draws);  // bit 0 of 2 -> 3
    random.u(0.9).u(0.9).u(0.9).u(0.1).randInt(2, 1).u(0.95).randInt(5, 0);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(), (std::vector<int>{op::breed_flower, 3}));
  }
  {
    ScriptedRandom random(draws);  // a new opcode
    random.u(0.9).u(0.9).u(0.9).u(0.1).randInt(2, 1).u(0.89).randInt(32, op::make_flower);
    EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(), (std::vector<int>{op::breed_flower, op::make_flower}));
  }
}

TEST(GeneBreeding, BitFlipOfAnOutOfRangeOpcodeEndsInRange) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0, 0, 0, 1, 0);
  for (const int opcode : {32, 45, -1, -32, 2147483647, -2147483647 - 1}) {
    mGene mother(nullptr, {opcode}), father(nullptr, {0});
    ScriptedRandom random(draws);
    random.u(0.5).u(0.5).u(0.5).u(0.5).randInt(1, 0).u(0.5).randInt(5, 3);
    const int result = mGene::breedGene(mother, father, 1.0, p, draws)->code()[0];
    EXPECT_GE(result, 0) << opcode;
    EXPECT_LT(result, 32) << opcode;
  }
}

TEST(GeneBreeding, EveryStepInOneBreeding) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0.5, 0.5, 0.5, 0.5, 0.5);  // p = 0.5
  mGene mother(nullptr, kMother), father(nullptr, kFather);
  ScriptedRandom random(draws);
  random.u(0.1).u(0.6)                                    // K = [zero gsep] [pop gsep] [inc]
      .u(0.1).randInt(4, 2).u(0.1).u(0.6).randInt(3, 2)  // insert mother's [inc] at 2
      .u(0.1).randInt(4, 3).randInt(1, 0).u(0.9)          // remove the last inc
      .u(0.1).randInt(5, 0).u(0.1).randInt(32, op::call); // zero -> call
  EXPECT_EQ(mGene::breedGene(mother, father, 1.0, p, draws)->code(),
            (std::vector<int>{op::call, op::gene_separate, op::pop, op::gene_separate, op::increment}));
}

// --- breeding with a world's generator -------------------------------------------------

TEST(GeneBreeding, RepeatsItselfAndKeepsOpcodesInRange) {
  Parameters p;
  mRandom draws;
  setMutationParameters(p, 0.5, 0.6, 0.6, 0.6, 0.5);
  std::vector<int> start(40);
  for (int i = 0; i < 40; ++i) start[i] = (i * 7) % 32;
  auto run = [&] {
    draws.reseed(1033);
    auto mother = std::make_unique<mGene>(nullptr, start);
    auto father = std::make_unique<mGene>(nullptr, std::vector<int>{2, 2, 2});
    std::vector<std::vector<int>> codes;
    for (int generation = 0; generation < 300; ++generation) {
      auto child = mGene::breedGene(*mother, *father, 0.7, p, draws);
      EXPECT_GE(child->size(), 1);
      for (const int opcode : child->code()) EXPECT_TRUE(isOpcode(opcode));
      codes.push_back(child->code());
      father = std::move(mother);
      mother = std::move(child);
    }
    return codes;
  };
  const auto first = run();
  EXPECT_EQ(run(), first);
}

}  // namespace
