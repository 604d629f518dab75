// The initial gene file (".gini"): a hand-editable text from which a new world is populated.
// Its first useful line names the save folder; then come entries separated by "next" lines,
// each giving one individual's starting energy, x, y and genome (one instruction word a line).
// `gene.gini`, written into a world made from the built-in genome, is a template of it.
//
// Plain functions; no shared state.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "engine/place.h"


// The next line that is neither empty nor begins with "/" (after leading white space), or ""
// once the stream has failed. Lines are read with the line reader.
std::string nextUsefulLine(std::istream& in);

// The text before the first space; the whole line when it has no space.
std::string firstWordOf(const std::string& line);

// The folder word of a first useful line: the text before its first space, "" without one.
std::string folderWordOf(const std::string& line);

// Reads one entry into `entry` (reset to the defaults first). Returns true when the entry was
// ended by a "next" line, so another may follow; false at the end of the file. An entry
// without codes creates nobody; the caller decides. At most `kMaxInitialCodes` codes are
// taken per entry; further code lines are ignored.
inline constexpr size_t kMaxInitialCodes = 1000000;
bool readInitialGeneEntry(std::istream& in, InitialGeneEntry& entry);

// The bytes of `gene.gini` for the built-in genome: CR LF ends, CP932 comments.
std::string initialGeneFileText();
// Writes `gene.gini` into `folder` (ending in "/"), replacing it. False when it failed.
bool writeInitialGeneFile(const std::string& folder);
