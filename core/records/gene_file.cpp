#include "records/gene_file.h"

#include <cerrno>

#include "genome/gene.h"
#include "base/file_lock.h"
#include "base/text_io.h"

namespace vek {

namespace {
constexpr const char* kRule = "/*----------------------*/";
}  // namespace

std::string geneFileText(const mGene& gene, std::string_view codeBox) {
  std::string text = std::string(kRule) + kEol + "  this is gene file" + kEol + "  " + gene.identifier().text() + kEol +
                     kRule + kEol;
  for (size_t i = 0; i < codeBox.size(); ++i) {
    if (codeBox[i] != '\n') text.push_back(codeBox[i]);
    else if (i == 0 || codeBox[i - 1] != '\r') text.push_back('\r');
  }
  return text + kEol;
}

std::string geneFileName(const mGene& gene) { return "ID" + gene.identifier().text() + ".gene"; }

FileOutcome writeGeneFile(const std::string& path, const std::string& text, FileWriteLock& fileLock) {
  FileWriteGuard lock(fileLock);
  errno = 0;
  if (!writeFileAtomically(path, text)) return {describeFileError("cannot write the gene file", path)};
  return {};
}

}  // namespace vek
