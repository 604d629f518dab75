// The exact companion: a world saved and loaded again goes on exactly as the world that never
// stopped, and a companion that no longer belongs to its lives files is left aside.
#include "records/exact_state.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "body/parameters.h"
#include "engine/place.h"
#include "engine/world.h"
#include "records/lineage_files.h"
#include "records/lives_file.h"
#include "records/world_document.h"
#include "tests/test_support.h"

namespace {

void runSteps(mWorld& world, int steps) {
  for (int k = 0; k < steps; ++k) world.step();
}

// Every double of the place to its last bit, and the random numbers' state.
std::string exactly(const mWorld& world) {
  return vek::placeLivesText(world.place(), 17) + " random " +
         std::to_string(world.place().random().generator().state());
}

vek::SavedWorldTexts savedTexts(const mWorld& world) {
  vek::SavedWorldTexts texts;
  texts.parameters = parameterFileText(world.place().parameters());
  texts.worldLives = vek::worldLivesText(world.phase());
  texts.placeLives = vek::placeLivesText(world.place());
  texts.exact = vek::exactStateText(world, texts.worldLives, texts.placeLives);
  mLineage lineage = world.place().lineage();
  lineage.refreshCounts(world.place().genePool());
  texts.phylogeny = vek::phylogenyText(lineage);
  return texts;
}

// Stopped in the middle of a turn, saved and loaded, a world goes on as if it had never
// stopped; without the companion (ten digits) it soon parts from it.
TEST(ExactState, ALoadedWorldGoesOnExactlyFromAnyStep) {
  mWorld original;
  original.place().random().reseed(99);
  original.place().populateWithBuiltInGenome();
  runSteps(original, 60000);  // several hundred turns, and a phase inside a turn
  ASSERT_NE(original.phase(), SUN_LIGHT);
  const vek::SavedWorldTexts texts = savedTexts(original);

  mWorld loaded;
  vek::WorldDocument document(loaded, vek::test::fileLock());
  ASSERT_TRUE(document.loadFromTexts("/saved/", texts).ok());
  EXPECT_TRUE(document.notices().empty());
  EXPECT_EQ(loaded.phase(), original.phase());
  EXPECT_EQ(exactly(loaded), exactly(original));
  EXPECT_EQ(vek::placeLivesText(loaded.place()), texts.placeLives);  // a save writes back the same

  vek::SavedWorldTexts roughly = texts;
  roughly.exact.clear();
  mWorld rounded;
  vek::WorldDocument second(rounded, vek::test::fileLock());
  ASSERT_TRUE(second.loadFromTexts("/saved/", roughly).ok());

  runSteps(original, 30000);
  runSteps(loaded, 30000);
  runSteps(rounded, 30000);
  EXPECT_TRUE(exactly(loaded) == exactly(original)) << "the exactly loaded world parted from the original";
  EXPECT_FALSE(exactly(rounded) == exactly(original)) << "ten digits would have been enough";
}

TEST(ExactState, ACompanionOfOtherLivesFilesIsLeftAside) {
  mWorld original;
  original.place().populateWithBuiltInGenome();
  runSteps(original, 3000);
  vek::SavedWorldTexts texts = savedTexts(original);
  texts.placeLives.replace(texts.placeLives.find("\r\n") + 2, 1, "9");  // the time edited by hand

  mWorld loaded;
  vek::WorldDocument document(loaded, vek::test::fileLock());
  ASSERT_TRUE(document.loadFromTexts("/saved/", texts).ok());
  ASSERT_EQ(document.notices().size(), 1u);
  EXPECT_EQ(document.notices()[0],
            "the exact companion of /saved/Ostrel.lives was not used (it was saved with other lives files than those "
            "in the folder); the world goes on from the lives files, to their ten digits");
  EXPECT_EQ(vek::placeLivesText(loaded.place()).substr(0, 40), texts.placeLives.substr(0, 40));

  vek::SavedWorldTexts damaged = savedTexts(original);
  damaged.exact.resize(damaged.exact.size() / 2);
  mWorld other;
  vek::WorldDocument third(other, vek::test::fileLock());
  ASSERT_TRUE(third.loadFromTexts("/saved/", damaged).ok());
  ASSERT_EQ(third.notices().size(), 1u);
  EXPECT_NE(third.notices()[0].find("was not used (its place is cut short)"), std::string::npos) << third.notices()[0];
}

// A parameter the file still holds as saved takes back its last digits; one edited by hand
// keeps the file's value.
TEST(ExactState, ParametersKeepTheirEditsAndOtherwiseTheirLastDigits) {
  mWorld original;
  original.place().parameters().mField_capacity = 1.0 / 3.0;
  original.place().populateWithBuiltInGenome();
  runSteps(original, 100);
  vek::SavedWorldTexts texts = savedTexts(original);
  const std::string daylight = "0.1285714286 mField_daylight";
  ASSERT_NE(texts.parameters.find(daylight), std::string::npos);
  texts.parameters.replace(texts.parameters.find(daylight), daylight.size(), "0.2 mField_daylight");

  mWorld loaded;
  vek::WorldDocument document(loaded, vek::test::fileLock());
  ASSERT_TRUE(document.loadFromTexts("/saved/", texts).ok());
  const Parameters& p = loaded.place().parameters();
  EXPECT_EQ(p.mField_capacity, 1.0 / 3.0);
  EXPECT_EQ(p.mField_daylight, 0.2);
  EXPECT_EQ(p.mCPU_adjust_phy, kPi / 6.0);
}

}  // namespace
