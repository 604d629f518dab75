// kSizeView: the gene pool's three frequency tables ("Size/Freq", "Freq/Size", "Gene/Freq"),
// each with a "SAVE" button that writes it as a frequency file. Filled when it opens and after
// every turn the world closes.
//
// GUI thread only. Registers itself with the simulator's bridge while it exists.
#pragma once

#include <QWidget>

#include "records/frequency_tables.h"

class QPlainTextEdit;
class QPushButton;

namespace app {

class Simulator;
class VekDialogs;
struct TurnTexts;

class kSizeView : public QWidget {
  Q_OBJECT

 public:
  kSizeView(Simulator& simulator, VekDialogs& dialogs, QWidget* parent = nullptr);
  ~kSizeView() override;

  // Builds the tables now, under the world's mutex.
  void refresh();
  void showTables(const vek::FrequencyTables& tables);
  // The "SAVE" buttons: 0 "Size/Freq", 1 "Freq/Size", 2 "Gene/Freq".
  void save(int table);

  const vek::FrequencyTables& tables() const { return mTables; }

 private:
  void afterTurn(const TurnTexts& texts);

  Simulator& mSimulator;
  VekDialogs& mDialogs;
  vek::FrequencyTables mTables;
  QPlainTextEdit* mBoxes[3];
};

}  // namespace app
