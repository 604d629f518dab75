// The main window as a user meets it: where the views open at the default size, the status
// line, the keys of the menus and of the control panel, and Qt's own texts in Japanese.
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTranslator>
#include <mutex>

#include "app/app_test_support.h"
#include "app/control_panel.h"
#include "app/form_boxes.h"
#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/status_line.h"
#include "app/strings.h"
#include "app/texts.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "genome/gene_list.h"
#include "engine/world.h"

namespace app::test {
namespace {

// Whether `box` shows `text` whole: the text fits the room the line edit gives it.
bool showsWhole(QLineEdit* box, const QString& text) {
  QStyleOptionFrame option;
  option.initFrom(box);
  option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
  const QMargins margins = box->textMargins();
  return box->fontMetrics().horizontalAdvance(text) <= room.width() - 4 - margins.left() - margins.right();
}

QScrollArea* scrollOf(CMainFrame& frame, ViewKind kind) {
  return qobject_cast<QScrollArea*>(frame.subWindow(kind)->widget());
}

class MainWindowTest : public SimulatorTest {
 protected:
  void SetUp() override {
    createBuiltInWorld();
    mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);
    mFrame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mFrame.get()));
  }
  void TearDown() override {
    if (mSimulator->world()) mSimulator->world()->pause();
    mFrame.reset();
  }
  void openEveryView() {
    for (int kind = 0; kind < kViewKindCount; ++kind) mFrame->openView(static_cast<ViewKind>(kind));
    QApplication::processEvents();
  }
  QString status() const { return mFrame->statusText()->text(); }

  std::unique_ptr<CMainFrame> mFrame;
};

TEST_F(MainWindowTest, AtTheDefaultSizeEveryViewOpensInsideTheAreaAndBesideTheOthers) {
  EXPECT_EQ(mFrame->size(), CMainFrame::kDefaultSize);
  openEveryView();
  const QRect area = mFrame->mdiArea()->viewport()->rect();
  for (int kind = 0; kind < kViewKindCount; ++kind) {
    const auto viewKind = static_cast<ViewKind>(kind);
    const QRect geometry = mFrame->subWindow(viewKind)->geometry();
    EXPECT_TRUE(area.contains(geometry)) << kind;
    for (int other = kind + 1; other < kViewKindCount; ++other)
      EXPECT_FALSE(geometry.intersects(mFrame->subWindow(static_cast<ViewKind>(other))->geometry())) << kind << other;
    // The whole form is in view: nothing to scroll to, so every button shows.
    QScrollArea* scroll = scrollOf(*mFrame, viewKind);
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << kind;
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << kind;
  }
  for (QPushButton* save : mFrame->view(ViewKind::kSize)->findChildren<QPushButton*>())
    EXPECT_TRUE(save->isVisible() && !save->visibleRegion().isEmpty()) << save->objectName().toStdString();
}

TEST_F(MainWindowTest, NumberBoxesShowTheirWidestNumbersWholeEvenWhenTiled) {
  openEveryView();
  QWidget* daughter = mFrame->view(ViewKind::kDaughter);
  const QString real = QString::fromUtf8(widest::kReal), count = QString::fromUtf8(widest::kInt);
  auto checkBoxes = [&] {
    for (const char* name : {"averageSize", "averageEvaluation", "fieldCapacity", "averageTurn", "totalEnergy",
                             "acquiredEnergy", "maintenanceEnergy", "usedEnergy"})
      EXPECT_TRUE(showsWhole(daughter->findChild<QLineEdit*>(name), real)) << name;
    for (const char* name : {"turn", "executeCount", "seeds", "genes", "births", "deaths"})
      EXPECT_TRUE(showsWhole(daughter->findChild<QLineEdit*>(name), count)) << name;
    EXPECT_TRUE(showsWhole(mFrame->view(ViewKind::kSeed)->findChild<QLineEdit*>("centre"),
                           QString::fromUtf8(widest::kPoint)));
  };
  checkBoxes();
  // Tiled, a view narrower than its form scrolls rather than cut its numbers short.
  mFrame->tileAction()->trigger();
  QApplication::processEvents();
  checkBoxes();
  QScrollArea* scroll = scrollOf(*mFrame, ViewKind::kDaughter);
  if (scroll->viewport()->width() < daughter->minimumSizeHint().width()) {
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
  }
}

TEST_F(MainWindowTest, TheStatusLineTellsWhatWasLoadedAndWhereTheWorldStands) {
  runTurns(*mSimulator->world(), 3);
  ASSERT_TRUE(mSimulator->saveWorld().ok());
  const std::string folder = mSimulator->saveFolder();
  mSimulator->startAfresh();
  ASSERT_TRUE(mSimulator->loadWorld(folder).ok());
  int living = 0, genes = 0;
  {
    std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
    living = mSimulator->world()->place().population().livingCount();
    genes = mSimulator->world()->place().genePool().geneCount();
  }
  EXPECT_EQ(status(), QString::fromUtf8("ターン 3 のワールドを読み込みました（生存 %1、遺伝子 %2）：%3")
                          .arg(living)
                          .arg(genes)
                          .arg(qPath(folder)));

  // Running: the turn climbs and the rate appears.
  mFrame->controlPanel().startAction()->trigger();
  EXPECT_TRUE(waitUntil([&] { return status().endsWith(QString::fromUtf8(" ターン/秒")); }));
  EXPECT_TRUE(status().startsWith(QString::fromUtf8("実行中　ターン ")));
  mFrame->controlPanel().suspendAction()->trigger();
  WorldCounts counts;
  {
    std::lock_guard<FairMutex> lock(mSimulator->world()->mutex());
    counts = countsOf(*mSimulator->world());
  }
  EXPECT_FALSE(counts.running);
  EXPECT_GT(counts.turn, 3);
  EXPECT_EQ(status(), countsStatus(counts, std::nullopt));
  EXPECT_TRUE(status().startsWith(QString::fromUtf8("停止中　ターン %1　生存 ").arg(counts.turn)));

  mSimulator->discardWorld();
  EXPECT_EQ(status(), noWorldStatus());
}

TEST_F(MainWindowTest, KeysTriggerTheirCommands) {
  QApplication::setActiveWindow(mFrame.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(mFrame.get()));
  QTest::keyClick(mFrame.get(), Qt::Key_1, Qt::ControlModifier);
  QTest::keyClick(mFrame.get(), Qt::Key_5, Qt::ControlModifier);
  EXPECT_NE(mFrame->view(ViewKind::kSeed), nullptr);
  EXPECT_NE(mFrame->view(ViewKind::kSize), nullptr);
  EXPECT_EQ(mFrame->view(ViewKind::kGene), nullptr);

  mWorld& world = *mSimulator->world();
  QTest::keyClick(mFrame.get(), Qt::Key_F10);
  EXPECT_EQ(world.phase(), INITIAL_EXECUTE);
  QTest::keyClick(mFrame.get(), Qt::Key_F5);
  EXPECT_TRUE(world.isStarted());
  EXPECT_TRUE(waitUntil([&] { return turnOf(world) >= 2; }));
  EXPECT_FALSE(mFrame->controlPanel().startAction()->isEnabled());
  QTest::keyClick(mFrame.get(), Qt::Key_F8);
  EXPECT_FALSE(world.isBusy());
  EXPECT_TRUE(mFrame->controlPanel().startAction()->isEnabled());

  // The keys work in the control panel too, which is modal.
  mDialogs.onModal = [&](QDialog& panel) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    const int phase = world.phase();
    QTest::keyClick(&panel, Qt::Key_F10);
    EXPECT_NE(world.phase(), phase);
    QTest::keyClick(&panel, Qt::Key_F5);
    EXPECT_FALSE(mFrame->controlPanel().closeButton()->isEnabled());
    QTest::keyClick(&panel, Qt::Key_F8);
    EXPECT_FALSE(world.isBusy());
    EXPECT_TRUE(mFrame->controlPanel().closeButton()->isEnabled());
  };
  QTest::keyClick(mFrame.get(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(mDialogs.modals.size(), 1u);

  // The menus show every command's key.
  for (QAction* action : {mFrame->newAction(), mFrame->openAction(), mFrame->exitAction(), mFrame->tileAction(),
                          mFrame->controlAction(), mFrame->controlPanel().startAction(),
                          mFrame->controlPanel().suspendAction(), mFrame->controlPanel().stepAction()})
    EXPECT_FALSE(action->shortcut().isEmpty()) << action->text().toStdString();

  QTest::keyClick(mFrame.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(mFrame->isVisible());
}

TEST(QtTranslation, QtsOwnButtonsAndFileDialogSpeakJapanese) {
  QObject owner;
  QString problem;
  QTranslator* translator = installQtJapanese(&owner, &problem);
  ASSERT_NE(translator, nullptr) << problem.toStdString();
  {
    QMessageBox box(QMessageBox::Question, "Vek", QString::fromUtf8(text::kAskInitialise),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString::fromUtf8("はい(&Y)"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QString::fromUtf8("いいえ(&N)"));
    QFileDialog dialog(nullptr, QString(), QString(), QString::fromUtf8(text::kVekFilter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("開く"));
    EXPECT_EQ(dialog.labelText(QFileDialog::Reject), QString::fromUtf8("キャンセル"));
  }
  QCoreApplication::removeTranslator(translator);
}

TEST(TurnRate, TurnsPerSecondOverTheLastSecond) {
  TurnRate rate;
  EXPECT_FALSE(rate.perSecond());
  rate.add(10, 0);
  rate.add(20, 100);
  EXPECT_FALSE(rate.perSecond());  // too short a span to say
  rate.add(60, 500);
  EXPECT_DOUBLE_EQ(*rate.perSecond(), 100.0);
  // Older counts drop out once a newer one is a second old.
  rate.add(260, 1500);
  rate.add(460, 2000);
  EXPECT_DOUBLE_EQ(*rate.perSecond(), 400.0 / 1.5);
  // A turn that goes back (another world) starts afresh.
  rate.add(5, 2100);
  EXPECT_FALSE(rate.perSecond());
  EXPECT_EQ(countsStatus({12, 3, 4, true}, 2.24), QString::fromUtf8("実行中　ターン 12　生存 3　遺伝子 4　2.2 ターン/秒"));
  EXPECT_EQ(countsStatus({12, 3, 4, false}, std::nullopt), QString::fromUtf8("停止中　ターン 12　生存 3　遺伝子 4"));
}

}  // namespace
}  // namespace app::test
