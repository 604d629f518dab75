#include "records/lives_file.h"

#include <algorithm>
#include <sstream>

#include "body/field.h"
#include "engine/place.h"
#include "engine/seed_list.h"
#include "genome/gene_list.h"
#include "base/text_io.h"

namespace vek {

namespace {

// Where the next block starts: the first non-blank byte at or after `offset`, so that the
// line named is the block's start line rather than the end of the line before it.
int blockLineAt(std::string_view text, std::streamoff offset) {
  if (offset < 0) return 0;
  size_t at = static_cast<size_t>(offset);
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
  return lineOfOffset(text, static_cast<std::streamoff>(at));
}

LivesReadError blockError(const char* block, std::string_view text, std::streamoff start, const SavedText& in) {
  std::string what = std::string("the ") + block + " block";
  const int line = blockLineAt(text, start);
  if (line > 0) what += " starting at line " + std::to_string(line);
  if (!in.problem().empty()) {
    what += ": " + in.problem();
    if (const int at = lineOfOffset(text, in.problemAt()); at > 0) what += " (line " + std::to_string(at) + ")";
    return {what};
  }
  return {what + " is truncated or malformed"};
}

}  // namespace

std::string worldLivesText(int phase) {
  std::ostringstream out;
  useWorldNumberFormat(out);
  out << "Vind" << " is living in " << "Vek" << " !!" << kEol;
  out << phase << kEol;
  return out.str();
}

LivesReadError readWorldLives(std::string_view text, int& phase) {
  std::istringstream in{std::string(text)};
  std::string header;
  readLine(in, header);
  if (in.fail()) return {"the file is empty"};
  int value = 0;
  if (!readInt(in, value)) return {"no phase follows the header line"};
  if (value < 0 || value > 4) return {"the phase " + std::to_string(value) + " is not one of 0 to 4"};
  phase = value;
  return {};
}

void writePlaceLives(const mPlace& place, std::ostream& out, int digits) {
  useWorldNumberFormat(out);
  out.precision(digits);
  out << place.name() << " is living in " << "Vek" << "!!" << kEol;
  out << place.time() << " " << place.turn() << kEol;
  place.genePool().write(out);
  place.population().write(out);
  place.field().write(out);
}

std::string placeLivesText(const mPlace& place, int digits) {
  std::ostringstream out;
  writePlaceLives(place, out, digits);
  return out.str();
}

LivesReadError readPlaceLives(mPlace& place, std::string_view text) {
  SavedText in{std::string(text)};
  useWorldNumberFormat(in);
  std::string header;
  readLine(in, header);
  if (in.fail()) return {"the file is empty"};
  int time = 0;
  int turn = 0;
  if (!readInt(in, time) || !readInt(in, turn)) return {"line 2 does not hold the time and the turn"};
  if (time < 0 || turn < 0)
    return {"line 2: the time " + std::to_string(time) + " and the turn " + std::to_string(turn) +
            " cannot be negative"};
  place.setCounters(time, turn);

  std::streamoff start = in.tellg();
  if (!place.genePool().read(in)) return blockError("gene pool (mGeneList)", text, start, in);
  start = in.tellg();
  if (!place.population().read(in)) return blockError("population (mSeedList)", text, start, in);
  start = in.tellg();
  place.field().read(in);
  if (in.fail()) return blockError("field (mField)", text, start, in);
  return {};
}

}  // namespace vek
