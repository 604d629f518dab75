// The viewer's dialogs in Qt Widgets, run modally from inside the GLUT callbacks (a nested Qt
// event loop; the 3D window is not redrawn meanwhile).
//
// A QApplication must exist for the whole life of this object. Viewer thread only.
#pragma once

#include <memory>

#include "viewer/dialogs.h"

class QWidget;

namespace viewer {

class QtDialogs final : public ViewerDialogs {
 public:
  QtDialogs();
  ~QtDialogs() override;

  bool askYesNo(const std::string& question) override;
  std::optional<std::string> chooseSnapshot() override;
  std::optional<std::string> choosePicture() override;
  bool editData(DataDialogValues& values, const Scene& scene) override;
  void tellError(const std::string& message) override;
  void showBusy(const std::string& text) override;
  void closeBusy() override;

 private:
  std::unique_ptr<QWidget> mBusy;  // the busy window while one is shown
};

}  // namespace viewer
