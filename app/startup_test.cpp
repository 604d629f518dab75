// The start-up dialogue and the exit sequence: what each answer leads to and what is written.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "app/app_test_support.h"
#include "app/daughter_view.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/strings.h"
#include "app/texts.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"

namespace app::test {
namespace {

namespace fs = std::filesystem;

bool folderIsEmpty(const std::string& folder) { return fs::is_empty(folder); }

using StartupTest = SimulatorTest;

TEST_F(StartupTest, NoAtTheFirstQuestionQuitsWithoutWritingAnything) {
  mDialogs.yesNo = {false};
  EXPECT_EQ(runStartup(*mSimulator, mDialogs), StartupOutcome::kQuit);
  EXPECT_TRUE(mDialogs.fileRequests.empty());
  runExitSequence(*mSimulator, mDialogs);
  EXPECT_TRUE(folderIsEmpty(folder()));
}

TEST_F(StartupTest, NoAtTheSecondQuestionOrExitInTheSettingsQuits) {
  mDialogs.yesNo = {true, false};
  mDialogs.files = {QString()};
  EXPECT_EQ(runStartup(*mSimulator, mDialogs), StartupOutcome::kQuit);

  mDialogs.yesNo = {true, true};
  mDialogs.files = {QString()};
  InitialSettings exit;
  exit.exit = true;
  mDialogs.settings = exit;
  EXPECT_EQ(runStartup(*mSimulator, mDialogs), StartupOutcome::kQuit);
  EXPECT_TRUE(folderIsEmpty(folder()));
}

TEST_F(StartupTest, CancelYesDefaultMakesTheBuiltInWorldInOriginalLog) {
  mDialogs.yesNo = {true, true};
  mDialogs.files = {QString()};
  mDialogs.settings = InitialSettings{};
  ASSERT_EQ(runStartup(*mSimulator, mDialogs), StartupOutcome::kRun);

  ASSERT_EQ(mDialogs.fileRequests.size(), 1u);
  const FileRequest& open = mDialogs.fileRequests[0];
  EXPECT_EQ(open.directory.toStdString(), folder());
  EXPECT_EQ(open.fileName, "*.vek");
  EXPECT_EQ(open.defaultSuffix, "vek");
  EXPECT_EQ(open.filter, "Vek Files (*.vek)");

  const std::string saveFolder = folder() + "original_log/";
  EXPECT_EQ(mSimulator->saveFolder(), saveFolder);
  EXPECT_EQ(readFile(saveFolder + "Vek.vek"), "this is target file\r\n");
  EXPECT_TRUE(fs::exists(saveFolder + "gene.gini"));
  ASSERT_EQ(mDialogs.messages.size(), 1u);
  EXPECT_TRUE(mDialogs.messages[0].contains(QString::fromStdString(saveFolder)));
  EXPECT_TRUE(mDialogs.warnings.empty());
  {
    std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
    EXPECT_EQ(mSimulator->world()->place().population().livingCount(), 1);
  }

  runExitSequence(*mSimulator, mDialogs);
  EXPECT_TRUE(fs::exists(saveFolder + "Vind.lives"));
  EXPECT_TRUE(fs::exists(saveFolder + "Ostrel.lives"));
  EXPECT_TRUE(fs::exists(saveFolder + "parameter.pini"));
  EXPECT_EQ(mSimulator->world(), nullptr);
}

TEST_F(StartupTest, AnUnreadableParameterFileIsReportedAndLeavesNoWorld) {
  mDialogs.yesNo = {true, true};
  mDialogs.files = {QString()};
  mDialogs.settings = InitialSettings{false, QString(), QString::fromStdString(folder() + "missing.pini")};
  ASSERT_EQ(runStartup(*mSimulator, mDialogs), StartupOutcome::kRun);
  EXPECT_EQ(mDialogs.warnings.size(), 1u);
  EXPECT_TRUE(mDialogs.messages.empty());
  EXPECT_EQ(mSimulator->world(), nullptr);
}

TEST_F(StartupTest, LoadingASavedFolderShowsItsTurnInTheDaughterView) {
  createBuiltInWorld();
  runTurns(*mSimulator->world(), 3);
  runExitSequence(*mSimulator, mDialogs);
  const std::string saveFolder = folder() + "original_log/";
  ASSERT_EQ(savedTurn(saveFolder + "Ostrel.lives"), 3);

  Simulator loaded;
  loaded.setApplicationFolder(folder());
  ScriptedDialogs dialogs;
  dialogs.yesNo = {true};
  dialogs.files = {QString::fromStdString(saveFolder + "Vek.vek")};
  ASSERT_EQ(runStartup(loaded, dialogs), StartupOutcome::kRun);
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_EQ(loaded.saveFolder(), saveFolder);
  ASSERT_EQ(dialogs.busyTitles.size(), 1u);
  EXPECT_EQ(dialogs.busyTitles[0], QString::fromUtf8("Vek") + QString::fromUtf8(text::kLoading));
  EXPECT_EQ(dialogs.busyOpen, 0);

  CMainFrame frame(loaded, dialogs);
  QWidget* view = frame.openView(ViewKind::kDaughter);
  EXPECT_EQ(view->findChild<QLineEdit*>("turn")->text(), "3");
}

TEST_F(StartupTest, AFailedLoadIsReportedAndItsFolderIsNeverSavedOver) {
  createBuiltInWorld();
  runTurns(*mSimulator->world(), 2);
  runExitSequence(*mSimulator, mDialogs);
  const std::string saveFolder = folder() + "original_log/";
  const std::string lives = readFile(saveFolder + "Ostrel.lives");
  const std::string truncated = lives.substr(0, lives.size() / 2);
  writeFile(saveFolder + "Ostrel.lives", truncated);
  const std::string world = readFile(saveFolder + "Vind.lives");

  Simulator loaded;
  loaded.setApplicationFolder(folder());
  ScriptedDialogs dialogs;
  dialogs.yesNo = {true};
  dialogs.files = {QString::fromStdString(saveFolder + "Vek.vek")};
  ASSERT_EQ(runStartup(loaded, dialogs), StartupOutcome::kRun);
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_TRUE(dialogs.warnings[0].contains("Ostrel.lives"));
  EXPECT_EQ(loaded.world(), nullptr);

  runExitSequence(loaded, dialogs);
  EXPECT_EQ(readFile(saveFolder + "Ostrel.lives"), truncated);
  EXPECT_EQ(readFile(saveFolder + "Vind.lives"), world);
}

TEST_F(StartupTest, QuittingWhileTheWorldRunsPausesItThenSaves) {
  createBuiltInWorld();
  mWorld& world = *mSimulator->world();
  world.start();
  world.resume();
  ASSERT_TRUE(waitUntil([&] { return turnOf(world) >= 2; }));

  runExitSequence(*mSimulator, mDialogs);
  EXPECT_TRUE(mDialogs.warnings.empty());
  EXPECT_GE(savedTurn(folder() + "original_log/Ostrel.lives"), 2);
  ASSERT_EQ(mDialogs.busyTitles.size(), 1u);
  EXPECT_EQ(mDialogs.busyTitles[0], QString::fromUtf8("Vek") + QString::fromUtf8(text::kWriting));
}

TEST(SimulatorLocale, NumbersStayClassicUnderTheDesktopLocale) {
  // The test program's main sets a UTF-8 locale from the environment, as QApplication does.
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
  EXPECT_STREQ(buffer, "0.5");
}

// Initialising where a world is saved asks first: load it instead, replace it (its logs start
// afresh), or quit with the folder untouched.
TEST_F(StartupTest, InitialisingOverASavedWorldOffersToLoadItInstead) {
  mDialogs.yesNo = {true, true};
  mDialogs.files = {QString()};
  mDialogs.settings = InitialSettings{};
  ASSERT_EQ(runStartup(*mSimulator, mDialogs), StartupOutcome::kRun);
  runTurns(*mSimulator->world(), 4);
  runExitSequence(*mSimulator, mDialogs);
  const std::string saveFolder = folder() + "original_log/";
  const std::string saved = readFile(saveFolder + "Ostrel.lives");
  const std::string log = readFile(saveFolder + "seed_num.log");
  ASSERT_FALSE(log.empty());

  auto startOver = [&](std::deque<bool> answers) {
    mSimulator = std::make_unique<Simulator>();
    mSimulator->setApplicationFolder(folder());
    mDialogs.questions.clear();
    mDialogs.yesNo = {true, true};
    mDialogs.yesNo.insert(mDialogs.yesNo.end(), answers.begin(), answers.end());
    mDialogs.files = {QString()};
    mDialogs.settings = InitialSettings{};
    return runStartup(*mSimulator, mDialogs);
  };
  EXPECT_EQ(startOver({false, false}), StartupOutcome::kQuit);
  ASSERT_EQ(mDialogs.questions.size(), 4u);
  EXPECT_EQ(mDialogs.questions[2], QString::fromUtf8(text::kAskLoadSavedInstead).arg(qPath(saveFolder)));
  EXPECT_EQ(readFile(saveFolder + "seed_num.log"), log);

  ASSERT_EQ(startOver({true}), StartupOutcome::kRun);
  EXPECT_EQ(turnOf(*mSimulator->world()), 4);
  EXPECT_EQ(readFile(saveFolder + "seed_num.log"), log);
  runExitSequence(*mSimulator, mDialogs);

  ASSERT_EQ(startOver({false, true}), StartupOutcome::kRun);
  EXPECT_EQ(turnOf(*mSimulator->world()), 0);
  EXPECT_EQ(readFile(saveFolder + "seed_num.log"), "");
}

}  // namespace
}  // namespace app::test
