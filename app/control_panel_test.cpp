// The control panel's enabling rules, single steps with the caption and the phase lamp, and
// the main window's one-view-per-kind rule.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "app/app_test_support.h"
#include "app/control_panel.h"
#include "app/main_window.h"
#include "app/phase_panel.h"
#include "app/texts.h"
#include "engine/world.h"

namespace app::test {
namespace {

class ControlPanelTest : public SimulatorTest {
 protected:
  void SetUp() override {
    createBuiltInWorld();
    mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);
  }
  void TearDown() override {
    if (mSimulator->world()) mSimulator->world()->pause();
    mFrame.reset();
  }

  ControlPanel& panel() { return mFrame->controlPanel(); }
  std::vector<bool> enabled() {
    return {panel().startButton()->isEnabled(), panel().suspendButton()->isEnabled(),
            panel().stepButton()->isEnabled(), panel().closeButton()->isEnabled()};
  }

  std::unique_ptr<CMainFrame> mFrame;
};

TEST_F(ControlPanelTest, StartLeavesOnlySuspendAndSuspendEnablesTheOtherThree) {
  mDialogs.onModal = [&](QDialog& dialog) {
    EXPECT_EQ(&dialog, &panel());
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, true, true}));
    panel().startButton()->click();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, false, false}));
    EXPECT_TRUE(waitUntil([&] { return turnOf(*mSimulator->world()) >= 1; }));

    // Neither Escape nor the frame closes the panel while the world runs, nor does the main
    // window close under it.
    panel().reject();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_FALSE(mFrame->close());

    panel().suspendButton()->click();
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, true, true}));
    EXPECT_FALSE(mSimulator->world()->isBusy());
    panel().closeButton()->click();
    EXPECT_FALSE(panel().isVisible());
  };
  mFrame->controlAction()->trigger();
  EXPECT_EQ(mDialogs.modals.size(), 1u);
}

TEST_F(ControlPanelTest, SingleStepsUpdateTheCaptionAndTheLamp) {
  auto* lamps = static_cast<kMotherView*>(mFrame->openView(ViewKind::kMother));
  EXPECT_EQ(lamps->litPhase(), 0);
  mDialogs.onModal = [&](QDialog&) {
    EXPECT_EQ(panel().stepButton()->text(), "SUN_LIGHT");
    panel().stepButton()->click();
    EXPECT_TRUE(waitUntil([&] { return panel().stepButton()->text() == "INITIAL_EXECUTE"; }));
    EXPECT_EQ(lamps->litPhase(), 1);
    panel().stepButton()->click();
    panel().stepButton()->click();
    EXPECT_TRUE(waitUntil([&] { return panel().stepButton()->text() == "EXECUTE(0/1)"; }));
    EXPECT_EQ(lamps->litPhase(), 3);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, true, true}));
    panel().closeButton()->click();
  };
  mFrame->controlAction()->trigger();
}

TEST_F(ControlPanelTest, TheLitLampOpensTheControlPanel) {
  auto* lamps = static_cast<kMotherView*>(mFrame->openView(ViewKind::kMother));
  lamps->lamp(0)->click();
  ASSERT_EQ(mDialogs.modals.size(), 1u);
  EXPECT_EQ(mDialogs.modals[0], &panel());
}

TEST_F(ControlPanelTest, WithoutAWorldThePanelOnlyShowsItsMessage) {
  auto* lamps = static_cast<kMotherView*>(mFrame->openView(ViewKind::kMother));
  mSimulator->discardWorld();
  mFrame->controlAction()->trigger();
  lamps->lamp(0)->click();
  EXPECT_TRUE(mDialogs.modals.empty());
  ASSERT_EQ(mDialogs.messages.size(), 2u);
  EXPECT_EQ(mDialogs.messages[0], QString::fromUtf8(text::kLoadFirst));
  EXPECT_EQ(mDialogs.messages[1], QString::fromUtf8(text::kNothingLoaded));
}

TEST_F(ControlPanelTest, AViewOpenedTwiceExistsOnceAndItsMenuItemWaitsForItToClose) {
  for (int kind = 0; kind < kViewKindCount; ++kind) {
    const auto viewKind = static_cast<ViewKind>(kind);
    QWidget* first = mFrame->openView(viewKind);
    mFrame->viewAction(viewKind)->trigger();
    EXPECT_EQ(mFrame->openView(viewKind), first);
    EXPECT_FALSE(mFrame->viewAction(viewKind)->isEnabled());
    EXPECT_TRUE(mSimulator->bridge().isViewOpen(viewKind));
  }
  EXPECT_EQ(mFrame->mdiArea()->subWindowList().size(), kViewKindCount);
  const QStringList titles = [&] {
    QStringList list;
    for (QMdiSubWindow* frame : mFrame->mdiArea()->subWindowList()) list << frame->windowTitle();
    return list;
  }();
  EXPECT_EQ(titles, (QStringList{"Seed View", "Gene View", "Daughter View", "Mother View", "Size View"}));

  mFrame->subWindow(ViewKind::kSeed)->close();
  EXPECT_TRUE(waitUntil([&] { return mFrame->view(ViewKind::kSeed) == nullptr; }));
  EXPECT_TRUE(mFrame->viewAction(ViewKind::kSeed)->isEnabled());
  EXPECT_FALSE(mSimulator->bridge().isViewOpen(ViewKind::kSeed));
}

}  // namespace
}  // namespace app::test
