// The three frequency tables of the gene pool, as the size view shows them and as frequency
// files (*.frq) keep them. The system never reads them back.
//
// - "Size/Freq": genome length and its number of carriers, by length ascending;
// - "Freq/Size": the same records by carriers descending, ties by length ascending;
// - "Gene/Freq": gene identifier and its number of carriers, by carriers descending, ties by
//   the identifiers' order (equal identifiers keep their pool order).
// One record a line, the two values separated by four blanks, every line ended by CR LF.
//
// Building reads the gene pool: hold the world's mutex. Writing takes the program's file lock.
#pragma once

#include <string>

#include "base/file_lock.h"
#include "base/file_outcome.h"

class mGeneList;

namespace vek {

inline constexpr const char* kSizeFrequencyFileName = "size_frq.frq";
inline constexpr const char* kFrequencySizeFileName = "frq_size.frq";
inline constexpr const char* kGeneFrequencyFileName = "gene_frq.frq";

struct FrequencyTables {
  std::string sizeFrequency;  // "Size/Freq"
  std::string frequencySize;  // "Freq/Size"
  std::string geneFrequency;  // "Gene/Freq"
};

FrequencyTables buildFrequencyTables(const mGeneList& pool);

// A frequency file holds its table followed by one more line end (an empty table gives a
// file of one line end).
std::string frequencyFileText(const std::string& table);

// Replaces `path` with the frequency file of `table` atomically, under the file lock.
FileOutcome writeFrequencyFile(const std::string& path, const std::string& table, FileWriteLock& fileLock);

}  // namespace vek
