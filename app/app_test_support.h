// Helpers of the simulator's widget tests: dialogs answered from a script, waiting on state
// while Qt delivers the world's news, and worlds made in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/simulator.h"
#include "body/parameters.h"

class mWorld;

// Texts in test failures as text, not as arrays of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace app::test {

// Answers every dialog from its queues; a question or file dialog with no answer left fails
// the test (and answers No / Cancel). Records everything it was asked and shown.
class ScriptedDialogs : public VekDialogs {
 public:
  std::deque<bool> yesNo;
  std::deque<QString> files;  // Open and Save-As dialogs, in order; a null QString cancels
  std::optional<InitialSettings> settings;
  // Runs while a modal dialog is shown; without it the dialog is closed at once.
  std::function<void(QDialog&)> onModal;

  std::vector<QString> questions, messages, warnings, busyTitles;
  std::vector<FileRequest> fileRequests;
  std::vector<QDialog*> modals;
  int abouts = 0;
  int busyOpen = 0;

  bool askYesNo(const QString& question) override;
  void inform(const QString& message) override { messages.push_back(message); }
  void warn(const QString& message) override { warnings.push_back(message); }
  void about() override { ++abouts; }
  std::optional<QString> openFile(const FileRequest& request) override;
  std::optional<QString> saveFile(const FileRequest& request) override;
  InitialSettings chooseInitialSettings() override;
  void runModal(QDialog& dialog) override;
  void showBusy(const QString& title) override;
  void closeBusy() override { --busyOpen; }
};

// Processes Qt's events until `done` holds; false when it did not within `timeoutMs`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 60000);

// Lets the world's worker run until the place has completed `turns` more turns, then parks it.
void runTurns(mWorld& world, int turns);

// The place's turn, read under the world's mutex.
int turnOf(mWorld& world);

std::string readFile(const std::string& path);
// The turn recorded in a saved Ostrel.lives (its second line holds time and turn).
int savedTurn(const std::string& livesFile);
void writeFile(const std::string& path, const std::string& bytes);

// A simulator whose application folder is a fresh temporary folder, and whose parameters are
// restored when the test ends.
class SimulatorTest : public ::testing::Test {
 protected:
  SimulatorTest();
  ~SimulatorTest() override;

  // A world from the built-in genome in "<folder>/original_log/".
  void createBuiltInWorld();
  std::string folder() const { return mFolder.path().toStdString() + "/"; }

  QTemporaryDir mFolder;
  std::unique_ptr<Simulator> mSimulator;
  ScriptedDialogs mDialogs;
};

}  // namespace app::test
