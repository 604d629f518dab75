// A save folder's files as one unit: after a kill at any moment the folder holds one whole
// save, never the files of two.
//
// A save writes its files (the lives files, the parameter file, the exact companion) first as
// `<name>.pending`, each forced to the disk; then the manifest `save.manifest`, replaced
// atomically, which names the turn and each file's length and CRC-32, and the length each
// appended file (the statistics logs) had at that turn; then it renames the pending files over
// the old ones. The manifest's rename is the moment the save happens: before it the folder
// holds the previous save whole, after it the new one, finished by the next recovery if the
// renames were cut short.
//
// Recovery (before every load and save) brings a folder to its last save: it finishes the
// renames of a save whose manifest was written, removes what an unfinished save or atomic
// replacement left (pending and temporary files), and cuts every appended file back to its
// length at the save, half lines included, so logs and world always agree. A saved file that
// the world appends to between saves (the phylogeny) is cut back to its saved bytes too. A file that matches
// neither the manifest nor a pending copy was edited by hand since: it is kept, with a notice.
// A folder without a manifest (saved before this existed) is left as it is.
//
// Plain functions; the caller holds the folder (base/folder_lock.h) and the program's file lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_outcome.h"

namespace vek {

inline constexpr const char* kManifestName = "save.manifest";
inline constexpr const char* kPendingSuffix = ".pending";

struct SaveManifest {
  struct File {
    std::string name;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
  };
  struct Appended {
    std::string name;
    bool present = false;
    std::uint64_t size = 0;
  };
  int turn = 0;
  int time = 0;
  std::vector<File> files;
  std::vector<Appended> appended;
};

std::string manifestText(const SaveManifest& manifest);
// False (with `error` saying what) for a text that is no manifest.
bool parseManifest(std::string_view text, SaveManifest& manifest, std::string& error);

// Writes `files` (name and bytes) into `folder` (ending in "/") as one save of `turn` and
// `time`, recording the current lengths of `appended` (names of files the world appends to).
// On failure the folder still holds its previous save, and the message names the file.
FileOutcome writeSaveUnit(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files,
                          const std::vector<std::string>& appended, int turn, int time);

// Brings `folder` to its last save as described above. Adds to `notices` a line for each
// thing a person should know (renames finished, lines cut, files edited or removed since the
// save). Fails, changing nothing, when one of the `required` files of the save is missing or
// the manifest is damaged.
FileOutcome recoverSaveUnit(const std::string& folder, std::vector<std::string>& notices,
                            const std::vector<std::string>& required);

// Reads the manifest of `folder`; false when there is none or it cannot be read.
bool readManifest(const std::string& folder, SaveManifest& manifest);

}  // namespace vek
