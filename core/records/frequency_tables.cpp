#include "records/frequency_tables.h"

#include <cerrno>
#include <cstdio>

#include "genome/gene_list.h"
#include "base/file_lock.h"
#include "base/text_io.h"

namespace vek {

namespace {

std::string lengthLines(const std::vector<mLengthFrequency>& records) {
  std::string text;
  char line[64];
  for (const mLengthFrequency& record : records) {
    std::snprintf(line, sizeof line, "%d    %d", record.size, record.carriers);
    text += line;
    text += kEol;
  }
  return text;
}

}  // namespace

FrequencyTables buildFrequencyTables(const mGeneList& pool) {
  FrequencyTables tables;
  std::vector<mLengthFrequency> lengths = pool.lengthFrequencies();
  mGeneList::sortByLength(lengths);
  tables.sizeFrequency = lengthLines(lengths);
  mGeneList::sortByCarriers(lengths);
  tables.frequencySize = lengthLines(lengths);

  std::vector<mGeneFrequency> genes = pool.geneFrequencies();
  mGeneList::sortByCarriers(genes);
  for (const mGeneFrequency& record : genes)
    tables.geneFrequency += record.idText + "    " + std::to_string(record.carriers) + kEol;
  return tables;
}

std::string frequencyFileText(const std::string& table) { return table + kEol; }

FileOutcome writeFrequencyFile(const std::string& path, const std::string& table, FileWriteLock& fileLock) {
  const std::string text = frequencyFileText(table);
  FileWriteGuard lock(fileLock);
  errno = 0;
  if (!writeFileAtomically(path, text)) return {describeFileError("cannot write the frequency table", path)};
  return {};
}

}  // namespace vek
