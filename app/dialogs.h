// Every message box, question, file dialog, modal dialog and message window of the simulator
// goes through this one interface: the program answers through Qt (`QtDialogs`), tests answer
// from a script, so no test ever waits on a modal window.
//
// GUI thread only. Never call while holding the world's mutex: a modal window runs an event
// loop, and the views' refresh takes that mutex.
#pragma once

#include <QString>
#include <optional>

class QDialog;

namespace app {

// A file dialog as the program asks for it. Save dialogs always ask before they overwrite.
struct FileRequest {
  QString directory;      // the initial folder
  QString fileName;       // the default name, or a pattern such as "*.vek"
  QString defaultSuffix;  // added when the user types a name without one ("vek")
  QString filter;         // "Vek Files (*.vek)"
};

// What the initial-settings dialog gives back. Empty paths mean the built-in defaults.
struct InitialSettings {
  bool exit = false;  // the Exit button was used
  QString geneFile;
  QString parameterFile;
};

class VekDialogs {
 public:
  virtual ~VekDialogs() = default;

  // A yes/no question; true for Yes.
  virtual bool askYesNo(const QString& question) = 0;
  // A message with an OK button.
  virtual void inform(const QString& message) = 0;
  // A message about a failure, with an OK button.
  virtual void warn(const QString& message) = 0;
  // The about box: the program icon, "Vek Version 1.0" and OK.
  virtual void about() = 0;

  // The chosen path, or nothing when cancelled.
  virtual std::optional<QString> openFile(const FileRequest& request) = 0;
  virtual std::optional<QString> saveFile(const FileRequest& request) = 0;

  // Runs the initial-settings dialog, whose browse buttons come back here for their files.
  virtual InitialSettings chooseInitialSettings() = 0;

  // Runs `dialog` modally (the control panel, the target dialog) until it closes.
  virtual void runModal(QDialog& dialog) = 0;

  // The message window: a caption-only window titled `title`, shown at once, until closeBusy.
  virtual void showBusy(const QString& title) = 0;
  virtual void closeBusy() = 0;
};

// Shows the message window for a scope.
class BusyWindow {
 public:
  BusyWindow(VekDialogs& dialogs, const QString& title) : mDialogs(dialogs) { mDialogs.showBusy(title); }
  ~BusyWindow() { mDialogs.closeBusy(); }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  VekDialogs& mDialogs;
};

}  // namespace app
