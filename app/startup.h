// The simulator's start-up dialogue and exit sequence.
//
// Start-up: a question whether to load a saved world (No quits); the Open dialog for its
// marker `Vek.vek` (loading under the message window); on Cancel a question whether to
// initialise (No quits) and the initial-settings dialog (Exit quits), then a new world and a
// message naming its save folder. A new world never replaces a saved one unasked: the user
// may load the saved world instead, replace it, or quit. A failed load or creation is reported and leaves the
// program without a world, so nothing is ever saved over that folder.
//
// Exit: the world is paused (the call returns once the worker is parked) and saved into its
// save folder under the file lock, then destroyed; a failed save is reported.
//
// GUI thread only; call with no lock held.
#pragma once

#include <QString>
#include <string>

#include "base/file_outcome.h"

namespace app {

class Simulator;
class VekDialogs;
struct InitialSettings;

// QApplication sets every locale category from the environment; numbers must keep the "C"
// form ("0.5", never "0,5") in every file the program writes and reads. Call right after
// constructing the QApplication.
void useClassicNumberFormat();

// The working directory followed by "/".
std::string currentFolder();

enum class StartupOutcome { kRun, kQuit };

// Runs the dialogue. `simulator`'s application folder must be set. kQuit: the program ends
// without saving (the caller discards the world).
StartupOutcome runStartup(Simulator& simulator, VekDialogs& dialogs);

// Saves the world (if there is one and it has a save folder) and destroys it.
void runExitSequence(Simulator& simulator, VekDialogs& dialogs);

// The steps that start-up, exit and the File menu share:
// Loads the world whose marker `Vek.vek` is `markerPath` under the message window; a failure
// is reported and leaves the program without a world.
void loadMarkedWorld(Simulator& simulator, VekDialogs& dialogs, const QString& markerPath);
// Creates a world from the initial-settings dialog's files and says where it was saved, or
// reports why it was not made.
void createWorld(Simulator& simulator, VekDialogs& dialogs, const InitialSettings& settings);
// The save folder a new world from `settings` would take, when it can be told ("" otherwise).
std::string newWorldFolder(const Simulator& simulator, const InitialSettings& settings);
// Before a new world takes `folder`: when a world is saved there, asks whether to load it
// instead (kLoad), and if not, whether to replace it (kReplace, else kCancel). kReplace at
// once when nothing is saved there.
enum class SavedWorldChoice { kLoad, kReplace, kCancel };
SavedWorldChoice askAboutSavedWorld(VekDialogs& dialogs, const std::string& folder);
// Pauses the world (returning once the worker is parked) and saves it into its save folder
// under the message window, as exit does. Nothing to do without a world or save folder.
vek::FileOutcome saveAsExitDoes(Simulator& simulator, VekDialogs& dialogs);

}  // namespace app
