// The data dialog: a modal Qt dialog that shows the logs and counters of the loaded scene,
// the field values and the window size, and lets the user type the camera's radius, angles
// and target (in field units). The caller opens it with `exec()` and, on Accepted, takes
// `values()`.
//
// Range messages go through `warn`, so tests can answer them; the program shows them in a
// message box. GUI thread only; the scene must outlive the dialog.
#pragma once

#include <QDialog>

#include <functional>

#include "viewer/data_values.h"
#include "viewer/scene.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace viewer {

class DataDialog final : public QDialog {
 public:
  // The boxes are named by their objectName: "min_x" ... "center_y", "haba", "width",
  // "height", "radius", "theta", "phi", "origin_x", "origin_y", "origin_z", "count"; the
  // selector is "kind" and the log box "log".
  DataDialog(const DataDialogValues& values, const Scene& scene, std::function<void(const QString&)> warn,
             QWidget* parent = nullptr);

  // The values held: those the dialog was opened with, replaced by the boxes on a valid OK.
  const DataDialogValues& values() const { return mValues; }

  // Reads every editable box; the first one that holds no number or a number out of its range
  // is named in a range message, takes the focus and keeps the dialog open.
  void accept() override;

 private:
  QLineEdit* addBox(const char* name, bool editable);
  void showValues();
  void showKind(int kind);

  DataDialogValues mValues;
  const Scene& mScene;
  std::function<void(const QString&)> mWarn;
  QComboBox* mKind = nullptr;
  QPlainTextEdit* mLog = nullptr;
  QLineEdit* mCount = nullptr;
};

}  // namespace viewer
