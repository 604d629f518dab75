// The commands that write a file on the user's demand: a frequency table, a gene file, a
// snapshot of the whole world or of one individual, a picture. Each asks for the file with a
// Save-As dialog that starts in the save folder, shows the message window while it writes and
// warns when the file could not be written. Cancel writes nothing.
//
// The world is read under its mutex only to build the text; the file is written afterwards,
// under the program's file lock, so the lock order of the world's own log writing (world,
// then file lock) is never reversed.
//
// GUI thread only; call with no lock held.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/dialogs.h"
#include "base/file_outcome.h"

class mID;

namespace app {

class Simulator;

// Asks for a path with `request` and, on OK, writes it with `write` under the message window
// titled "Vek" + `busyText`. Returns true when a file was written.
bool saveThroughDialog(VekDialogs& dialogs, const FileRequest& request, const char* busyText,
                       const std::function<vek::FileOutcome(const std::string& path)>& write);

// A frequency file (*.frq) holding `table` (lines ended by CR LF) and one more line end.
bool saveFrequencyTable(VekDialogs& dialogs, const std::string& saveFolder, const std::string& table,
                        const char* defaultName);

// A gene file (*.gene) of the genome `geneId` from a code box holding `codeBox`.
bool saveGeneFile(VekDialogs& dialogs, const std::string& saveFolder, const mID& geneId, const std::string& codeBox);

// The View menu's snapshot of the whole world: a question first; No ends the command.
bool SaveTovraView(Simulator& simulator, VekDialogs& dialogs);

// The target dialog's snapshot of one individual, offered as `defaultName`. `buildText` reads
// the world (taking its mutex itself) and gives nothing when the individual is gone.
bool saveSeedSnapshot(VekDialogs& dialogs, const std::string& saveFolder, const std::string& defaultName,
                      const std::function<std::optional<std::string>()>& buildText);

// Writes the bytes of a picture to `path` under the program's file lock, replacing the file
// only once it is whole.
vek::FileOutcome writePictureFile(const std::string& path, const std::string& bytes);

// The target dialog's picture, offered as `defaultName`; `bytes` redraws and encodes it.
bool saveBitmap(VekDialogs& dialogs, const std::string& saveFolder, const std::string& defaultName,
                const std::function<std::string()>& bytes);

}  // namespace app
