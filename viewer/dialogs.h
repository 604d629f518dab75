// Every question, file dialog and window the viewer shows besides its 3D window, behind one
// small interface: the program answers through Qt (`QtDialogs`), tests answer from a script, so
// nothing in a test waits on a modal dialog.
//
// Called on the viewer's one thread only, from start-up and from inside the GLUT callbacks.
#pragma once

#include <optional>
#include <string>

#include "viewer/data_values.h"
#include "viewer/scene.h"

namespace viewer {

class ViewerDialogs {
 public:
  virtual ~ViewerDialogs() = default;

  // A yes/no question; true for Yes.
  virtual bool askYesNo(const std::string& question) = 0;

  // The Open dialog for a snapshot (filter "Tovra Files (*.view)", default extension "view",
  // initial name "*.view", the working directory). Nothing when cancelled.
  virtual std::optional<std::string> chooseSnapshot() = 0;

  // The Save-As dialog for the picture (filter "Windows Bitmap Files (*.bmp)", default
  // extension "bmp", default name "tovra.bmp", the working directory, asking before it
  // overwrites). Nothing when cancelled.
  virtual std::optional<std::string> choosePicture() = 0;

  // The modal data dialog, opened on `values`, showing the logs and counters of `scene`.
  // True on OK, with `values` holding the confirmed boxes; false on Cancel, `values` untouched.
  virtual bool editData(DataDialogValues& values, const Scene& scene) = 0;

  // A message box telling the user that something failed; returns when it is closed.
  virtual void tellError(const std::string& message) = 0;

  // The busy window: a title-only window carrying `text`, shown at once until `closeBusy`.
  virtual void showBusy(const std::string& text) = 0;
  virtual void closeBusy() = 0;
};

}  // namespace viewer
