#include "records/lives_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "body/parameters.h"
#include "engine/place.h"
#include "base/random.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "records/world_document.h"
#include "tests/test_support.h"

namespace {

using vek::test::dataPath;
using vek::test::freshFolder;
using vek::test::readBytes;

void runTurns(mWorld& world, int turns) {
  const int last = world.place().turn() + turns;
  while (world.place().turn() < last) world.step();
}

vek::SavedWorldTexts textsOf(mWorld& world) {
  return {parameterFileText(world.place().parameters()), vek::worldLivesText(world.phase()),
          vek::placeLivesText(world.place()), "", {}};
}

// A world made from the built-in genome and run for `turns` turns, as the files a save writes.
vek::SavedWorldTexts savedWorld(int turns) {
  mWorld world;
  world.place().populateWithBuiltInGenome();
  runTurns(world, turns);
  return textsOf(world);
}

// The text with every number replaced by "#", and the numbers themselves: two worlds that
// differ only in the last digits of their doubles have the same skeleton.
struct Numbers {
  std::string skeleton;
  std::vector<double> values;
};
Numbers numbersOf(const std::string& text) {
  static const std::regex number(R"([-+]?[0-9]+(\.[0-9]+)?(e[-+]?[0-9]+)?)");
  Numbers result;
  std::sregex_iterator it(text.begin(), text.end(), number), end;
  size_t at = 0;
  for (; it != end; ++it) {
    result.skeleton += text.substr(at, static_cast<size_t>(it->position()) - at) + "#";
    result.values.push_back(std::stod(it->str()));
    at = static_cast<size_t>(it->position() + it->length());
  }
  result.skeleton += text.substr(at);
  return result;
}

TEST(LivesFile, AnEmptyWorldsFilesHoldTheHeadersAndEmptyBlocks) {
  EXPECT_EQ(vek::worldLivesText(2), "Vind is living in Vek !!\r\n2\r\n");
  mWorld world;
  std::string zeros;
  for (int i = 0; i < 32; ++i) zeros += "0 ";
  EXPECT_EQ(vek::placeLivesText(world.place()),
            "Ostrel is living in Vek!!\r\n0 0\r\n"
            "/*mGeneList start*/\r\n0\r\n/*mGeneList end*/\r\n"
            "/*mSeedList start*/\r\n0 0 0 0 1 0 0 0\r\n"
            "/*mEnergy start*/\r\n0 0 0 0\r\n" +
                zeros +
                "\r\n/*mEnergy end*/\r\n0\r\n0\r\n0\r\n/*mSeedList end*/\r\n"
                "/*mField start*/\r\n0 0 0\r\n/*mField end*/\r\n");
}

// The first line where two texts differ, for a readable failure.
std::string firstDifference(const std::string& a, const std::string& b) {
  std::istringstream left(a), right(b);
  std::string x, y;
  for (int line = 1;; ++line) {
    const bool moreLeft = static_cast<bool>(std::getline(left, x));
    const bool moreRight = static_cast<bool>(std::getline(right, y));
    if (!moreLeft && !moreRight) return "";
    if (x != y || moreLeft != moreRight) return "line " + std::to_string(line) + ": \"" + x + "\" vs \"" + y + "\"";
  }
}

// The population's averages: the reader recomputes them over the individuals it reads, while
// the writer saved them as the end of the last turn computed them, before that turn's deaths.
std::string withoutAverages(std::string lives) {
  const size_t start = lives.find("/*mSeedList start*/");
  const size_t end = lives.find("/*mEnergy end*/", start);
  return lives.erase(start, end - start);
}

TEST(LivesFile, SavedLoadedAndSavedAgainGivesIdenticalFilesAndTheSameRun) {
  mWorld original;
  original.place().populateWithBuiltInGenome();
  runTurns(original, 250);
  ASSERT_GT(original.place().population().livingCount(), 10);
  const vek::SavedWorldTexts saved = textsOf(original);
  const std::uint32_t generator = original.place().random().generator().state();

  mWorld loaded;
  vek::WorldDocument document(loaded, vek::test::fileLock());
  ASSERT_TRUE(document.loadFromTexts("/nowhere/", saved).ok());
  const vek::SavedWorldTexts again = textsOf(loaded);
  EXPECT_EQ(firstDifference(withoutAverages(again.placeLives), withoutAverages(saved.placeLives)), "");
  EXPECT_EQ(again.worldLives, saved.worldLives);
  EXPECT_EQ(again.parameters, saved.parameters);
  {
    mWorld third;
    vek::WorldDocument reloaded(third, vek::test::fileLock());
    ASSERT_TRUE(reloaded.loadFromTexts("/nowhere/", again).ok());
    EXPECT_EQ(firstDifference(vek::placeLivesText(third.place()), again.placeLives), "");
  }

  // Both go on from the same state of the random numbers; the loaded world differs from the
  // original only beyond the tenth digit of its doubles.
  runTurns(original, 40);
  const Numbers expected = numbersOf(vek::placeLivesText(original.place()));
  loaded.place().random().reseed(generator);
  runTurns(loaded, 40);
  const Numbers actual = numbersOf(vek::placeLivesText(loaded.place()));
  ASSERT_EQ(actual.skeleton, expected.skeleton);
  ASSERT_EQ(actual.values.size(), expected.values.size());
  for (size_t i = 0; i < actual.values.size(); ++i) {
    const double tolerance = 1e-6 * std::max(1.0, std::fabs(expected.values[i]));
    ASSERT_NEAR(actual.values[i], expected.values[i], tolerance) << "number " << i;
  }
}

TEST(LivesFile, EditedFrameLinesAreSkippedUnread) {
  vek::SavedWorldTexts texts = savedWorld(20);
  const std::string original = texts.placeLives;
  texts.placeLives = std::regex_replace(original, std::regex(R"(/\*(m[A-Za-z0-9]+) (start|strat|end)\*/)"),
                                        "-- $1 edited by hand --");
  texts.placeLives = std::regex_replace(texts.placeLives, std::regex("Ostrel is living in Vek!!"), "anything");
  ASSERT_NE(texts.placeLives, original);
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.loadFromTexts("/edited/", texts).ok());
  EXPECT_EQ(firstDifference(withoutAverages(vek::placeLivesText(world.place())), withoutAverages(original)), "");
}

// Every way of cutting a real save short at a block boundary, and a few hostile files: the
// load fails, names the file, and leaves the world, the parameters and the folder alone.
class FailedLoad : public ::testing::Test {
 protected:
  void expectFails(const vek::SavedWorldTexts& texts, const std::string& file, const std::string& context) {
    mWorld world;
    vek::WorldDocument document(world, vek::test::fileLock());
    const vek::FileOutcome outcome = document.loadFromTexts("/saved/", texts);
    ASSERT_FALSE(outcome.ok()) << context;
    EXPECT_EQ(outcome.error.rfind("cannot load /saved/" + file + ": ", 0), 0u) << context << ": " << outcome.error;
    EXPECT_EQ(outcome.error.find('\n'), std::string::npos) << context;
    EXPECT_EQ(world.place().population().livingCount(), 0) << context;
    EXPECT_EQ(world.place().genePool().geneCount(), 0) << context;
    EXPECT_EQ(world.place().turn(), 0) << context;
    EXPECT_EQ(world.place().parameters().mDaughter_log_turn, 10000) << context;
    EXPECT_EQ(document.saveFolder(), "") << context;
    EXPECT_FALSE(document.save().ok()) << context;
  }
};

TEST_F(FailedLoad, TruncatedAtEveryBlockBoundary) {
  vek::SavedWorldTexts texts = savedWorld(100);
  texts.parameters = "5 mDaughter_log_turn\r\n";  // must not outlive the failed load
  const std::string whole = texts.placeLives;
  int cuts = 0;
  for (size_t at = whole.find("/*"); at != std::string::npos; at = whole.find("/*", at + 1)) {
    vek::SavedWorldTexts cut = texts;
    cut.placeLives = whole.substr(0, at);
    expectFails(cut, "Ostrel.lives", "cut before byte " + std::to_string(at));
    ++cuts;
  }
  EXPECT_GT(cuts, 100);
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  EXPECT_TRUE(document.loadFromTexts("/saved/", texts).ok());
}

TEST_F(FailedLoad, TheMessageNamesTheBlockAndItsLine) {
  const std::string fixture = readBytes(dataPath("saved_world/Ostrel.lives"));
  vek::SavedWorldTexts texts{"", "Vind is living in Vek !!\r\n0\r\n", fixture, "", {}};
  texts.placeLives.replace(texts.placeLives.find("0.5 -1 "), 7, "0.5 x1 ");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  EXPECT_EQ(document.loadFromTexts("/saved/", texts).error,
            "cannot load /saved/Ostrel.lives: the population (mSeedList) block starting at line 26 is truncated or "
            "malformed");
}

TEST_F(FailedLoad, MalformedWorldLivesFiles) {
  vek::SavedWorldTexts texts = savedWorld(1);
  for (const std::string& world : {std::string(), std::string("Vind is living in Vek !!\r\n"),
                                   std::string("Vind is living in Vek !!\r\nEXECUTE\r\n"),
                                   std::string("Vind is living in Vek !!\r\n5\r\n"), std::string("3\r\n")}) {
    texts.worldLives = world;
    expectFails(texts, "Vind.lives", "Vind.lives holding \"" + world + "\"");
  }
}

TEST_F(FailedLoad, HostileCountsNamesAndBytes) {
  const std::string fixture = readBytes(dataPath("saved_world/Ostrel.lives"));
  const vek::SavedWorldTexts good{"", "Vind is living in Vek !!\r\n0\r\n", fixture, "", {}};
  const struct {
    std::string from, to;
  } edits[] = {
      {"/*mGeneList start*/\r\n2", "/*mGeneList start*/\r\n-1"},
      {"/*mGeneList start*/\r\n2", "/*mGeneList start*/\r\n9999999"},
      {"5 1\r\n", "5 2147483647\r\n"},
      {"3 100 1\r\n/*mID end*/\r\n28 27 31", "3 100 1\r\n/*mID end*/\r\n28 27"},
      {"\r\n2\r\n/*mSeed start*/", "\r\n2147483647\r\n/*mSeed start*/"},
      {"\r\n2\r\n/*mSeed start*/", "\r\n-3\r\n/*mSeed start*/"},
      {"/*mID start*/\r\n5 0 1\r\n/*mID end*/\r\n/*mID start*/", "/*mID start*/\r\n5 7 1\r\n/*mID end*/\r\n/*mID start*/"},
      {"2 3 1\r\n", "2 99 1\r\n"},
      {"\r\n1\r\n4 \r\n", "\r\n16777217\r\n4 \r\n"},
      {"(NE<0.0000000000", "((NE<0.0000000000"},
      {"0.0411831 0.5", "0.0411831 nonsense"},
      {"120 7", "time turn"},
  };
  for (const auto& edit : edits) {
    vek::SavedWorldTexts texts = good;
    const size_t at = texts.placeLives.find(edit.from);
    ASSERT_NE(at, std::string::npos) << edit.from;
    texts.placeLives.replace(at, edit.from.size(), edit.to);
    expectFails(texts, "Ostrel.lives", "\"" + edit.to + "\"");
  }
  vek::SavedWorldTexts junk = good;
  junk.placeLives = std::string("\x00\xff\x7f/*\r\n\n-", 8) + std::string(5000, '\xfe');
  expectFails(junk, "Ostrel.lives", "binary junk");
  junk.placeLives = "";
  expectFails(junk, "Ostrel.lives", "an empty file");
}

TEST(LivesFile, AMissingFileIsNamed) {
  const std::string folder = freshFolder("missing");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  EXPECT_EQ(document.load(folder).error, "cannot read " + folder + "parameter.pini: No such file or directory");
  EXPECT_EQ(document.saveFolder(), "");
}

// Numbers that the program itself never writes: the load names the value and its line.
TEST_F(FailedLoad, ValuesNoSaveHoldsAreNamedWithTheirLines) {
  const std::string fixture = readBytes(dataPath("saved_world/Ostrel.lives"));
  const vek::SavedWorldTexts good{"", "Vind is living in Vek !!\r\n0\r\n", fixture, "", {}};
  const struct {
    std::string from, to, message;
  } edits[] = {
      {"120 7\r\n", "120 -7\r\n", "line 2: the time 120 and the turn -7 cannot be negative"},
      {"120 7\r\n", "120 99999999999\r\n", "line 2 does not hold the time and the turn"},
      {"28 27 31 ", "28 40 31 ",
       "the gene pool (mGeneList) block starting at line 3: the gene 3-100-1 holds the opcode 40 at 1; opcodes run "
       "from 0 to 31 (line 11)"},
      {"3 1 1 0 1.5", "-3 1 1 0 1.5",
       "the population (mSeedList) block starting at line 26: the population counts -3 births and 1 deaths in all, 1 "
       "and 0 this turn; none can be negative (line 27)"},
      {"2 3 1\r\n1 0.5", "-2 3 1\r\n1 0.5",
       "a processor stands at ip -2 with register 3 selected and 1 children bred"},
      {"1.5 -2 0\r\n", "nan -2 0\r\n", "the individual 5-0-1 stands at a position that is not a number"},
      {"7 0 \r\n/*mSeed end*/", "99999999999 0 \r\n/*mSeed end*/",
       "the number 99999999999 lies beyond the 32-bit range (line 61)"},
      {"7 0 \r\n/*mSeed end*/", "-7 0 \r\n/*mSeed end*/", "the individual 5-0-1 has the age -7 and newborn mark 0"},
  };
  for (const auto& edit : edits) {
    vek::SavedWorldTexts texts = good;
    const size_t at = texts.placeLives.find(edit.from);
    ASSERT_NE(at, std::string::npos) << edit.from;
    texts.placeLives.replace(at, edit.from.size(), edit.to);
    mWorld world;
    vek::WorldDocument document(world, vek::test::fileLock());
    const vek::FileOutcome outcome = document.loadFromTexts("/saved/", texts);
    EXPECT_NE(outcome.error.find(edit.message), std::string::npos) << edit.to << ": " << outcome.error;
  }
}

// The age and the children bred stop at the largest number instead of turning negative.
TEST(LivesFile, AnAgeAtTheLargestNumberStaysThere) {
  std::string lives = readBytes(dataPath("saved_world/Ostrel.lives"));
  const size_t end = lives.find("/*mSeed end*/");
  const size_t ageLine = lives.rfind("\r\n", lives.rfind("\r\n", end) - 1) + 2;
  lives.replace(ageLine, lives.find(' ', ageLine) - ageLine, "2147483647");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.loadFromTexts("/saved/", {"", "Vind is living in Vek !!\r\n0\r\n", lives, "", {}}).ok());
  runTurns(world, 2);
  EXPECT_NE(vek::placeLivesText(world.place()).find("2147483647 "), std::string::npos);
  EXPECT_EQ(vek::placeLivesText(world.place()).find("-2147483647"), std::string::npos);
}

}  // namespace
