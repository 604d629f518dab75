#include "app/world_switch.h"

#include "app/dialogs.h"
#include "app/simulator.h"
#include "app/startup.h"
#include "app/strings.h"
#include "app/texts.h"
#include "records/world_document.h"

namespace app {

namespace {

// Saves the current world as exit does; false when it could not be saved and the user chose
// to keep it.
bool leaveCurrentWorld(Simulator& simulator, VekDialogs& dialogs) {
  const vek::FileOutcome saved = saveAsExitDoes(simulator, dialogs);
  if (saved.ok()) return true;
  return dialogs.askYesNo(QString::fromUtf8(text::kAskSwitchUnsaved).arg(qText(saved.error)));
}

// The save folder a new world from `settings` will be saved in, when it can be told.
std::string newWorldFolder(const Simulator& simulator, const InitialSettings& settings) {
  if (settings.geneFile.isEmpty()) return vek::builtInSaveFolder(simulator.applicationFolder());
  std::string folder;
  if (!vek::initialGeneFileSaveFolder(simulator.applicationFolder(), stdPath(settings.geneFile), folder).ok())
    return {};
  return folder;
}

}  // namespace

void openSavedWorld(Simulator& simulator, VekDialogs& dialogs) {
  const std::optional<QString> marker =
      dialogs.openFile({qPath(simulator.applicationFolder()), QString::fromUtf8(text::kVekInitialName),
                        QString::fromUtf8(text::kVekSuffix), QString::fromUtf8(text::kVekFilter)});
  if (!marker || !leaveCurrentWorld(simulator, dialogs)) return;
  simulator.startAfresh();
  loadMarkedWorld(simulator, dialogs, *marker);
}

void newWorld(Simulator& simulator, VekDialogs& dialogs, const std::function<void()>& closeProgram) {
  const InitialSettings settings = dialogs.chooseInitialSettings();
  if (settings.exit) {
    if (closeProgram) closeProgram();
    return;
  }
  const std::string folder = newWorldFolder(simulator, settings);
  if (!folder.empty() && vek::holdsSavedWorld(folder) &&
      !dialogs.askYesNo(QString::fromUtf8(text::kAskReplaceSaved).arg(qPath(folder))))
    return;
  if (!leaveCurrentWorld(simulator, dialogs)) return;
  simulator.startAfresh();
  createWorld(simulator, dialogs, settings);
}

}  // namespace app
