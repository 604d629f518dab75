// File -> Open and File -> New: switching to another world without a restart. Each asks for
// the other world first (a cancelled dialog changes nothing), then pauses and saves the
// current world exactly as exit does, then loads or creates the other one in a fresh world.
//
// Nothing is lost on the way: when the current world cannot be saved the user is asked
// whether to switch all the same, and a new world that would be saved over a folder already
// holding a saved world is made only when the user agrees.
//
// GUI thread only; call with no lock held.
#pragma once

#include <functional>

namespace app {

class Simulator;
class VekDialogs;

// File -> Open: the Open dialog for a saved world's marker `Vek.vek`, then the switch.
void openSavedWorld(Simulator& simulator, VekDialogs& dialogs);

// File -> New: the initial-settings dialog, then the switch. Its Exit button ends the program
// as its text says: `closeProgram` runs the ordinary exit, which saves the current world.
void newWorld(Simulator& simulator, VekDialogs& dialogs, const std::function<void()>& closeProgram);

}  // namespace app
