// The target dialog: its texts, the temporary individual's "exec", its three save buttons and
// the keys it swallows.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <mutex>

#include "app/app_test_support.h"
#include "app/gene_view.h"
#include "app/main_window.h"
#include "app/seed_view.h"
#include "app/target_dialog.h"
#include "app/texts.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene.h"
#include "base/instructions.h"

namespace app::test {
namespace {

class TargetDialogTest : public SimulatorTest {
 protected:
  void SetUp() override {
    createBuiltInWorld();
    runTurns(*mSimulator->world(), 40);
  }

  // The first living individual with the most parts.
  SeedHandle grownSeed() {
    std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
    const mSeed* best = nullptr;
    for (const auto& seed : mSimulator->world()->place().population().living())
      if (!best || seed->body().edges().size() > best->body().edges().size()) best = seed.get();
    return handleOf(*best);
  }
  QStringList items(QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
};

TEST_F(TargetDialogTest, ShowsTheIndividualsRegistersPartsAndTotals) {
  const SeedHandle handle = grownSeed();
  TargetDialog dialog(*mSimulator, mDialogs, TargetSubject::ofSeed(handle));
  ASSERT_TRUE(dialog.refresh());

  std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
  const mSeed& seed = *findSeed(mSimulator->world()->place(), handle);
  const QStringList registers = items(dialog.findChild<QListWidget*>("registers"));
  ASSERT_EQ(registers.size(), 12);
  EXPECT_EQ(registers[0], QString("ip : %1").arg(seed.processor().ip()));
  EXPECT_EQ(registers[1], QString("register : ") + registerNameOf(seed.processor().selectedRegister()));
  for (int r = 0; r < kRegisterCount; ++r)
    EXPECT_EQ(registers[2 + r], QString::asprintf("%s : %lf", registerNameOf(r), seed.processor().registers()[r]));
  EXPECT_EQ(dialog.findChild<QLineEdit*>("id")->text().toStdString(), seed.id().text());
  EXPECT_FALSE(dialog.execButton()->isEnabled());

  auto* kind = dialog.findChild<QComboBox*>("partKind");
  auto* parts = dialog.findChild<QListWidget*>("parts");
  ASSERT_EQ(kind->count(), 5);
  const size_t counts[] = {seed.body().edges().size(), seed.body().leaves().size(), seed.body().flowers().size(),
                           seed.body().nodes().size(), 1};
  for (int k = 0; k < 5; ++k) {
    kind->setCurrentIndex(k);
    EXPECT_EQ(parts->count(), static_cast<int>(counts[k])) << k;
  }
  ASSERT_GT(counts[0], 0u) << "the world grew no edge in 40 turns";
  kind->setCurrentIndex(0);
  const mPoint3D& a = *seed.body().edges()[0]->start();
  EXPECT_EQ(parts->item(0)->text(), QString::asprintf("0 : %.2lf,%.2lf,%.2lf,", a.x, a.y, a.z) +
                                        parts->item(0)->text().section(',', 3));
  EXPECT_EQ(dialog.findChild<QLineEdit*>("calorie")->text(), QString::asprintf("%.10lf", seed.body().edgeCalorie()));
  kind->setCurrentIndex(3);
  EXPECT_EQ(dialog.findChild<QLineEdit*>("volume")->text(), "0.0000000000");
  kind->setCurrentIndex(4);
  EXPECT_EQ(parts->item(0)->text(), QString::asprintf(" %.2lf,%.2lf,%.2lf", seed.position().x, seed.position().y,
                                                      seed.position().z));
}

TEST_F(TargetDialogTest, ScrollBarsStartInTheMiddleAndRedrawThePicture) {
  TargetDialog dialog(*mSimulator, mDialogs, TargetSubject::ofSeed(grownSeed()));
  ASSERT_TRUE(dialog.refresh());
  EXPECT_EQ(dialog.distanceBar()->minimum(), 0);
  EXPECT_EQ(dialog.distanceBar()->maximum(), 255);
  EXPECT_EQ(dialog.distanceBar()->value(), 128);
  EXPECT_EQ(dialog.angleBar()->value(), 128);
  const QImage before = dialog.picture()->picture();
  dialog.angleBar()->setValue(40);
  EXPECT_NE(dialog.picture()->picture(), before);
}

TEST_F(TargetDialogTest, ExecStepsATemporaryIndividualMadeFromAGenome) {
  CMainFrame frame(*mSimulator, mDialogs);
  auto* genes = static_cast<kGeneView*>(frame.openView(ViewKind::kGene));
  genes->dropDownSizes();
  genes->chooseSize(0);
  genes->chooseGene(0);
  const QString geneId = genes->findChild<QLineEdit*>("geneId")->text();

  mDialogs.onModal = [&](QDialog& shown) {
    auto& dialog = static_cast<TargetDialog&>(shown);
    auto* registers = dialog.findChild<QListWidget*>("registers");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("id")->text(), geneId);
    EXPECT_EQ(registers->item(0)->text(), "ip : 0");
    ASSERT_TRUE(dialog.execButton()->isEnabled());
    dialog.execButton()->click();
    EXPECT_EQ(registers->item(0)->text(), "ip : 1");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("execIncome")->text(), "0.0000000000");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("done")->text().isEmpty());

    const std::string snapshot = folder() + "one.view";
    const std::string picture = folder() + "one.bmp";
    mDialogs.files = {QString::fromStdString(snapshot), QString::fromStdString(picture)};
    dialog.saveView();
    dialog.saveBitmap();
    EXPECT_EQ(mDialogs.fileRequests[0].fileName, "GeneID" + geneId + ".view");
    EXPECT_EQ(mDialogs.fileRequests[1].fileName, "GeneID" + geneId + ".bmp");
    EXPECT_EQ(mDialogs.fileRequests[1].filter, "Widows Bitmap Files (*.bmp)");
    const std::string view = readFile(snapshot);
    EXPECT_EQ(view.substr(0, 28), "/*-----Tovra View-------*/\r\n");
    EXPECT_NE(view.find("\r\nS 0.000000 0.000000 0.000000 " + geneId.toStdString() + "\r\n"), std::string::npos);
    // The picture is 362 x 322 with its frame: W = 360 needs no padding.
    EXPECT_EQ(readFile(picture).size(), 3u * 360 * 320 + 54);
  };
  genes->targetButton()->click();
  ASSERT_EQ(mDialogs.modals.size(), 1u);
  EXPECT_TRUE(mDialogs.warnings.empty());
}

TEST_F(TargetDialogTest, AnIndividualOfThePopulationIsOfferedUnderItsSeedId) {
  const SeedHandle handle = grownSeed();
  TargetDialog dialog(*mSimulator, mDialogs, TargetSubject::ofSeed(handle));
  ASSERT_TRUE(dialog.refresh());
  mDialogs.files = {QString(), QString(), QString()};
  dialog.saveView();
  dialog.saveBitmap();
  dialog.saveCode();
  const std::string id = handle.id.text();
  EXPECT_EQ(mDialogs.fileRequests[0].fileName.toStdString(), "SeedID" + id + ".view");
  EXPECT_EQ(mDialogs.fileRequests[1].fileName.toStdString(), "SeedID" + id + ".bmp");
  EXPECT_TRUE(mDialogs.fileRequests[2].fileName.startsWith("ID"));
  EXPECT_EQ(mDialogs.fileRequests[0].directory.toStdString(), mSimulator->saveFolder());
}

TEST_F(TargetDialogTest, EnterAndEscapeNeitherConfirmNorClose) {
  TargetDialog dialog(*mSimulator, mDialogs, TargetSubject::ofSeed(grownSeed()));
  ASSERT_TRUE(dialog.refresh());
  dialog.show();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &press);
    EXPECT_TRUE(dialog.isVisible()) << key;
  }
}

TEST_F(TargetDialogTest, WithoutAnIndividualOnlyAMessageIsShown) {
  SeedHandle gone = grownSeed();
  gone.id.time = -1;
  openTargetDialog(*mSimulator, mDialogs, TargetSubject::ofSeed(gone), nullptr);
  openTargetDialog(*mSimulator, mDialogs, TargetSubject(), nullptr);
  EXPECT_TRUE(mDialogs.modals.empty());
  EXPECT_EQ(mDialogs.messages, (std::vector<QString>(2, QString::fromUtf8(text::kSeedNotSpecified))));
}

}  // namespace
}  // namespace app::test
