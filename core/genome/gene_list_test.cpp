#include "genome/gene_list.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/instructions.h"
#include "body/parameters.h"
#include "tests/test_support.h"

namespace {

using vek::test::ScriptedRandom;

class FakePlace : public mIdentifierClock {
 public:
  int identifierTime() const override { return time; }
  int identifierMark() const override { return mark; }
  int time = 0;
  int mark = 1;
};

// Stand-ins for individuals: only their addresses matter to the pool.
mSeed* seedAt(int n) { return reinterpret_cast<mSeed*>(static_cast<std::uintptr_t>(0x1000 + 16 * n)); }

class GenePool : public ::testing::Test {
 protected:
  // A gene of the pool with the given code, a fresh identifier and the given carriers.
  mGene* add(std::vector<int> code, std::vector<int> carriers = {}) {
    auto gene = std::make_unique<mGene>(&pool, std::move(code));
    gene->setIdentifier(pool.newIdentifier(gene->size()));
    ++place.time;
    for (const int c : carriers) gene->addCarrier(seedAt(c));
    return pool.addGene(std::move(gene));
  }
  static std::vector<int> ofLength(int n, int fill = op::nop_0) { return std::vector<int>(n, fill); }
  std::string written() const {
    std::ostringstream out;
    pool.write(out);
    return out.str();
  }

  FakePlace place;
  mGeneList pool{&place};
};

// --- structure --------------------------------------------------------------------------

TEST_F(GenePool, VectorsAscendByLengthAndHoldGenesInOrderOfEntry) {
  mGene* a = add(ofLength(5, 1));
  mGene* b = add(ofLength(3));
  mGene* c = add(ofLength(5, 2));
  mGene* d = add(ofLength(9));
  EXPECT_EQ(pool.lengths(), (std::vector<int>{3, 5, 9}));
  EXPECT_EQ(pool.geneCount(), 4);
  ASSERT_NE(pool.vectorFor(5), nullptr);
  EXPECT_EQ(pool.vectorFor(5)->geneCount(), 2);
  EXPECT_EQ(pool.vectorFor(5)->gene(0), a);
  EXPECT_EQ(pool.vectorFor(5)->gene(1), c);
  EXPECT_EQ(pool.vectorFor(3)->gene(0), b);
  EXPECT_EQ(pool.vectorFor(9)->gene(0), d);
  EXPECT_EQ(pool.vectorFor(9)->gene(1), nullptr);
  EXPECT_EQ(pool.vectorFor(9)->gene(-1), nullptr);
  EXPECT_EQ(pool.vectorFor(4), nullptr);
  EXPECT_EQ(pool.vectorFor(10), nullptr);
  for (mGene* gene : {a, b, c, d}) EXPECT_EQ(gene->pool(), &pool);
  EXPECT_EQ(pool.addGene(nullptr), nullptr);
}

TEST_F(GenePool, AGeneTakesThePoolItEnters) {
  mGeneList other(&place);
  mGene* gene = pool.addGene(std::make_unique<mGene>(&other, ofLength(2)));
  EXPECT_EQ(gene->pool(), &pool);
}

TEST_F(GenePool, VectorsRefuseGenesOfAnotherLength) {
  mGeneVector vector(&pool, 3);
  EXPECT_EQ(vector.addGene(std::make_unique<mGene>(&pool, ofLength(2))), nullptr);
  EXPECT_EQ(vector.geneCount(), 0);
  mGene outside(&pool, ofLength(3));
  EXPECT_FALSE(vector.removeGene(&outside));
}

TEST_F(GenePool, RemovingTheLastCarrierDestroysTheGeneAndAnEmptiedVector) {
  add(ofLength(5, 1), {1});
  mGene* three = add(ofLength(3), {2});
  add(ofLength(9), {3});
  mGene* shared = add(ofLength(5, 2), {4, 5});

  EXPECT_FALSE(pool.removeCarrier(seedAt(4), shared));  // one carrier left: all stays
  EXPECT_EQ(shared->carriers(), std::vector<mSeed*>{seedAt(5)});
  EXPECT_EQ(pool.vectorFor(5)->geneCount(), 2);

  EXPECT_TRUE(pool.removeCarrier(seedAt(2), three));
  EXPECT_EQ(pool.lengths(), (std::vector<int>{5, 9}));
  EXPECT_EQ(pool.geneCount(), 3);

  EXPECT_TRUE(pool.removeCarrier(seedAt(5), shared));  // its vector keeps the other gene
  EXPECT_EQ(pool.lengths(), (std::vector<int>{5, 9}));
  EXPECT_EQ(pool.vectorFor(5)->geneCount(), 1);
  EXPECT_EQ(pool.vectorFor(5)->gene(0)->code(), ofLength(5, 1));
}

TEST_F(GenePool, RemovingACarrierNeverDestroysAGeneThePoolDoesNotHold) {
  add(ofLength(3), {1});
  mGene stranger(&pool, ofLength(3));
  stranger.addCarrier(seedAt(7));
  EXPECT_FALSE(pool.removeCarrier(seedAt(7), &stranger));
  EXPECT_EQ(stranger.carrierCount(), 0);
  EXPECT_EQ(pool.geneCount(), 1);
  EXPECT_FALSE(pool.removeCarrier(seedAt(1), nullptr));
}

// --- searching --------------------------------------------------------------------------

TEST_F(GenePool, FindingAnEqualGene) {
  add(ofLength(3), {1});
  mGene* first = add(ofLength(5, 1), {2});
  mGene* second = add(ofLength(5, 2), {3});

  mGene child(&pool, ofLength(5, 2));
  EXPECT_EQ(pool.findEqual(child), second);
  mGene lengthFour(&pool, ofLength(4));
  EXPECT_EQ(pool.findEqual(lengthFour), nullptr);
  mGene lengthTen(&pool, ofLength(10));
  EXPECT_EQ(pool.findEqual(lengthTen), nullptr);

  // The identifier counts as much as the code: the first gene equal either way is found.
  mGene sameId(&pool, ofLength(5, 2));
  sameId.setIdentifier(first->identifier());
  EXPECT_EQ(pool.findEqual(sameId), first);
  EXPECT_EQ(pool.vectorFor(3)->findEqual(child), nullptr);  // wrong length for that vector
}

TEST_F(GenePool, FindingByIdentifier) {
  add(ofLength(3));
  mGene* b = add(ofLength(3, 1));
  add(ofLength(7));
  EXPECT_EQ(pool.findByIdentifier(b->identifier()), b);
  EXPECT_EQ(pool.findByIdentifier(mID(3, 99, 1)), nullptr);
  EXPECT_EQ(pool.findByIdentifier(mID(4, b->identifier().time, 1)), nullptr);
  EXPECT_EQ(pool.vectorFor(3)->findByIdentifier(mID(7, 2, 1)), nullptr);
}

TEST_F(GenePool, ABredChildEqualToAPoolGeneJoinsItsCarriers) {
  Parameters p;
  mRandom draws;
  p.mGene_maxFatherEffect = 0;
  p.mGene_vectorVariation = 0;
  p.mGene_sizeVariation = 0;
  p.mGene_operatorVariation = 0;
  mGene* mother = add({op::push, op::gene_separate, op::pop}, {1});
  std::unique_ptr<mGene> child;
  {
    ScriptedRandom random(draws);
    random.u(0.5).u(0.5).u(0.5).u(0.5).u(0.5);
    child = mGene::breedGene(*mother, *mother, 1.0, p, draws);
  }
  EXPECT_EQ(child->pool(), &pool);
  mGene* found = pool.findEqual(*child);
  ASSERT_EQ(found, mother);
  found->addCarrier(seedAt(2));
  EXPECT_EQ(pool.geneCount(), 1);
  EXPECT_EQ(mother->carrierCount(), 2);
}

// --- identifiers and counts -------------------------------------------------------------

TEST_F(GenePool, NewIdentifiersTakeThePlacesCurrentTimeAndMark) {
  place.time = 250;
  EXPECT_EQ(pool.newIdentifier(10).text(), "10-250-1");
  place.time = 251;
  place.mark = 3;
  EXPECT_EQ(pool.newIdentifier(61).text(), "61-251-3");
  const mGeneList placeless(nullptr);
  EXPECT_EQ(placeless.newIdentifier(4).text(), "4-0-0");
}

TEST_F(GenePool, CarriersOfALengthGeneByGene) {
  add(ofLength(4, 1), {3, 1});
  add(ofLength(2), {9});
  add(ofLength(4, 2), {2});
  EXPECT_EQ(pool.carriersOfLength(4), (std::vector<mSeed*>{seedAt(3), seedAt(1), seedAt(2)}));
  EXPECT_TRUE(pool.carriersOfLength(3).empty());
  EXPECT_EQ(pool.vectorFor(4)->carrierCount(), 3);
}

// --- frequencies ------------------------------------------------------------------------

TEST_F(GenePool, FrequencyRecords) {
  place.time = 7;
  mGene* a = add(ofLength(5, 1), {1, 2});
  mGene* b = add(ofLength(3), {3});
  mGene* c = add(ofLength(5, 2), {4});

  const auto genes = pool.geneFrequencies();
  ASSERT_EQ(genes.size(), 3u);
  EXPECT_EQ(genes[0].idText, "3-8-1");
  EXPECT_EQ(genes[0].carriers, 1);
  EXPECT_EQ(genes[0].gene, b);
  EXPECT_EQ(genes[1].idText, "5-7-1");
  EXPECT_EQ(genes[1].carriers, 2);
  EXPECT_EQ(genes[1].gene, a);
  EXPECT_EQ(genes[2].idText, "5-9-1");
  EXPECT_EQ(genes[2].gene, c);

  const auto lengths = pool.lengthFrequencies();
  ASSERT_EQ(lengths.size(), 2u);
  EXPECT_EQ(lengths[0].size, 3);
  EXPECT_EQ(lengths[0].carriers, 1);
  EXPECT_EQ(lengths[1].size, 5);
  EXPECT_EQ(lengths[1].carriers, 3);

  EXPECT_TRUE(mGeneList(nullptr).geneFrequencies().empty());
}

TEST(GenePoolOrderings, AnswerFalseForAbsentRecords) {
  const mLengthFrequency l{3, 1};
  const mGeneFrequency g{"3-0-1", 1, nullptr, mID(3, 0, 1)};
  EXPECT_FALSE(mGeneList::lengthOrder(&l, nullptr));
  EXPECT_FALSE(mGeneList::lengthOrder(nullptr, &l));
  EXPECT_FALSE(mGeneList::lengthCarrierOrder(&l, nullptr));
  EXPECT_FALSE(mGeneList::lengthCarrierOrder(nullptr, &l));
  EXPECT_FALSE(mGeneList::geneCarrierOrder(&g, nullptr));
  EXPECT_FALSE(mGeneList::geneCarrierOrder(nullptr, &g));
  EXPECT_TRUE(mGeneList::geneCarrierOrder(&g, &g));  // as written: equal identifiers, true
}

TEST(GenePoolOrderings, LengthRecords) {
  std::vector<mLengthFrequency> records{{9, 2}, {3, 5}, {7, 2}, {5, 8}};
  mGeneList::sortByLength(records);
  EXPECT_EQ(records[0].size, 3);
  EXPECT_EQ(records[1].size, 5);
  EXPECT_EQ(records[2].size, 7);
  EXPECT_EQ(records[3].size, 9);
  mGeneList::sortByCarriers(records);  // carriers descending, equal carriers by length
  std::vector<int> sizes;
  for (const auto& r : records) sizes.push_back(r.size);
  EXPECT_EQ(sizes, (std::vector<int>{5, 3, 7, 9}));
}

TEST(GenePoolOrderings, GeneRecordsByCarriersThenIdentifier) {
  std::vector<mGeneFrequency> records{
      {"a", 1, nullptr, mID(5, 2, 1)}, {"b", 4, nullptr, mID(9, 9, 1)}, {"c", 1, nullptr, mID(5, 1, 1)},
      {"d", 1, nullptr, mID(3, 8, 1)}, {"e", 1, nullptr, mID(5, 1, 2)}, {"f", 4, nullptr, mID(2, 0, 1)},
  };
  mGeneList::sortByCarriers(records);
  std::string order;
  for (const auto& r : records) order += r.idText;
  // 4 carriers: 2-0-1 before 9-9-1; 1 carrier: 3-8-1, then time 1 (mark 2 before mark 1), 5-2-1
  EXPECT_EQ(order, "fbdeca");
}

TEST(GenePoolOrderings, EqualIdentifiersKeepTheirOrderAndStayInRange) {
  // before() answers true both ways for these; the sort must neither run off its range nor
  // reorder them.
  std::vector<mGeneFrequency> records;
  for (int i = 0; i < 200; ++i) {
    records.push_back({std::to_string(i), i % 3 == 0 ? 2 : 1, nullptr, mID(4, 4, 1)});
  }
  mGeneList::sortByCarriers(records);
  ASSERT_EQ(records.size(), 200u);
  std::vector<int> expected;
  for (int i = 0; i < 200; i += 3) expected.push_back(i);
  for (int i = 0; i < 200; ++i) {
    if (i % 3 != 0) expected.push_back(i);
  }
  for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i].idText, std::to_string(expected[i])) << i;
}

// --- blocks -----------------------------------------------------------------------------

TEST_F(GenePool, EmptyPoolBlock) { EXPECT_EQ(written(), "/*mGeneList start*/\r\n0\r\n/*mGeneList end*/\r\n"); }

TEST_F(GenePool, VectorBlockWithoutGenes) {
  const mGeneVector vector(&pool, 2);
  std::ostringstream out;
  vector.write(out);
  EXPECT_EQ(out.str(), "/*mGeneVector start*/\r\n2 0\r\n0\r\n/*mGeneVector end*/\r\n");
}

TEST_F(GenePool, PoolBlockBytes) {
  place.time = 4;
  add({op::push, op::pop}, {1});
  add({op::breed_flower}, {2});
  add({op::zero, op::increment}, {3});
  EXPECT_EQ(written(),
            "/*mGeneList start*/\r\n2\r\n"
            "/*mGeneVector start*/\r\n1 1\r\n"
            "/*mGene strat*/\r\n/*mID start*/\r\n1 5 1\r\n/*mID end*/\r\n31 \r\n/*mGene end*/\r\n"
            "0\r\n/*mGeneVector end*/\r\n"
            "/*mGeneVector start*/\r\n2 2\r\n"
            "/*mGene strat*/\r\n/*mID start*/\r\n2 4 1\r\n/*mID end*/\r\n8 9 \r\n/*mGene end*/\r\n"
            "/*mGene strat*/\r\n/*mID start*/\r\n2 6 1\r\n/*mID end*/\r\n14 12 \r\n/*mGene end*/\r\n"
            "0\r\n/*mGeneVector end*/\r\n"
            "/*mGeneList end*/\r\n");
}

TEST_F(GenePool, RoundTripGivesTheSameBlockAndGenesWithoutCarriers) {
  add(ofLength(4, 3), {1});
  add(ofLength(2), {2});
  add(ofLength(4, 5), {3, 4});
  add(ofLength(61, 30), {5});
  const std::string text = written();

  FakePlace otherPlace;
  mGeneList read(&otherPlace);
  std::istringstream in(text + "/*mSeedList start*/\r\n");
  ASSERT_TRUE(read.read(in));
  std::ostringstream again;
  read.write(again);
  EXPECT_EQ(again.str(), text);
  EXPECT_EQ(read.lengths(), (std::vector<int>{2, 4, 61}));
  EXPECT_EQ(read.geneCount(), 4);
  for (const auto& vector : read.vectors()) {
    EXPECT_EQ(vector->pool(), &read);
    for (const auto& gene : vector->genes()) {
      EXPECT_EQ(gene->pool(), &read);
      EXPECT_EQ(gene->carrierCount(), 0);
    }
  }
  const mGene* found = read.findByIdentifier(pool.vectorFor(4)->gene(1)->identifier());
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->code(), ofLength(4, 5));
  std::string next;
  std::getline(in, next);
  EXPECT_EQ(next, "/*mSeedList start*/\r");
}

TEST_F(GenePool, ReadingReplacesTheContentAndKeepsEmptyVectorsOfTheFile) {
  add(ofLength(8));
  std::istringstream in("/*mGeneList start*/\n1\n/*mGeneVector start*/\n2 0\n0\n/*mGeneVector end*/\n/*mGeneList end*/\n");
  ASSERT_TRUE(pool.read(in));
  EXPECT_EQ(pool.lengths(), std::vector<int>{2});
  EXPECT_EQ(pool.geneCount(), 0);
}

TEST_F(GenePool, EveryTruncationFailsAndLeavesThePoolUnchanged) {
  add(ofLength(3, 1), {1});
  add(ofLength(5, 2), {2});
  add(ofLength(5, 3), {3});
  const std::string text = written();
  const size_t lastLine = text.rfind("/*mGeneList end*/");

  FakePlace otherPlace;
  mGeneList target(&otherPlace);
  target.addGene(std::make_unique<mGene>(&target, ofLength(7)));
  std::ostringstream before;
  target.write(before);
  for (size_t cut = 0; cut < lastLine; ++cut) {
    std::istringstream in(text.substr(0, cut));
    EXPECT_FALSE(target.read(in)) << cut;
    EXPECT_TRUE(in.fail()) << cut;
  }
  std::ostringstream after;
  target.write(after);
  EXPECT_EQ(after.str(), before.str());
}

TEST_F(GenePool, MalformedBlocksFail) {
  const char* bad[] = {
      // negative and absurd counts
      "/*mGeneList start*/\r\n-1\r\n/*mGeneList end*/\r\n",
      "/*mGeneList start*/\r\n2000000000\r\n/*mGeneVector start*/\r\n",
      "/*mGeneList start*/\r\n1\r\n/*mGeneVector start*/\r\n2 -3\r\n0\r\n/*mGeneVector end*/\r\n",
      "/*mGeneList start*/\r\n1\r\n/*mGeneVector start*/\r\n2 2000000000\r\n",
      "/*mGeneList start*/\r\n1\r\n/*mGeneVector start*/\r\n-2 0\r\n0\r\n/*mGeneVector end*/\r\n/*mGeneList end*/\r\n",
      // lengths out of order, or twice
      "/*mGeneList start*/\r\n2\r\n/*mGeneVector start*/\r\n5 0\r\n0\r\n/*mGeneVector end*/\r\n"
      "/*mGeneVector start*/\r\n3 0\r\n0\r\n/*mGeneVector end*/\r\n/*mGeneList end*/\r\n",
      "/*mGeneList start*/\r\n2\r\n/*mGeneVector start*/\r\n3 0\r\n0\r\n/*mGeneVector end*/\r\n"
      "/*mGeneVector start*/\r\n3 0\r\n0\r\n/*mGeneVector end*/\r\n/*mGeneList end*/\r\n",
      // a gene of another length than its vector
      "/*mGeneList start*/\r\n1\r\n/*mGeneVector start*/\r\n3 1\r\n/*mGene strat*/\r\n/*mID start*/\r\n2 0 1\r\n"
      "/*mID end*/\r\n1 2 \r\n/*mGene end*/\r\n0\r\n/*mGeneVector end*/\r\n/*mGeneList end*/\r\n",
      // no "0" line
      "/*mGeneList start*/\r\n1\r\n/*mGeneVector start*/\r\n3 0\r\n/*mGeneVector end*/\r\n/*mGeneList end*/\r\n",
      "/*mGeneList start*/\r\nx\r\n",
  };
  for (const char* text : bad) {
    mGeneList target(&place);
    std::istringstream in(text);
    EXPECT_FALSE(target.read(in)) << text;
    EXPECT_TRUE(in.fail()) << text;
    EXPECT_EQ(target.vectorCount(), 0) << text;
  }
}

TEST_F(GenePool, CorruptedBytesNeverCrashTheReader) {
  add({op::push, op::gene_separate, op::pop}, {1});
  add(ofLength(2, 31), {2});
  add(ofLength(2, 7), {3});
  const std::string text = written();
  for (size_t i = 0; i < text.size(); ++i) {
    for (const char replacement : {'9', '-', ' ', '\n', 'x'}) {
      std::string corrupted = text;
      corrupted[i] = replacement;
      mGeneList target(&place);
      std::istringstream in(corrupted);
      if (target.read(in)) {
        for (const auto& vector : target.vectors()) {
          for (const auto& gene : vector->genes()) EXPECT_EQ(gene->size(), vector->size());
        }
      }
    }
  }
}

}  // namespace
