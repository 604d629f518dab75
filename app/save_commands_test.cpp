// The file-writing commands: what each asks, what it writes, and that failures are reported.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "app/app_test_support.h"
#include "app/gene_view.h"
#include "app/main_window.h"
#include "app/save_commands.h"
#include "app/size_view.h"
#include "app/texts.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "records/frequency_tables.h"

namespace app::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

class SaveCommandsTest : public SimulatorTest {
 protected:
  void SetUp() override {
    createBuiltInWorld();
    runTurns(*mSimulator->world(), 2);
    mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);
  }
  void TearDown() override { mFrame.reset(); }

  std::string saveFolder() const { return mSimulator->saveFolder(); }

  std::unique_ptr<CMainFrame> mFrame;
};

TEST_F(SaveCommandsTest, EachSizeViewTableIsSavedWithOneMoreLineEnd) {
  auto* view = static_cast<kSizeView*>(mFrame->openView(ViewKind::kSize));
  const char* names[] = {"size_frq.frq", "frq_size.frq", "gene_frq.frq"};
  const char* buttons[] = {"save_sizeFrequency", "save_frequencySize", "save_geneFrequency"};
  const std::string tables[] = {view->tables().sizeFrequency, view->tables().frequencySize,
                                view->tables().geneFrequency};
  for (int table = 0; table < 3; ++table) {
    const std::string path = folder() + "table" + std::to_string(table) + ".frq";
    mDialogs.files = {QString::fromStdString(path)};
    view->findChild<QPushButton*>(buttons[table])->click();
    const FileRequest& request = mDialogs.fileRequests.back();
    EXPECT_EQ(request.fileName.toStdString(), names[table]);
    EXPECT_EQ(request.directory.toStdString(), saveFolder());
    EXPECT_EQ(request.defaultSuffix, "frq");
    EXPECT_EQ(request.filter, "Vek Freq Data Files (*.frq)");
    EXPECT_FALSE(tables[table].empty());
    EXPECT_EQ(readFile(path), tables[table] + "\r\n");
  }
  // "Size/Freq" of the one genome length: the length and its carriers, four blanks apart.
  std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
  const mSeedList& population = mSimulator->world()->place().population();
  EXPECT_EQ(tables[0], std::to_string(static_cast<int>(population.averageGenomeSize())) + "    " +
                           std::to_string(population.livingCount()) + "\r\n");
}

TEST_F(SaveCommandsTest, TheGeneFileKeepsTheCodeBoxOnItsFifthLine) {
  auto* view = static_cast<kGeneView*>(mFrame->openView(ViewKind::kGene));
  view->dropDownSizes();
  view->chooseSize(0);
  view->chooseGene(0);
  const std::string path = folder() + "code.gene";
  mDialogs.files = {QString::fromStdString(path)};
  view->saveButton()->click();

  const QString geneId = view->findChild<QLineEdit*>("geneId")->text();
  const FileRequest& request = mDialogs.fileRequests.back();
  EXPECT_EQ(request.fileName, "ID" + geneId + ".gene");
  EXPECT_EQ(request.filter, "Gene Files (*.gene)");
  EXPECT_EQ(request.defaultSuffix, "gene");

  const std::vector<std::string> lines = crlfLines(readFile(path));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "/*----------------------*/");
  EXPECT_EQ(lines[1], "  this is gene file");
  EXPECT_EQ(lines[2], "  " + geneId.toStdString());
  EXPECT_EQ(lines[3], "/*----------------------*/");
  // The box's lines follow one another separated by single carriage returns.
  const std::string code = view->findChild<QPlainTextEdit*>("code")->toPlainText().toStdString();
  std::string expected = code;
  for (char& c : expected)
    if (c == '\n') c = '\r';
  EXPECT_EQ(lines[4], expected);
  EXPECT_EQ(lines[4].find('\n'), std::string::npos);
}

TEST_F(SaveCommandsTest, SaveTovraViewAsksFirstAndWritesTheWholeWorld) {
  mDialogs.yesNo = {false};
  mFrame->saveTovraViewAction()->trigger();
  EXPECT_TRUE(mDialogs.fileRequests.empty());

  mDialogs.yesNo = {true};
  mDialogs.files = {QString()};
  mFrame->saveTovraViewAction()->trigger();
  ASSERT_EQ(mDialogs.fileRequests.size(), 1u);
  EXPECT_EQ(mDialogs.fileRequests[0].fileName, "tovraview.view");
  EXPECT_EQ(mDialogs.fileRequests[0].filter, "Tovra Files (*.view)");
  EXPECT_EQ(mDialogs.fileRequests[0].defaultSuffix, "view");
  EXPECT_EQ(mDialogs.fileRequests[0].directory.toStdString(), saveFolder());
  EXPECT_TRUE(mDialogs.busyTitles.empty());

  const std::string path = folder() + "world.view";
  mDialogs.yesNo = {true};
  mDialogs.files = {QString::fromStdString(path)};
  mFrame->saveTovraViewAction()->trigger();
  const std::vector<std::string> lines = crlfLines(readFile(path));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "/*-----Tovra View-------*/");
  EXPECT_EQ(lines[1], "/ turn = 2");
  EXPECT_EQ(lines[3], "-40 -40 40 40 0 0 0.08");
  EXPECT_EQ(lines[4].substr(0, 2), "S ");
  EXPECT_EQ(mDialogs.busyTitles.size(), 1u);
  EXPECT_EQ(mDialogs.busyOpen, 0);
  EXPECT_TRUE(mDialogs.warnings.empty());
}

TEST_F(SaveCommandsTest, AFileThatCannotBeWrittenIsReported) {
  const std::string path = folder() + "no/such/folder/table.frq";
  mDialogs.files = {QString::fromStdString(path)};
  EXPECT_FALSE(saveFrequencyTable(mDialogs, saveFolder(), "1    1\r\n", "size_frq.frq"));
  ASSERT_EQ(mDialogs.warnings.size(), 1u);
  EXPECT_TRUE(mDialogs.warnings[0].contains("table.frq"));
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace app::test
