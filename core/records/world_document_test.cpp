#include "records/world_document.h"

#include <gtest/gtest.h>

#include <memory>

#include <filesystem>
#include <fstream>

#include "body/field.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene.h"
#include "genome/gene_list.h"
#include "records/lives_file.h"
#include "records/save_unit.h"
#include "records/statistics_logs.h"
#include "tests/test_support.h"

namespace {

using vek::test::dataPath;
using vek::test::freshFolder;
using vek::test::readBytes;

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string copyOfSavedWorld(const std::string& name) {
  const std::string folder = freshFolder(name);
  for (const char* file : {"Vek.vek", "Vind.lives", "Ostrel.lives", "parameter.pini"})
    std::filesystem::copy_file(dataPath(std::string("saved_world/") + file), folder + file);
  return folder;
}

TEST(WorldDocument, TheSavedWorldFixtureLoadsIntoTheObjectsItDescribes) {
  const std::string folder = copyOfSavedWorld("fixture");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.load(folder).ok());
  EXPECT_EQ(document.saveFolder(), folder);

  const mPlace& place = world.place();
  EXPECT_EQ(place.time(), 120);
  EXPECT_EQ(place.turn(), 7);
  EXPECT_EQ(world.phase(), EXECUTE);
  EXPECT_EQ(world.caption(), "EXECUTE(1/2)");

  const mGeneList& pool = place.genePool();
  ASSERT_EQ(pool.lengths(), (std::vector<int>{3, 5}));
  const mGene* shared = pool.findByIdentifier(mID(5, 0, 1));
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->code(), (std::vector<int>{19, 14, 12, 27, 2}));
  EXPECT_EQ(shared->carrierCount(), 2);

  const mSeedList& population = place.population();
  ASSERT_EQ(population.livingCount(), 2);
  ASSERT_EQ(population.newborn().size(), 1u);
  EXPECT_EQ(population.cursorIndex(), 1);
  EXPECT_EQ(population.totalBirths(), 3);
  EXPECT_EQ(population.totalDeaths(), 1);
  EXPECT_EQ(population.averageAge(), 4.5);
  EXPECT_EQ(population.averageAccount().current(), 426.25);

  const mSeed& first = *population.living()[0];
  EXPECT_EQ(first.genome(), shared);
  EXPECT_EQ(first.id().text(), "5-0-1");
  EXPECT_EQ(first.position().x, 1.5);
  EXPECT_EQ(first.position().y, -2.0);
  EXPECT_EQ(first.age(), 7);
  EXPECT_EQ(first.evaluation(), 2.0);  // one child, energy left
  EXPECT_EQ(first.processor().ip(), 2);
  EXPECT_EQ(first.processor().selectedRegister(), 3);
  EXPECT_EQ(first.processor().registers()[1], 0.5);
  EXPECT_EQ(first.processor().dataStack(), (std::vector<double>{0.5, -1}));
  EXPECT_EQ(first.processor().energy().usageOf(28), 100.5);
  ASSERT_EQ(first.body().leaves().size(), 1u);
  EXPECT_EQ(first.body().leaves()[0]->radius(), 0.25);
  EXPECT_EQ(first.body().leaves()[0]->position()->z, 1.0);
  EXPECT_EQ(first.body().leafLight(), 0.125);

  const mSeed& second = *population.living()[1];
  EXPECT_EQ(second.genome()->identifier().text(), "3-100-1");
  EXPECT_EQ(second.evaluation(), 1.0);
  EXPECT_TRUE(second.processor().trace().empty());
  EXPECT_EQ(second.body().text(), "N");
  EXPECT_EQ(population.newborn()[0]->newborn(), 1);
  EXPECT_EQ(population.newborn()[0]->id().text(), "5-118-1");
  EXPECT_EQ(place.field().occupancy(), 0.0411831);
  EXPECT_EQ(place.field().totalDaylight(), 25714285.71);

  // Saved again, the files are the fixture's byte for byte.
  ASSERT_TRUE(document.save().ok());
  for (const char* file : {"Vind.lives", "Ostrel.lives", "parameter.pini"})
    EXPECT_EQ(readBytes(folder + file), readBytes(dataPath(std::string("saved_world/") + file))) << file;
}

TEST(WorldDocument, ANewWorldFromTheBuiltInGenome) {
  const std::string base = freshFolder("builtin");
  mWorld world;
  auto document = std::make_unique<vek::WorldDocument>(world, vek::test::fileLock());
  ASSERT_TRUE(document->createWithBuiltInGenome(base.substr(0, base.size() - 1)).ok());
  const std::string folder = base + "original_log/";
  EXPECT_EQ(document->saveFolder(), folder);
  EXPECT_EQ(readBytes(folder + "Vek.vek"), readBytes(dataPath("Vek.vek")));
  EXPECT_EQ(readBytes(folder + "gene.gini"), readBytes(dataPath("gene.gini")));
  for (const char* log : vek::kTurnLogNames) EXPECT_TRUE(std::filesystem::exists(folder + log)) << log;
  EXPECT_FALSE(std::filesystem::exists(folder + "Ostrel.lives"));

  const mSeedList& population = world.place().population();
  ASSERT_EQ(population.livingCount(), 1);
  EXPECT_EQ(population.living()[0]->id().text(), "61-0-1");
  EXPECT_EQ(population.living()[0]->genome()->identifier().text(), "61-0-1");
  EXPECT_EQ(population.living()[0]->processor().energy().current(), 1000.0);

  ASSERT_TRUE(document->save().ok());
  EXPECT_EQ(readBytes(folder + "parameter.pini"), readBytes(dataPath("parameter.pini")));
  EXPECT_EQ(readBytes(folder + "Vind.lives"), "Vind is living in Vek !!\r\n0\r\n");

  // While the first world has the folder, no second one may take it.
  mWorld rival;
  vek::WorldDocument refused(rival, vek::test::fileLock());
  const vek::FileOutcome busy = refused.createWithBuiltInGenome(base);
  EXPECT_FALSE(busy.ok());
  EXPECT_NE(busy.error.find(folder + " is in use by vek (process "), std::string::npos) << busy.error;

  // A second world in the same base, once the first let go, reuses the folder and starts its
  // logs afresh.
  writeBytes(folder + "seed_num.log", "1 1\r\n");
  document.reset();
  mWorld again;
  vek::WorldDocument second(again, vek::test::fileLock());
  ASSERT_TRUE(second.createWithBuiltInGenome(base).ok());
  EXPECT_EQ(readBytes(folder + "seed_num.log"), "");
  EXPECT_FALSE(second.createWithBuiltInGenome(base).ok());  // once per world
}

TEST(WorldDocument, ANewWorldFromAnInitialGeneFile) {
  const std::string base = freshFolder("gini");
  writeBytes(base + "two.gini",
             "// two plants\r\nrun_a pathName\r\n250 initialEnergy\r\nmakn\r\npush\r\nnext\r\n"
             "3.5 initial_y\r\nzero\r\nnext\r\n");
  writeBytes(base + "few.pini", "12 mDaughter_log_turn\r\n");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.createFromInitialGeneFile(base, base + "two.gini", base + "few.pini").ok());
  EXPECT_EQ(document.saveFolder(), base + "run_a/");
  EXPECT_EQ(readBytes(base + "run_a/Vek.vek"), readBytes(dataPath("Vek.vek")));
  EXPECT_FALSE(std::filesystem::exists(base + "run_a/gene.gini"));
  EXPECT_TRUE(std::filesystem::exists(base + "run_a/log_turn.log"));
  EXPECT_EQ(world.place().parameters().mDaughter_log_turn, 12);

  const mPlace& place = world.place();
  EXPECT_EQ(place.time(), 2);
  ASSERT_EQ(place.population().livingCount(), 2);
  const mSeed& first = *place.population().living()[0];
  const mSeed& second = *place.population().living()[1];
  EXPECT_EQ(first.id().text(), "2-0-1");
  EXPECT_EQ(first.processor().energy().current(), 250.0);
  EXPECT_EQ(second.id().text(), "1-1-1");
  EXPECT_EQ(second.position().y, 3.5);
  EXPECT_EQ(second.processor().energy().current(), 1000.0);
}

TEST(WorldDocument, AnInitialGeneFileWithoutAFolderWordOrThatCannotBeRead) {
  const std::string base = freshFolder("giniword");
  writeBytes(base + "bare.gini", "makn\r\nmakn\r\n");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.createFromInitialGeneFile(base, base + "bare.gini", "").ok());
  EXPECT_EQ(document.saveFolder(), base);  // the first line is spent on the (empty) folder word
  EXPECT_EQ(world.place().population().livingCount(), 1);
  EXPECT_TRUE(std::filesystem::exists(base + "Vek.vek"));

  mWorld other;
  vek::WorldDocument missing(other, vek::test::fileLock());
  vek::FileOutcome outcome = missing.createFromInitialGeneFile(base, base + "none.gini", "");
  EXPECT_EQ(outcome.error, "cannot read " + base + "none.gini: No such file or directory");
  outcome = missing.createFromInitialGeneFile(base, base + "bare.gini", base + "none.pini");
  EXPECT_EQ(outcome.error, "cannot read " + base + "none.pini: No such file or directory");
  EXPECT_EQ(other.place().population().livingCount(), 0);
  EXPECT_EQ(missing.saveFolder(), "");
  EXPECT_FALSE(missing.save().ok());
}

TEST(WorldDocument, SaveIsRefusedWhileTheWorkerRuns) {
  const std::string base = freshFolder("busy");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.createWithBuiltInGenome(base).ok());
  // Released before it starts, the worker never parks until paused.
  world.resume();
  world.start();
  const vek::FileOutcome refused = document.save();
  EXPECT_EQ(refused.error, "the world is running; it is saved only while paused");
  EXPECT_FALSE(std::filesystem::exists(document.saveFolder() + "Ostrel.lives"));
  world.pause();
  EXPECT_TRUE(document.save().ok());
  EXPECT_TRUE(std::filesystem::exists(document.saveFolder() + "Ostrel.lives"));
}

TEST(WorldDocument, AWorldMadeInMemoryIsSavedIntoAFolderOfItsOwn) {
  const std::string base = freshFolder("saveas");
  const std::string folder = base + "later/";
  mWorld world;
  world.place().populateWithBuiltInGenome();
  while (world.place().turn() < 3) world.step();
  auto document = std::make_unique<vek::WorldDocument>(world, vek::test::fileLock());
  ASSERT_TRUE(document->saveAs(folder, true).ok());
  EXPECT_EQ(document->saveFolder(), folder);
  EXPECT_EQ(readBytes(folder + "Vek.vek"), readBytes(dataPath("Vek.vek")));
  EXPECT_EQ(readBytes(folder + "gene.gini"), readBytes(dataPath("gene.gini")));
  EXPECT_EQ(readBytes(folder + "seed_num.log"), "");  // the logs hold the turns from now on
  vek::SaveManifest manifest;
  ASSERT_TRUE(vek::readManifest(folder, manifest));
  EXPECT_EQ(manifest.turn, 3);
  EXPECT_EQ(document->saveAs(base + "other", true).error, "the world is kept in " + folder + "; it is saved only there");
  EXPECT_FALSE(std::filesystem::exists(base + "other"));

  // Another world made in memory may not take that folder: first it is in use, then it holds
  // a saved world. Refused, the document keeps no folder to save into.
  mWorld second;
  second.place().populateWithBuiltInGenome();
  vek::WorldDocument refused(second, vek::test::fileLock());
  EXPECT_NE(refused.saveAs(folder, false).error.find(folder + " is in use by vek (process "), std::string::npos);
  document.reset();
  EXPECT_EQ(refused.saveAs(folder, false).error,
            folder + " already holds a saved world; a world is never saved over another");
  EXPECT_EQ(refused.saveFolder(), "");
  EXPECT_FALSE(refused.save().ok());
  ASSERT_TRUE(refused.saveAs(base + "second", false).ok());
  EXPECT_FALSE(std::filesystem::exists(base + "second/gene.gini"));

  // The folder whose claim the refused document dropped loads as the world saved there.
  mWorld loaded;
  vek::WorldDocument reader(loaded, vek::test::fileLock());
  ASSERT_TRUE(reader.load(folder).ok());
  EXPECT_EQ(loaded.place().turn(), 3);
  EXPECT_EQ(readBytes(folder + "Ostrel.lives"), vek::placeLivesText(world.place()));
}

TEST(WorldDocument, LoadingIntoAWorldThatAlreadyLivesIsRefused) {
  const std::string folder = copyOfSavedWorld("twice");
  mWorld world;
  vek::WorldDocument document(world, vek::test::fileLock());
  ASSERT_TRUE(document.load(folder).ok());
  EXPECT_EQ(document.load(folder).error,
            "the world already holds individuals; a world is created or loaded only once");
  EXPECT_EQ(world.place().population().livingCount(), 2);
}

}  // namespace
