#include "records/initial_gene_file.h"

#include <sstream>

#include "engine/default_genome.h"
#include "base/instructions.h"
#include "base/cp932.h"
#include "base/text_io.h"

std::string nextUsefulLine(std::istream& in) {
  std::string line;
  for (;;) {
    vek::readLine(in, line);
    if (in.fail()) return "";
    if (!line.empty() && line[0] != '/') return line;
  }
}

std::string firstWordOf(const std::string& line) {
  const size_t space = line.find(' ');
  if (space == std::string::npos || space == 0) return line;
  return line.substr(0, space);
}

std::string folderWordOf(const std::string& line) {
  const size_t space = line.find(' ');
  return space == std::string::npos ? std::string() : line.substr(0, space);
}

bool readInitialGeneEntry(std::istream& in, InitialGeneEntry& entry) {
  entry = InitialGeneEntry();
  for (;;) {
    const std::string line = nextUsefulLine(in);
    if (line.empty()) return false;
    const std::string word = firstWordOf(line);
    if (line == "next" || word == "next") return true;
    if (line.find("initialEnergy") != std::string::npos) {
      vek::parseLeadingDouble(line, entry.energy);
    } else if (line.find("initial_x") != std::string::npos) {
      vek::parseLeadingDouble(line, entry.x);
    } else if (line.find("initial_y") != std::string::npos) {
      vek::parseLeadingDouble(line, entry.y);
    } else {
      const int code = recognizeWord(word);
      if (code >= 0 && entry.codes.size() < kMaxInitialCodes) entry.codes.push_back(code);
    }
  }
}

std::string initialGeneFileText() {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << "/* this is initial gene file */" << vek::kEol;
  out << "original_log" << vek::toCp932(" pathName //とりあえずのログファイル用ディレクトリ") << vek::kEol;
  out << kDefaultInitialEnergy << vek::toCp932(" initialEnergy //最初のシードのエネルギー") << vek::kEol;
  out << 0.0 << vek::toCp932(" initial_x //最初のシードの x 座標") << vek::kEol;
  out << 0.0 << vek::toCp932(" initial_y //最初のシードの y 座標") << vek::kEol;
  out << "/----code---size::" << kDefaultGenomeSize << "----/" << vek::kEol;
  for (int code : kDefaultGenome) out << mnemonicOf(code) << vek::kEol;
  out << vek::kEol;
  return out.str();
}

bool writeInitialGeneFile(const std::string& folder) {
  return vek::writeFileAtomically(folder + "gene.gini", initialGeneFileText());
}
