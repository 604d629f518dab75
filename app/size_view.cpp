#include "app/size_view.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <mutex>

#include "app/form_boxes.h"
#include "app/save_commands.h"
#include "app/simulator.h"
#include "engine/place.h"
#include "engine/world.h"

namespace app {

namespace {

struct Table {
  const char* label;
  const char* name;
  const char* fileName;
};
constexpr Table kTables[3] = {{"Size/Freq", "sizeFrequency", vek::kSizeFrequencyFileName},
                              {"Freq/Size", "frequencySize", vek::kFrequencySizeFileName},
                              {"Gene/Freq", "geneFrequency", vek::kGeneFrequencyFileName}};

const std::string& tableText(const vek::FrequencyTables& tables, int table) {
  switch (table) {
    case 0:
      return tables.sizeFrequency;
    case 1:
      return tables.frequencySize;
    default:
      return tables.geneFrequency;
  }
}

}  // namespace

kSizeView::kSizeView(Simulator& simulator, VekDialogs& dialogs, QWidget* parent)
    : QWidget(parent), mSimulator(simulator), mDialogs(dialogs) {
  auto* grid = new QGridLayout(this);
  for (int table = 0; table < 3; ++table) {
    mBoxes[table] = readOnlyTextBox(kTables[table].name, this);
    auto* button = new QPushButton(QStringLiteral("SAVE"), this);
    button->setObjectName(QStringLiteral("save_") + QString::fromUtf8(kTables[table].name));
    grid->addWidget(new QLabel(QString::fromUtf8(kTables[table].label), this), 0, table);
    grid->addWidget(mBoxes[table], 1, table);
    grid->addWidget(button, 2, table);
    connect(button, &QPushButton::clicked, this, [this, table] { save(table); });
  }
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(2, 3);

  mSimulator.bridge().setViewOpen(ViewKind::kSize, true);
  connect(&mSimulator.bridge(), &WorldBridge::turnEnded, this, &kSizeView::afterTurn);
  connect(&mSimulator.bridge(), &WorldBridge::worldOpened, this, &kSizeView::refresh);
  connect(&mSimulator.bridge(), &WorldBridge::worldClosed, this, [this] { showTables({}); });
  refresh();
}

kSizeView::~kSizeView() { mSimulator.bridge().setViewOpen(ViewKind::kSize, false); }

void kSizeView::refresh() {
  mWorld* world = mSimulator.world();
  if (!world) return;
  vek::FrequencyTables tables;
  {
    std::lock_guard<FairMutex> lock(world->mutex());
    tables = vek::buildFrequencyTables(world->place().genePool());
  }
  showTables(tables);
}

void kSizeView::showTables(const vek::FrequencyTables& tables) {
  mTables = tables;
  for (int table = 0; table < 3; ++table) setTextBox(mBoxes[table], tableText(mTables, table));
}

void kSizeView::save(int table) {
  if (table < 0 || table >= 3) return;
  saveFrequencyTable(mDialogs, mSimulator.saveFolder(), tableText(mTables, table), kTables[table].fileName);
}

void kSizeView::afterTurn(const TurnTexts& texts) {
  if (texts.sizes) showTables(*texts.sizes);
}

}  // namespace app
