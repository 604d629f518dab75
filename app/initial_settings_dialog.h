// The initial-settings dialog: the initial gene file and the initial parameter file of a new
// world, each with a browse button, and OK, Default and Exit. Enter and Escape neither confirm
// nor close it, and neither does its window frame: one of its three buttons decides.
//
// GUI thread only. The browse buttons ask `dialogs` (not owned) for their files.
#pragma once

#include <QDialog>

#include "app/dialogs.h"

class QLineEdit;
class QPushButton;

namespace app {

class InitialSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // `currentFolder` (ending in "/") is where both browse dialogs start.
  InitialSettingsDialog(VekDialogs& dialogs, const QString& currentFolder, QWidget* parent = nullptr);

  // OK: both boxes; Default: both empty; Exit: the exit mark. Valid once the dialog closed.
  InitialSettings result() const { return mResult; }

  QLineEdit* geneBox() const { return mGeneBox; }
  QLineEdit* parameterBox() const { return mParameterBox; }
  QPushButton* okButton() const { return mOk; }
  QPushButton* defaultButton() const { return mDefault; }
  QPushButton* exitButton() const { return mExit; }
  QPushButton* browseGeneButton() const { return mBrowseGene; }
  QPushButton* browseParameterButton() const { return mBrowseParameter; }

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void browse(QLineEdit* box, const char* filter, const char* suffix, const char* pattern);

  VekDialogs& mDialogs;
  QString mCurrentFolder;
  InitialSettings mResult;
  QLineEdit* mGeneBox;
  QLineEdit* mParameterBox;
  QPushButton* mBrowseGene;
  QPushButton* mBrowseParameter;
  QPushButton* mOk;
  QPushButton* mDefault;
  QPushButton* mExit;
};

}  // namespace app
