#include "records/lineage_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <map>

#include "base/text_io.h"
#include "engine/place.h"
#include "genome/gene.h"
#include "genome/gene_list.h"
#include "genome/gene_vector.h"

namespace vek {

namespace {

std::string ancestorList(const mLineageNode& node) {
  if (node.mother < 0) return "[none]";
  if (node.father < 0) return "[" + std::to_string(node.mother) + "]";
  return "\"[" + std::to_string(node.mother) + ", " + std::to_string(node.father) + "]\"";
}

// The fields of one CSV row; a quoted field may hold commas.
bool splitRow(std::string_view row, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  bool quoted = false;
  for (size_t k = 0; k < row.size(); ++k) {
    const char c = row[k];
    if (quoted) {
      if (c == '"' && k + 1 < row.size() && row[k + 1] == '"') {
        field += '"';
        ++k;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.push_back(std::move(field));
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(std::move(field));
  return !quoted;
}

template <class Number>
bool number(const std::string& text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool parseAncestors(std::string text, int& mother, int& father) {
  mother = father = -1;
  if (text == "[none]") return true;
  if (text.size() < 3 || text.front() != '[' || text.back() != ']') return false;
  text = text.substr(1, text.size() - 2);
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return number(text, mother) && mother >= 0;
  std::string second = text.substr(comma + 1);
  if (!second.empty() && second[0] == ' ') second.erase(0, 1);
  return number(text.substr(0, comma), mother) && number(second, father) && mother >= 0 && father >= 0;
}

FileOutcome rowError(size_t line, const std::string& what) {
  return {std::string(kPhylogenyName) + " line " + std::to_string(line) + ": " + what};
}

bool appendAll(const std::string& path, const std::string& text) {
  if (text.empty()) return true;
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) return false;
  std::fseek(file, 0, SEEK_END);
  const long before = std::ftell(file);
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
  const int error = errno;
  if (!ok && before >= 0 && ::ftruncate(fileno(file), before) != 0) ok = false;
  std::fclose(file);
  errno = error;
  return ok;
}

}  // namespace

std::string phylogenyLine(const mLineageNode& node) {
  return std::to_string(node.id) + "," + ancestorList(node) + "," + std::to_string(node.origin) + "," +
         (node.alive() ? std::string() : std::to_string(node.destruction)) + "," + node.gene + "," +
         std::to_string(node.length) + "," + std::to_string(node.peak) + "," + std::to_string(node.total) + kEol;
}

std::string phylogenyText(const mLineage& lineage) {
  std::string text = std::string(kPhylogenyHeader) + kEol;
  for (const mLineageNode& node : lineage.nodes()) text += phylogenyLine(node);
  return text;
}

std::string parsePhylogenyRow(std::string_view row, mLineageNode& node) {
  std::vector<std::string> fields;
  if (!splitRow(row, fields) || fields.size() != 8) return "a row holds 8 fields";
  node = mLineageNode();
  if (!number(fields[0], node.id) || node.id < 0) return "the id \"" + fields[0] + "\" is no number";
  if (!parseAncestors(fields[1], node.mother, node.father))
    return "the ancestor list \"" + fields[1] + "\" is not [none], [a] or [a, b]";
  if (!number(fields[2], node.origin) || node.origin < 0) return "the origin time \"" + fields[2] + "\" is no turn";
  if (!fields[3].empty() && (!number(fields[3], node.destruction) || node.destruction < node.origin))
    return "the destruction time \"" + fields[3] + "\" is no turn after the origin";
  node.gene = fields[4];
  if (!number(fields[5], node.length) || node.length < 0 || !number(fields[6], node.peak) || node.peak < 0 ||
      !number(fields[7], node.total) || node.total < 0)
    return "the length and the carrier counts are whole numbers";
  return {};
}

FileOutcome parsePhylogeny(std::string_view text, std::vector<mLineageNode>& nodes) {
  nodes.clear();
  size_t line = 0;
  size_t at = 0;
  std::map<int, bool> known;
  bool header = true;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return rowError(line + 1, "the last row has no line end (the file was cut)");
    std::string_view row = text.substr(at, end - at);
    at = end + 1;
    ++line;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (header) {
      if (row != kPhylogenyHeader) return rowError(line, "the header row is not \"" + std::string(kPhylogenyHeader) + "\"");
      header = false;
      continue;
    }
    mLineageNode node;
    if (std::string problem = parsePhylogenyRow(row, node); !problem.empty()) return rowError(line, problem);
    if (!nodes.empty() && node.id <= nodes.back().id)
      return rowError(line, "the id " + std::to_string(node.id) + " does not follow " + std::to_string(nodes.back().id));
    for (int parent : {node.mother, node.father}) {
      if (parent >= 0 && !known.count(parent))
        return rowError(line, "the ancestor " + std::to_string(parent) + " of node " + std::to_string(node.id) +
                                  " is no earlier node");
    }
    known[node.id] = true;
    nodes.push_back(std::move(node));
  }
  if (header) return rowError(1, "the file is empty");
  return {};
}

FileOutcome applyPhylogeny(mPlace& place, std::vector<mLineageNode> nodes) {
  std::map<std::string, const mLineageNode*> living;
  for (const mLineageNode& node : nodes)
    if (node.alive()) living[node.gene] = &node;
  std::vector<std::pair<mGene*, const mLineageNode*>> ties;
  for (const auto& vector : place.genePool().vectors()) {
    for (const auto& gene : vector->genes()) {
      const auto it = living.find(gene->identifier().text());
      if (it == living.end())
        return {std::string(kPhylogenyName) + ": the gene " + gene->identifier().text() +
                " of the gene pool has no living node"};
      ties.emplace_back(gene.get(), it->second);
      living.erase(it);
    }
  }
  if (!living.empty())
    return {std::string(kPhylogenyName) + ": node " + std::to_string(living.begin()->second->id) + " (" +
            living.begin()->first + ") is alive, but the gene pool holds no such gene"};
  for (const auto& [gene, node] : ties) {
    gene->setLineageId(node->id);
    gene->setCarrierHistory(std::max(node->peak, gene->carrierCount()), node->total);
  }
  const int next = std::max(place.lineage().nextId(), nodes.empty() ? 0 : nodes.back().id + 1);
  place.lineage().assign(std::move(nodes), next);
  return {};
}

void startLineageFromLiving(mPlace& place) {
  place.lineage().assign({}, 0);
  for (const auto& vector : place.genePool().vectors())
    for (const auto& gene : vector->genes()) place.lineage().addRoot(*gene, place.turn());
  place.lineage().refreshCounts(place.genePool());
}

FileOutcome startLineageFiles(const std::string& folder) {
  for (const auto& [name, header] : {std::pair{kPhylogenyName, kPhylogenyHeader},
                                     std::pair{kLineageCountsName, kLineageCountsHeader}}) {
    errno = 0;
    if (!writeFileAtomically(folder + name, std::string(header) + kEol))
      return {describeFileError("cannot start", folder + name)};
  }
  return {};
}

LineageLog::~LineageLog() { writeHeld(); }

void LineageLog::afterTurn(mWorld& world) {
  mPlace& place = world.place();
  mLineage& lineage = place.lineage();
  if (!lineage.enabled()) return;
  const std::vector<int> made = lineage.takeNew();
  if (!made.empty()) {
    lineage.refreshCounts(place.genePool());
    for (int id : made)
      if (const mLineageNode* node = lineage.find(id)) mHeldRows += phylogenyLine(*node);
  }
  if (mEvery > 0 && place.turn() % mEvery == 0) {
    const std::string turn = std::to_string(place.turn());
    for (const auto& vector : place.genePool().vectors())
      for (const auto& gene : vector->genes())
        mHeldCounts += turn + "," + std::to_string(gene->lineageId()) + "," + std::to_string(gene->carrierCount()) + kEol;
  }
  if (mHeldRows.size() + mHeldCounts.size() >= kHeldBytes || std::chrono::steady_clock::now() - mLastWrite >= kHeldTime) {
    if (!writeHeld()) world.requestPause();
  }
}

void LineageLog::flush(mWorld& world) {
  if (!writeHeld()) world.requestPause();
}

bool LineageLog::writeHeld() {
  if (mHeldRows.empty() && mHeldCounts.empty()) return true;
  std::string failure;
  {
    FileWriteGuard lock(mFileLock);
    errno = 0;
    if (!appendAll(mFolder + kPhylogenyName, mHeldRows))
      failure = describeFileError("cannot append to", mFolder + kPhylogenyName);
    else if (!appendAll(mFolder + kLineageCountsName, mHeldCounts))
      failure = describeFileError("cannot append to", mFolder + kLineageCountsName);
  }
  mHeldRows.clear();
  mHeldCounts.clear();
  mLastWrite = std::chrono::steady_clock::now();
  if (failure.empty()) return true;
  if (mFailures++ == 0) mFirstFailure = failure;
  return false;
}

}  // namespace vek
