// File -> Open and File -> New: the current world is paused and saved as exit saves it, then
// the other one is loaded or made; nothing happens on a cancel, and nothing is lost.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <mutex>

#include "app/app_test_support.h"
#include "app/control_panel.h"
#include "app/main_window.h"
#include "app/strings.h"
#include "app/texts.h"
#include "engine/place.h"
#include "engine/world.h"

namespace app::test {
namespace {

namespace fs = std::filesystem;

class WorldSwitchTest : public SimulatorTest {
 protected:
  void SetUp() override {
    // Another world, saved at turn 7 in "<folder>/other_world/".
    const std::string geneFile = folder() + "other.gini";
    std::string genes = readFile(std::string(VEK_TEST_DATA_DIR) + "/gene.gini");
    genes.replace(genes.find("original_log"), 12, "other_world");
    writeFile(geneFile, genes);
    Simulator other;
    other.setApplicationFolder(folder());
    ASSERT_TRUE(other.createWorld(geneFile, "").ok());
    mOtherFolder = other.saveFolder();
    runTurns(*other.world(), 7);
    ASSERT_TRUE(other.saveWorld().ok());
    other.discardWorld();

    createBuiltInWorld();
    mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);
    mFrame->openView(ViewKind::kDaughter);
  }
  void TearDown() override {
    if (mSimulator->world()) mSimulator->world()->pause();
    mFrame.reset();
  }
  QString daughterTurn() { return mFrame->view(ViewKind::kDaughter)->findChild<QLineEdit*>("turn")->text(); }
  std::string builtInLives() { return folder() + "original_log/Ostrel.lives"; }

  std::unique_ptr<CMainFrame> mFrame;
  std::string mOtherFolder;
};

TEST_F(WorldSwitchTest, OpenSavesTheRunningWorldThenLoadsTheOther) {
  // Started from the menu, the world runs while the user opens another.
  mFrame->controlPanel().startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return turnOf(*mSimulator->world()) >= 5; }));
  mDialogs.files = {qPath(mOtherFolder + "Vek.vek")};
  mFrame->openAction()->trigger();

  EXPECT_GE(savedTurn(builtInLives()), 5);
  EXPECT_EQ(mDialogs.busyTitles,
            (std::vector<QString>{QString::fromUtf8("Vek：ファイル書き込み中"), QString::fromUtf8("Vek：ファイル読み込み中")}));
  EXPECT_EQ(mDialogs.fileRequests.at(0).filter, QString::fromUtf8(text::kVekFilter));
  EXPECT_EQ(mSimulator->saveFolder(), mOtherFolder);
  EXPECT_EQ(turnOf(*mSimulator->world()), 7);
  EXPECT_EQ(daughterTurn(), "7");
  EXPECT_TRUE(mFrame->statusText()->text().startsWith(QString::fromUtf8("ターン 7 のワールドを読み込みました")));
  // The new world starts parked, its control panel ready to start it.
  EXPECT_TRUE(mFrame->controlPanel().startAction()->isEnabled());
  EXPECT_FALSE(mFrame->controlPanel().suspendAction()->isEnabled());
  // It runs and logs into its own folder.
  const auto logged = fs::file_size(mOtherFolder + "c_time.log");
  runTurns(*mSimulator->world(), 2);
  EXPECT_EQ(turnOf(*mSimulator->world()), 9);
  EXPECT_GT(fs::file_size(mOtherFolder + "c_time.log"), logged);
  EXPECT_TRUE(mDialogs.warnings.empty());
}

TEST_F(WorldSwitchTest, ACancelledOpenChangesNothing) {
  runTurns(*mSimulator->world(), 2);
  const std::string before = readFile(builtInLives());
  mDialogs.files = {QString()};
  mFrame->openAction()->trigger();
  EXPECT_EQ(readFile(builtInLives()), before);
  EXPECT_EQ(turnOf(*mSimulator->world()), 2);
  EXPECT_TRUE(mDialogs.busyTitles.empty());
}

TEST_F(WorldSwitchTest, AWorldThatCannotBeSavedIsKeptUnlessTheUserLetsItGo) {
  runTurns(*mSimulator->world(), 2);
  // Its save folder has become a file: nothing can be written there.
  fs::remove_all(folder() + "original_log");
  writeFile(folder() + "original_log", "in the way");

  mDialogs.files = {qPath(mOtherFolder + "Vek.vek")};
  mDialogs.yesNo = {false};
  mFrame->openAction()->trigger();
  ASSERT_EQ(mDialogs.questions.size(), 1u);
  EXPECT_TRUE(mDialogs.questions[0].startsWith(QString::fromUtf8("現在のワールドを保存できませんでした。")));
  EXPECT_EQ(turnOf(*mSimulator->world()), 2);
  EXPECT_EQ(mSimulator->saveFolder(), folder() + "original_log/");

  mDialogs.files = {qPath(mOtherFolder + "Vek.vek")};
  mDialogs.yesNo = {true};
  mFrame->openAction()->trigger();
  EXPECT_EQ(turnOf(*mSimulator->world()), 7);
}

TEST_F(WorldSwitchTest, NewSavesTheWorldThenMakesOneFromTheChosenFiles) {
  runTurns(*mSimulator->world(), 3);
  const std::string geneFile = folder() + "fresh.gini";
  writeFile(geneFile, "/ one more\r\nfresh_world folder\r\n1000 initialEnergy\r\n");
  InitialSettings settings;
  settings.geneFile = qPath(geneFile);
  mDialogs.settings = settings;
  mFrame->newAction()->trigger();

  EXPECT_EQ(savedTurn(builtInLives()), 3);
  EXPECT_EQ(mSimulator->saveFolder(), folder() + "fresh_world/");
  EXPECT_EQ(turnOf(*mSimulator->world()), 0);
  EXPECT_EQ(daughterTurn(), "0");
  ASSERT_EQ(mDialogs.messages.size(), 1u);
  EXPECT_EQ(mDialogs.messages[0], QString::fromUtf8(text::kInitialised).arg(qPath(folder() + "fresh_world/")));
  EXPECT_TRUE(mFrame->statusText()->text().startsWith(QString::fromUtf8("ワールドを初期化しました")));
}

TEST_F(WorldSwitchTest, NewOverASavedWorldAsksFirstAndExitEndsTheProgram) {
  runTurns(*mSimulator->world(), 3);
  ASSERT_TRUE(mSimulator->saveWorld().ok());
  const std::string saved = readFile(builtInLives());
  mDialogs.settings = InitialSettings();  // Default: the built-in genome, in original_log
  mDialogs.yesNo = {false, false};
  mFrame->newAction()->trigger();
  ASSERT_EQ(mDialogs.questions.size(), 2u);
  EXPECT_EQ(mDialogs.questions[0],
            QString::fromUtf8(text::kAskLoadSavedInstead).arg(qPath(folder() + "original_log/")));
  EXPECT_EQ(mDialogs.questions[1],
            QString::fromUtf8(text::kAskReplaceSaved).arg(qPath(folder() + "original_log/")));
  EXPECT_EQ(turnOf(*mSimulator->world()), 3);

  mDialogs.yesNo = {false, true};
  mFrame->newAction()->trigger();
  EXPECT_EQ(turnOf(*mSimulator->world()), 0);
  EXPECT_EQ(mSimulator->saveFolder(), folder() + "original_log/");

  // Its Exit button ends the program as its text says, through the ordinary exit.
  mFrame->show();
  InitialSettings exit;
  exit.exit = true;
  mDialogs.settings = exit;
  mFrame->newAction()->trigger();
  EXPECT_FALSE(mFrame->isVisible());
}

}  // namespace
}  // namespace app::test
