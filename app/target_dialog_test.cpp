// The target dialog: its texts, the temporary individual's "exec", its three save buttons and
// the keys it swallows.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <mutex>

#include "app/app_test_support.h"
#include "app/gene_view.h"
#include "app/main_window.h"
#include "app/plant_drawing.h"
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

TEST_F(TargetDialogTest, ATemporaryIndividualRunsNStepsOrUntilItsBodyChanges) {
  Parameters parameters;
  mID id;
  std::vector<int> codes;
  const SeedHandle grown = grownSeed();
  {
    std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
    const mSeed& seed = *findSeed(mSimulator->world()->place(), grown);
    parameters = mSimulator->world()->place().parameters();
    id = seed.genome()->identifier();
    codes = seed.genome()->code();
  }
  TargetDialog dialog(*mSimulator, mDialogs, TargetSubject::temporary(id, codes, parameters));
  ASSERT_TRUE(dialog.refresh());
  auto* registers = dialog.findChild<QListWidget*>("registers");
  auto* body = dialog.findChild<QPlainTextEdit*>("aBuff");
  ASSERT_TRUE(dialog.runButton()->isEnabled());

  dialog.runCount()->setValue(5);
  dialog.runButton()->click();
  EXPECT_EQ(dialog.runResult()->text(), QString::fromUtf8("5 回実行しました。"));
  const int ip = registers->item(0)->text().section(' ', 2).toInt();
  EXPECT_GT(ip, 0);

  // Until the body changes: it stops at the step that changed it, whose body the box shows.
  const QString before = body->toPlainText();
  const int run = dialog.runSteps(100000, true);
  ASSERT_LT(run, 100000) << "the built-in genome grows within its first steps";
  EXPECT_NE(body->toPlainText(), before);
  EXPECT_EQ(dialog.runResult()->text(), QString::fromUtf8("%1 回目で体が変わりました。").arg(run));
  // One more step of "exec" from here is one more step.
  dialog.execButton()->click();
  EXPECT_TRUE(dialog.runResult()->text().isEmpty());
}

TEST_F(TargetDialogTest, TheDrawingZoomsFarAndFramesTheWholePlant) {
  TargetDialog dialog(*mSimulator, mDialogs, TargetSubject::ofSeed(grownSeed()));
  ASSERT_TRUE(dialog.refresh());
  // The runs are for temporary individuals only.
  EXPECT_FALSE(dialog.runButton()->isEnabled());
  EXPECT_EQ(dialog.runSteps(10, false), 0);

  const QImage plain = dialog.picture()->picture();
  dialog.zoomBy(2.0);
  EXPECT_DOUBLE_EQ(dialog.picture()->zoom().zoom, 2.0);
  dialog.zoomBy(1e6);
  EXPECT_DOUBLE_EQ(dialog.picture()->zoom().zoom, kMaximumZoom);
  dialog.zoomBy(1e-9);
  EXPECT_DOUBLE_EQ(dialog.picture()->zoom().zoom, kMinimumZoom);
  EXPECT_EQ(dialog.findChild<QLabel*>("zoom")->text(), QString::fromUtf8("×0.0625"));

  dialog.frameWholePlant();
  const PlantZoom framed = dialog.picture()->zoom();
  EXPECT_GT(framed.zoom, 1.0) << "a plant of 40 turns is small at the plain scale";
  const PlantShape& shape = dialog.picture()->shape();
  const PlantProjection projection(shape.origin, dialog.picture()->width(), dialog.picture()->height(), 128, 128,
                                   framed);
  const QRect inside = dialog.picture()->rect();
  for (const auto& edge : shape.edges) {
    EXPECT_TRUE(inside.contains(projection.project(edge.a)));
    EXPECT_TRUE(inside.contains(projection.project(edge.b)));
  }
  for (const auto& leaf : shape.leaves) EXPECT_TRUE(inside.contains(projection.project(leaf.centre)));

  dialog.resetZoom();
  EXPECT_EQ(dialog.picture()->picture(), plain);
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
