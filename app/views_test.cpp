// The daughter, seed and gene views: what they show, how they follow the world, and the
// messages when what the user picked has gone.
#include <QComboBox>
#include <QCompleter>
#include <QTest>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <mutex>

#include "app/app_test_support.h"
#include "app/daughter_view.h"
#include "app/gene_view.h"
#include "app/main_window.h"
#include "app/phase_panel.h"
#include "app/seed_view.h"
#include "app/size_view.h"
#include "app/texts.h"
#include "engine/lineage.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene.h"
#include "records/frequency_tables.h"

namespace app::test {
namespace {

QString box(QWidget* view, const char* name) {
  if (auto* line = view->findChild<QLineEdit*>(name)) return line->text();
  if (auto* text = view->findChild<QPlainTextEdit*>(name)) return text->toPlainText();
  ADD_FAILURE() << "no box " << name;
  return {};
}

class ViewsTest : public SimulatorTest {
 protected:
  void SetUp() override {
    createBuiltInWorld();
    mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);
  }
  void TearDown() override {
    if (mSimulator->world()) mSimulator->world()->pause();
    mFrame.reset();
  }

  mWorld& world() { return *mSimulator->world(); }
  // Steps on this thread until the next phase is `phase`, without delivering the world's news.
  void stepUntil(int phase) {
    do world().step();
    while (world().phase() != phase);
  }
  // Lets every pending refresh arrive.
  void deliver() { mSimulator->bridge().deliverPending(); }
  std::string firstSeedId() {
    std::lock_guard<FairMutex> lock(world().mutex());
    return world().place().population().living().front()->id().text();
  }
  // Marks every childless individual older than 0 turns for death at its evaluation.
  void makeEveryoneMortal() {
    std::lock_guard<FairMutex> lock(world().mutex());
    world().place().parameters().mSeed_turn_effect = 0;
  }

  std::unique_ptr<CMainFrame> mFrame;
};

TEST_F(ViewsTest, DaughterViewOfAnEmptyPopulationShowsZeros) {
  mSimulator = std::make_unique<Simulator>();
  mSimulator->setApplicationFolder(folder());
  const std::string geneFile = folder() + "empty.gini";
  writeFile(geneFile, "/ nobody lives here\r\nempty_world folder\r\n1000 initialEnergy\r\n");
  ASSERT_TRUE(mSimulator->createWorld(geneFile, "").ok());
  mFrame = std::make_unique<CMainFrame>(*mSimulator, mDialogs);

  QWidget* view = mFrame->openView(ViewKind::kDaughter);
  EXPECT_EQ(box(view, "seeds"), "0");
  for (const char* name : {"averageSize", "averageEvaluation", "averageTurn", "acquiredEnergy", "maintenanceEnergy",
                           "usedEnergy"})
    EXPECT_EQ(box(view, name), "0.0000000000") << name;
  EXPECT_TRUE(box(view, "averageEnergy").startsWith("edge 0.0000000000\n"));
}

TEST_F(ViewsTest, DaughterAndSizeViewsFollowTheTurns) {
  QWidget* daughter = mFrame->openView(ViewKind::kDaughter);
  auto* sizes = static_cast<kSizeView*>(mFrame->openView(ViewKind::kSize));
  EXPECT_EQ(box(daughter, "turn"), "0");
  EXPECT_EQ(box(daughter, "seeds"), "1");
  runTurns(world(), 2);
  EXPECT_TRUE(waitUntil([&] { return box(daughter, "turn") == "2"; }));

  vek::FrequencyTables tables;
  {
    std::lock_guard<FairMutex> lock(world().mutex());
    tables = vek::buildFrequencyTables(world().place().genePool());
  }
  EXPECT_EQ(sizes->tables().geneFrequency, tables.geneFrequency);
  EXPECT_EQ(box(sizes, "sizeFrequency").toStdString(),
            QString::fromStdString(tables.sizeFrequency).replace("\r\n", "\n").toStdString());
}

TEST_F(ViewsTest, SpecificTrackingWithAnEmptySeedIdNeverUpdates) {
  auto* seeds = static_cast<kSeedView*>(mFrame->openView(ViewKind::kSeed));
  seeds->setTracking(SeedTracking::kSpecific);
  stepUntil(AFTER_EXECUTE);
  deliver();
  EXPECT_EQ(box(seeds, "seedId"), "");

  seeds->setTracking(SeedTracking::kComplete);
  stepUntil(SUN_LIGHT);
  stepUntil(AFTER_EXECUTE);
  deliver();
  EXPECT_EQ(box(seeds, "seedId").toStdString(), firstSeedId());
  EXPECT_TRUE(seeds->targetButton()->isEnabled());
  EXPECT_FALSE(box(seeds, "energy").isEmpty());

  // The turn's end forgets the individual but keeps the texts.
  stepUntil(SUN_LIGHT);
  deliver();
  EXPECT_FALSE(seeds->targetButton()->isEnabled());
  EXPECT_EQ(box(seeds, "seedId").toStdString(), firstSeedId());
}

TEST_F(ViewsTest, SeedViewListsChooseAnIndividualAndReportOneThatIsLost) {
  auto* seeds = static_cast<kSeedView*>(mFrame->openView(ViewKind::kSeed));
  seeds->dropDownSizes();
  ASSERT_EQ(seeds->sizeList()->count(), 1);
  seeds->chooseSize(0);
  ASSERT_EQ(seeds->idList()->count(), 1);
  EXPECT_EQ(seeds->idList()->itemText(0).toStdString(), firstSeedId());
  seeds->chooseSeed(0);
  EXPECT_EQ(box(seeds, "seedId").toStdString(), firstSeedId());
  EXPECT_EQ(box(seeds, "centre"), "0.000000 0.000000 0.000000");
  EXPECT_TRUE(seeds->targetButton()->isEnabled());

  // Everyone dies in this turn; the lists still offer what was there.
  makeEveryoneMortal();
  stepUntil(AFTER_EXECUTE);
  stepUntil(SUN_LIGHT);
  seeds->chooseSeed(0);
  seeds->chooseSize(0);
  EXPECT_EQ(mDialogs.messages,
            (std::vector<QString>{QString::fromUtf8(text::kSeedOfIdLost), QString::fromUtf8(text::kSeedsOfSizeLost)}));
}

TEST_F(ViewsTest, GeneViewShowsAGenomeItsCarriersAndSendsOneToTheSeedView) {
  auto* genes = static_cast<kGeneView*>(mFrame->openView(ViewKind::kGene));
  genes->dropDownSizes();
  ASSERT_EQ(genes->sizeList()->count(), 1);
  genes->chooseSize(0);
  ASSERT_EQ(genes->idList()->count(), 1);
  genes->chooseGene(0);
  EXPECT_EQ(box(genes, "seedNumber"), "1");
  EXPECT_TRUE(box(genes, "code").startsWith("ID:" + box(genes, "geneId") + "\n0 : "));
  EXPECT_TRUE(genes->targetButton()->isEnabled());
  EXPECT_TRUE(genes->saveButton()->isEnabled());
  ASSERT_EQ(genes->carrierList()->count(), 1);

  mDialogs.yesNo = {false, true};
  genes->chooseCarrier(0);
  EXPECT_EQ(mFrame->view(ViewKind::kSeed), nullptr);
  genes->chooseCarrier(0);
  ASSERT_NE(mFrame->view(ViewKind::kSeed), nullptr);
  EXPECT_EQ(box(mFrame->view(ViewKind::kSeed), "seedId").toStdString(), firstSeedId());

  // After a turn the lists are empty and both buttons wait for a new choice.
  stepUntil(AFTER_EXECUTE);
  stepUntil(SUN_LIGHT);
  deliver();
  EXPECT_EQ(genes->idList()->count(), 0);
  EXPECT_EQ(genes->carrierList()->count(), 0);
  EXPECT_FALSE(genes->targetButton()->isEnabled());
  EXPECT_FALSE(genes->saveButton()->isEnabled());
}

TEST_F(ViewsTest, AGenomeWhoseCarriersDiedIsReportedLostAndTheBoxesStay) {
  auto* genes = static_cast<kGeneView*>(mFrame->openView(ViewKind::kGene));
  genes->dropDownSizes();
  genes->chooseSize(0);
  genes->chooseGene(0);
  const QString shown = box(genes, "geneId");

  makeEveryoneMortal();
  stepUntil(AFTER_EXECUTE);
  stepUntil(SUN_LIGHT);
  genes->chooseGene(0);
  genes->chooseSize(0);
  EXPECT_EQ(mDialogs.messages,
            (std::vector<QString>{QString::fromUtf8(text::kGeneOfIdLost), QString::fromUtf8(text::kGeneOfSizeLost)}));
  EXPECT_EQ(box(genes, "geneId"), shown);
  EXPECT_EQ(box(genes, "seedNumber"), "1");
}

TEST_F(ViewsTest, GeneViewShowsWhereAGenomeCameFromAndEachAncestorInTurn) {
  runTurns(world(), 300);
  // A living genome whose mother had a mother, and the world's own record of its line.
  mLineageNode chosen, root;
  std::vector<int> line;
  std::size_t nodes = 0;
  {
    std::lock_guard<FairMutex> lock(world().mutex());
    const mLineage& lineage = world().place().lineage();
    for (const mLineageNode& node : lineage.nodes()) {
      const mLineageNode* mother = lineage.find(node.mother);
      if (node.alive() && mother && mother->mother >= 0) chosen = node;
    }
    ASSERT_GE(chosen.mother, 0) << "no genome two generations from the root";
    for (int at = chosen.mother; at >= 0; at = lineage.find(at)->mother) line.push_back(at);
    root = *lineage.find(line.back());
    nodes = lineage.nodes().size();
  }
  auto* genes = static_cast<kGeneView*>(mFrame->openView(ViewKind::kGene));
  genes->dropDownSizes();
  genes->chooseSize(genes->sizeList()->findData(chosen.length));
  genes->chooseGene(genes->idList()->findText(QString::fromStdString(chosen.gene)));
  ASSERT_EQ(box(genes, "geneId").toStdString(), chosen.gene);

  QListWidget* list = genes->lineageList();
  EXPECT_FALSE(list->isHidden());
  QStringList lines;
  std::vector<int> named;
  for (int row = 0; row < list->count(); ++row) {
    lines << list->item(row)->text();
    if (list->item(row)->data(Qt::UserRole).isValid()) named.push_back(list->item(row)->data(Qt::UserRole).toInt());
  }
  EXPECT_EQ(lines[0].toStdString(), "系統ID " + std::to_string(chosen.id) + "　" + chosen.gene);
  EXPECT_EQ(lines[1].toStdString(), "発生ターン " + std::to_string(chosen.origin) + "　生存中");
  EXPECT_TRUE(lines[4].startsWith("母：" + QString::fromStdString(world().place().lineage().find(chosen.mother)->gene)));
  EXPECT_TRUE(lines.last().endsWith("根"));
  // The mother, the father when there is one, then the line back to the root: each can be chosen.
  std::vector<int> wanted{chosen.mother};
  if (chosen.father >= 0) wanted.push_back(chosen.father);
  wanted.insert(wanted.end(), line.begin(), line.end());
  EXPECT_EQ(named, wanted);

  // Choosing the root shows it: in the pool while it lives, as its record once it has gone.
  genes->chooseLineage(list->count() - 1);
  EXPECT_EQ(box(genes, "geneId").toStdString(), root.gene);
  // The lists above, which named the genome chosen there, name none now.
  EXPECT_EQ(genes->idList()->currentText(), "");
  EXPECT_EQ(genes->sizeList()->currentIndex(), -1);
  EXPECT_EQ(genes->targetButton()->isEnabled(), root.alive());
  if (!root.alive()) {
    EXPECT_EQ(box(genes, "seedNumber"), "0");
  }
  EXPECT_EQ(list->item(0)->text().toStdString(), "系統ID " + std::to_string(root.id) + "　" + root.gene);
  // Every other node descends from the one root.
  EXPECT_TRUE(list->item(3)->text().startsWith("子孫 " + QString::number(nodes - 1) + "　"));
  EXPECT_EQ(list->item(4)->text(), "母：なし");
  EXPECT_TRUE(mDialogs.messages.empty());

  // A world that keeps no lineage shows none.
  {
    std::lock_guard<FairMutex> lock(world().mutex());
    world().place().lineage().setEnabled(false);
  }
  genes->chooseSize(genes->sizeList()->findData(chosen.length));
  genes->chooseGene(genes->idList()->findText(QString::fromStdString(chosen.gene)));
  EXPECT_TRUE(list->isHidden());
}

TEST_F(ViewsTest, TypingInTheIdentifierListFindsAnIndividualAndTheChoiceOutlivesARefresh) {
  runTurns(world(), 400);
  auto* seeds = static_cast<kSeedView*>(mFrame->openView(ViewKind::kSeed));
  seeds->dropDownSizes();
  // The length with the most carriers.
  int size = 0, most = -1;
  for (int index = 0; index < seeds->sizeList()->count(); ++index) {
    seeds->chooseSize(index);
    if (seeds->idList()->count() > most) {
      most = seeds->idList()->count();
      size = index;
    }
  }
  seeds->chooseSize(size);
  ASSERT_GT(most, 50);
  const QString wanted = seeds->idList()->itemText(most / 2);
  QLineEdit* typing = seeds->idList()->lineEdit();
  ASSERT_NE(typing, nullptr);

  // The typed part picks out the entries that hold it.
  const QString part = wanted.section('-', 1, 1);
  QTest::keyClicks(typing, part);
  seeds->idList()->completer()->setCompletionPrefix(part);
  EXPECT_GE(seeds->idList()->completer()->completionCount(), 1);
  // The whole identifier and Enter choose it, as a click on it would.
  typing->clear();
  QTest::keyClicks(typing, wanted);
  QTest::keyClick(typing, Qt::Key_Return);
  EXPECT_EQ(box(seeds, "seedId"), wanted);
  EXPECT_EQ(seeds->idList()->currentText(), wanted);
  EXPECT_TRUE(seeds->targetButton()->isEnabled());

  // A turn empties the lists but the choice stays in view, and comes back when they refill.
  stepUntil(AFTER_EXECUTE);
  stepUntil(SUN_LIGHT);
  deliver();
  EXPECT_EQ(seeds->idList()->count(), 0);
  EXPECT_EQ(seeds->idList()->currentText(), wanted);
  seeds->dropDownSizes();
  EXPECT_EQ(seeds->sizeList()->currentIndex(), size);
  seeds->chooseSize(seeds->sizeList()->currentIndex());
  EXPECT_EQ(seeds->idList()->currentText(), wanted);
  EXPECT_EQ(seeds->idList()->itemText(seeds->idList()->currentIndex()), wanted);
  EXPECT_TRUE(mDialogs.messages.empty());
}

TEST_F(ViewsTest, ManyStepsMakeOneDeliveryWithTheWorldAsItStands) {
  auto* lamps = static_cast<kMotherView*>(mFrame->openView(ViewKind::kMother));
  std::vector<QString> captions;
  QObject::connect(&mSimulator->bridge(), &WorldBridge::phaseChanged,
                   [&](int, const QString& caption) { captions.push_back(caption); });
  for (int step = 0; step < 1000; ++step) world().step();
  deliver();
  ASSERT_EQ(captions.size(), 1u);
  std::string caption;
  int phase = 0;
  {
    std::lock_guard<FairMutex> lock(world().mutex());
    caption = world().caption();
    phase = world().phase();
  }
  EXPECT_EQ(captions[0].toStdString(), caption);
  EXPECT_EQ(lamps->litPhase(), phase);
  // Nothing new, nothing delivered.
  deliver();
  EXPECT_EQ(captions.size(), 1u);
}

}  // namespace
}  // namespace app::test
