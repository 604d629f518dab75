#include "records/exact_state.h"

#include <limits>
#include <sstream>

#include "base/checksum.h"
#include "base/text_io.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "records/lives_file.h"

namespace vek {

namespace {

constexpr const char* kHeader = "Vek exact state 1";
constexpr int kExactDigits = 17;

std::string fingerprint(std::string_view text) {
  return crcText(crc32Of(text)) + " " + std::to_string(text.size());
}

template <class Each>
void forEveryIndividual(const mSeedList& population, Each each) {
  for (const auto* list : {&population.living(), &population.newborn(), &population.reserve()})
    for (const auto& seed : *list) each(*seed);
}

ExactStateRead damaged(const std::string& what) { return {ExactStateRead::kDamaged, what}; }

// The 10-digit text a parameter file holds for a value.
std::string fileText(const ParameterKey& key, double value) {
  return key.isInteger() ? std::to_string(static_cast<int>(value)) : formatG10(value);
}

}  // namespace

std::string exactStateText(const mWorld& world, std::string_view worldLives, std::string_view placeLives) {
  const mPlace& place = world.place();
  const std::string placeText = placeLivesText(place, kExactDigits);
  std::ostringstream out;
  useWorldNumberFormat(out);
  out.precision(kExactDigits);
  const LcgRandom& generator = place.random().generator();
  out << kHeader << kEol << "lives " << fingerprint(worldLives) << ' ' << fingerprint(placeLives) << kEol
      << "phase " << world.phase() << kEol << "random " << generator.state() << ' ' << (generator.seeded() ? 1 : 0)
      << kEol << "lineage " << place.lineage().nextId() << kEol;
  const std::vector<ParameterKey> keys = parameterKeys();
  out << "parameters " << keys.size() << kEol;
  for (const ParameterKey& key : keys) out << key.name << ' ' << key.get(place.parameters()) << kEol;
  out << "place " << placeText.size() << kEol << placeText << "geometry" << kEol;
  forEveryIndividual(place.population(), [&](mSeed& seed) { seed.body().writeGeometry(out); });
  out << "end" << kEol;
  return out.str();
}

ExactStateRead readExactState(std::string_view text, std::string_view worldLives, std::string_view placeLives,
                              mPlace& place, int& phase) {
  SavedText in{std::string(text)};
  useWorldNumberFormat(in);
  std::string line;
  if (!readLine(in, line) || line != kHeader) return damaged("it does not begin with \"" + std::string(kHeader) + "\"");
  std::string word, worldCrc, worldSize, placeCrc, placeSize;
  if (!(in >> word >> worldCrc >> worldSize >> placeCrc >> placeSize) || word != "lives")
    return damaged("its line 2 names no lives files");
  if (worldCrc + " " + worldSize != fingerprint(worldLives) || placeCrc + " " + placeSize != fingerprint(placeLives))
    return {ExactStateRead::kOtherLives, "it was saved with other lives files than those in the folder"};

  int savedPhase = 0;
  unsigned long long state = 0;
  int seeded = 0;
  if (!(in >> word >> savedPhase) || word != "phase" || savedPhase < 0 || savedPhase > 4)
    return damaged("its phase cannot be read");
  if (!(in >> word >> state >> seeded) || word != "random" || state > 0xffffffffull)
    return damaged("the state of its random numbers cannot be read");
  int nextNode = 0;
  if (!(in >> word >> nextNode) || word != "lineage" || nextNode < 0)
    return damaged("the next id of its lineage cannot be read");

  size_t count = 0;
  if (!(in >> word >> count) || word != "parameters") return damaged("its parameters cannot be read");
  Parameters& parameters = place.parameters();
  for (size_t k = 0; k < count; ++k) {
    std::string name;
    double exact = 0;
    if (!(in >> name) || !readDouble(in, exact)) return damaged("its parameter " + std::to_string(k + 1) + " cannot be read");
    const std::optional<ParameterKey> key = findParameterKey(name);
    if (!key) return damaged("it names " + name + ", which is no parameter");
    // The parameter file holds the value rounded; a value that still reads as saved was not
    // edited, and takes back its last digits.
    if (fileText(*key, key->get(parameters)) == fileText(*key, exact)) key->set(parameters, exact);
  }

  size_t bytes = 0;
  if (!(in >> word >> bytes) || word != "place") return damaged("its place cannot be found");
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');  // the rest of the "place" line
  const std::streamoff start = in.tellg();
  if (start < 0 || static_cast<size_t>(start) + bytes > text.size()) return damaged("its place is cut short");
  place.setRestoring(true);
  const LivesReadError placeError = readPlaceLives(place, text.substr(static_cast<size_t>(start), bytes));
  place.setRestoring(false);
  if (placeError.failed()) return damaged("its place cannot be read: " + placeError.what);

  in.seekg(start + static_cast<std::streamoff>(bytes));
  if (!readLine(in, line) || line != "geometry") return damaged("its geometry cannot be found");
  bool geometry = true;
  forEveryIndividual(place.population(), [&](mSeed& seed) {
    if (geometry) geometry = seed.body().readGeometry(in);
  });
  if (!geometry) return damaged("the geometry of its bodies cannot be read" + (in.problem().empty() ? "" : ": " + in.problem()));
  if (!readLine(in, line) || line != "end") return damaged("it does not end with \"end\"");

  if (seeded) place.random().reseed(static_cast<std::uint32_t>(state));
  // The phylogeny, read after this, may have lost its last nodes to pruning: ids go on from here.
  place.lineage().assign({}, nextNode);
  phase = savedPhase;
  return {ExactStateRead::kUsed, {}};
}

}  // namespace vek
