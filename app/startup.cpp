#include "app/startup.h"

#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <vector>

#include "app/dialogs.h"
#include "app/simulator.h"
#include "app/strings.h"
#include "app/texts.h"
#include "records/world_document.h"

namespace app {

namespace {

QString busyTitle(const char* what) { return QString::fromUtf8(text::kProgram) + QString::fromUtf8(what); }

}  // namespace

void useClassicNumberFormat() { std::setlocale(LC_NUMERIC, "C"); }

std::string currentFolder() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "./";
    buffer.resize(buffer.size() * 2);
  }
  return vek::asFolder(buffer.data());
}

StartupOutcome runStartup(Simulator& simulator, VekDialogs& dialogs) {
  if (!dialogs.askYesNo(QString::fromUtf8(text::kAskLoad))) return StartupOutcome::kQuit;

  const std::optional<QString> marker =
      dialogs.openFile({qPath(simulator.applicationFolder()), QString::fromUtf8(text::kVekInitialName),
                        QString::fromUtf8(text::kVekSuffix), QString::fromUtf8(text::kVekFilter)});
  if (marker) {
    loadMarkedWorld(simulator, dialogs, *marker);
    return StartupOutcome::kRun;
  }

  if (!dialogs.askYesNo(QString::fromUtf8(text::kAskInitialise))) return StartupOutcome::kQuit;
  const InitialSettings settings = dialogs.chooseInitialSettings();
  if (settings.exit) return StartupOutcome::kQuit;
  const std::string folder = newWorldFolder(simulator, settings);
  switch (askAboutSavedWorld(dialogs, folder)) {
    case SavedWorldChoice::kLoad:
      loadMarkedWorld(simulator, dialogs, qPath(folder + vek::kMarkerFileName));
      return StartupOutcome::kRun;
    case SavedWorldChoice::kCancel:
      return StartupOutcome::kQuit;
    case SavedWorldChoice::kReplace:
      break;
  }
  createWorld(simulator, dialogs, settings);
  return StartupOutcome::kRun;
}

std::string newWorldFolder(const Simulator& simulator, const InitialSettings& settings) {
  if (settings.geneFile.isEmpty()) return vek::builtInSaveFolder(simulator.applicationFolder());
  std::string folder;
  if (!vek::initialGeneFileSaveFolder(simulator.applicationFolder(), stdPath(settings.geneFile), folder).ok())
    return {};
  return folder;
}

SavedWorldChoice askAboutSavedWorld(VekDialogs& dialogs, const std::string& folder) {
  if (folder.empty() || !vek::holdsSavedWorld(folder)) return SavedWorldChoice::kReplace;
  if (dialogs.askYesNo(QString::fromUtf8(text::kAskLoadSavedInstead).arg(qPath(folder)))) return SavedWorldChoice::kLoad;
  if (dialogs.askYesNo(QString::fromUtf8(text::kAskReplaceSaved).arg(qPath(folder)))) return SavedWorldChoice::kReplace;
  return SavedWorldChoice::kCancel;
}

void loadMarkedWorld(Simulator& simulator, VekDialogs& dialogs, const QString& markerPath) {
  const std::string path = stdPath(markerPath);
  const std::string folder = path.substr(0, path.find_last_of('/') + 1);
  vek::FileOutcome outcome;
  {
    BusyWindow busy(dialogs, busyTitle(text::kLoading));
    outcome = simulator.loadWorld(folder);
  }
  if (!outcome.ok()) {
    dialogs.warn(QString::fromUtf8(text::kLoadFailed).arg(qText(outcome.error)));
    return;
  }
  QString notices;
  for (const std::string& notice : simulator.notices()) notices += "・" + qText(notice) + "\n";
  if (!notices.isEmpty()) dialogs.inform(QString::fromUtf8(text::kLoadNotices).arg(notices.trimmed()));
}

void createWorld(Simulator& simulator, VekDialogs& dialogs, const InitialSettings& settings) {
  const vek::FileOutcome outcome = simulator.createWorld(stdPath(settings.geneFile), stdPath(settings.parameterFile));
  if (outcome.ok())
    dialogs.inform(QString::fromUtf8(text::kInitialised).arg(qPath(simulator.saveFolder())));
  else
    dialogs.warn(QString::fromUtf8(text::kCreateFailed).arg(qText(outcome.error)));
}

vek::FileOutcome saveAsExitDoes(Simulator& simulator, VekDialogs& dialogs) {
  if (!simulator.world() || simulator.saveFolder().empty()) return {};
  BusyWindow busy(dialogs, busyTitle(text::kWriting));
  return simulator.saveWorld();
}

void runExitSequence(Simulator& simulator, VekDialogs& dialogs) {
  const vek::FileOutcome outcome = saveAsExitDoes(simulator, dialogs);
  if (!outcome.ok()) dialogs.warn(QString::fromUtf8(text::kNotSaved).arg(qText(outcome.error)));
  simulator.discardWorld();
}

}  // namespace app
