#include "app/app_test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

#include "engine/place.h"
#include "engine/world.h"

namespace app::test {

bool ScriptedDialogs::askYesNo(const QString& question) {
  questions.push_back(question);
  if (yesNo.empty()) {
    ADD_FAILURE() << "unanswered question: " << question.toStdString();
    return false;
  }
  const bool answer = yesNo.front();
  yesNo.pop_front();
  return answer;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request) {
  fileRequests.push_back(request);
  if (files.empty()) {
    ADD_FAILURE() << "unanswered Open dialog for " << request.filter.toStdString();
    return std::nullopt;
  }
  const QString answer = files.front();
  files.pop_front();
  if (answer.isNull()) return std::nullopt;
  return answer;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request) { return openFile(request); }

InitialSettings ScriptedDialogs::chooseInitialSettings() {
  if (!settings) {
    ADD_FAILURE() << "unanswered initial-settings dialog";
    InitialSettings exit;
    exit.exit = true;
    return exit;
  }
  return *settings;
}

void ScriptedDialogs::runModal(QDialog& dialog) {
  modals.push_back(&dialog);
  dialog.show();
  if (onModal) onModal(dialog);
  dialog.hide();
}

void ScriptedDialogs::showBusy(const QString& title) {
  busyTitles.push_back(title);
  ++busyOpen;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // Outside an event loop, windows closed with deleteLater wait for this.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(2);
  }
  return true;
}

void runTurns(mWorld& world, int turns) {
  world.holdAfterTurn(turnOf(world) + turns);
  if (!world.isStarted()) world.start();
  world.resume();
  world.waitUntilParked();
  world.holdAfterTurn(0);
}

int turnOf(mWorld& world) {
  std::lock_guard<FairMutex> lock(world.mutex());
  return world.place().turn();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int savedTurn(const std::string& livesFile) {
  std::istringstream in(readFile(livesFile));
  std::string header;
  std::getline(in, header);
  int time = -1, turn = -1;
  in >> time >> turn;
  return turn;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

SimulatorTest::SimulatorTest() : mSimulator(std::make_unique<Simulator>()) {
  mSimulator->setApplicationFolder(folder());
}

SimulatorTest::~SimulatorTest() {
  mSimulator.reset();
}

void SimulatorTest::createBuiltInWorld() {
  const vek::FileOutcome outcome = mSimulator->createWorld("", "");
  ASSERT_TRUE(outcome.ok()) << outcome.error;
}

}  // namespace app::test
