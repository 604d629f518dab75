// The gene file (*.gene): the program listing of one genome as the user sees it in a code
// box, kept so that it can be read or edited by hand. The system never reads it back.
//
// Four lines ended by CR LF ("/*----------------------*/", "  this is gene file", two blanks
// and the genome's identifier, "/*----------------------*/"), then the box's text on one line
// whose own lines are separated by single carriage returns, then CR LF.
//
// Plain functions; the text functions touch nothing shared, the file function takes the
// program's file lock (hold the world's mutex only while building the text).
#pragma once

#include <string>
#include <string_view>

#include "base/file_lock.h"
#include "base/file_outcome.h"

class mGene;

namespace vek {

// `codeBox` is the box's text with its lines ended by CR LF (as a Windows edit box holds
// them) or by LF alone (as a Qt text box gives them); either way each line end becomes one CR.
std::string geneFileText(const mGene& gene, std::string_view codeBox);

// "ID" + the genome's identifier text + ".gene".
std::string geneFileName(const mGene& gene);

// Replaces `path` with `text` atomically, under the file lock.
FileOutcome writeGeneFile(const std::string& path, const std::string& text, FileWriteLock& fileLock);

}  // namespace vek
