// Pictures of the main window with every view open on a world some hundred turns old, and of
// the target dialog, rendered offscreen. They are written into $VEK_SCREENSHOT_DIR when that
// is set, so a person can look at the layout; the test itself checks that every view is
// present, visible and filled.
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <mutex>

#include "app/app_test_support.h"
#include "app/gene_view.h"
#include "app/main_window.h"
#include "app/seed_view.h"
#include "app/target_dialog.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"

namespace app::test {
namespace {

void keep(const QImage& image, const char* name) {
  const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  EXPECT_TRUE(image.save(QString::fromLocal8Bit(folder) + "/" + name));
}

// The individual with the most parts, so the drawing has something to show.
SeedHandle largestPlant(mWorld& world) {
  std::lock_guard<FairMutex> lock(world.mutex());
  const mSeed* largest = nullptr;
  for (const auto& seed : world.place().population().living())
    if (!largest || seed->body().edges().size() > largest->body().edges().size()) largest = seed.get();
  return handleOf(*largest);
}

using ScreenshotTest = SimulatorTest;

TEST_F(ScreenshotTest, MainWindowWithEveryViewAndTheTargetDialog) {
  createBuiltInWorld();
  runTurns(*mSimulator->world(), 300);

  CMainFrame frame(*mSimulator, mDialogs);
  frame.show();
  for (ViewKind kind : {ViewKind::kSeed, ViewKind::kGene, ViewKind::kDaughter, ViewKind::kMother, ViewKind::kSize})
    frame.openView(kind);
  // Tiled, every view fits the frame.
  frame.mdiArea()->tileSubWindows();
  ASSERT_TRUE(waitUntil([&] { return frame.isVisible(); }));
  const QRect area = frame.mdiArea()->viewport()->rect();
  for (QMdiSubWindow* subWindow : frame.mdiArea()->subWindowList())
    EXPECT_TRUE(area.contains(subWindow->geometry())) << subWindow->windowTitle().toStdString();
  keep(frame.grab().toImage(), "main_window_tiled.png");

  // Back where they open.
  for (int kind = 0; kind < kViewKindCount; ++kind) frame.subWindow(static_cast<ViewKind>(kind))->close();
  ASSERT_TRUE(waitUntil([&] {
    for (int kind = 0; kind < kViewKindCount; ++kind)
      if (frame.view(static_cast<ViewKind>(kind))) return false;
    return true;
  }));
  for (ViewKind kind : {ViewKind::kSeed, ViewKind::kGene, ViewKind::kDaughter, ViewKind::kMother, ViewKind::kSize})
    frame.openView(kind);

  auto* seeds = static_cast<kSeedView*>(frame.view(ViewKind::kSeed));
  seeds->dropDownSizes();
  seeds->sizeList()->setCurrentIndex(seeds->sizeList()->findText("61"));
  seeds->chooseSize(seeds->sizeList()->currentIndex());
  seeds->chooseSeed(0);
  seeds->showSeed(largestPlant(*mSimulator->world()));
  auto* genes = static_cast<kGeneView*>(frame.view(ViewKind::kGene));
  genes->dropDownSizes();
  genes->sizeList()->setCurrentIndex(genes->sizeList()->count() - 1);
  genes->chooseSize(genes->sizeList()->currentIndex());
  genes->chooseGene(0);
  ASSERT_TRUE(waitUntil([&] { return frame.isVisible(); }));

  for (int kind = 0; kind < kViewKindCount; ++kind) EXPECT_TRUE(frame.view(static_cast<ViewKind>(kind))->isVisible());
  EXPECT_EQ(frame.view(ViewKind::kDaughter)->findChild<QLineEdit*>("turn")->text(), "300");
  EXPECT_FALSE(seeds->findChild<QLineEdit*>("seedId")->text().isEmpty());
  EXPECT_TRUE(mDialogs.messages.empty());
  const QImage window = frame.grab().toImage();
  EXPECT_EQ(window.size(), frame.size());
  keep(window, "main_window.png");

  mDialogs.onModal = [&](QDialog& dialog) {
    dialog.resize(dialog.sizeHint().expandedTo(QSize(1060, 760)));
    auto& target = static_cast<TargetDialog&>(dialog);
    target.angleBar()->setValue(150);
    ASSERT_TRUE(waitUntil([&] { return dialog.isVisible(); }));
    keep(dialog.grab().toImage(), "target_dialog.png");
    target.frameWholePlant();
    keep(dialog.grab().toImage(), "target_dialog_framed.png");
  };
  seeds->targetButton()->click();
  EXPECT_EQ(mDialogs.modals.size(), 1u);
}

}  // namespace
}  // namespace app::test
