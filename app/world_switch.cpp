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
  const SavedWorldChoice choice = askAboutSavedWorld(dialogs, folder);
  if (choice == SavedWorldChoice::kCancel || !leaveCurrentWorld(simulator, dialogs)) return;
  simulator.startAfresh();
  if (choice == SavedWorldChoice::kLoad) loadMarkedWorld(simulator, dialogs, qPath(folder + vek::kMarkerFileName));
  else createWorld(simulator, dialogs, settings);
}

}  // namespace app
