// The initial gene file, as a new world is made from it: the folder word, then every entry
// populates the world, whose lives file is then written.
#include <cstdint>
#include <sstream>
#include <string>

#include "body/parameters.h"
#include "engine/place.h"
#include "engine/world.h"
#include "records/initial_gene_file.h"
#include "records/lives_file.h"

namespace {
// A small light field keeps every world made for an input cheap.
mWorldSettings smallField() {
  mWorldSettings settings;
  settings.parameters.mField_N = 16;
  settings.parameters.mField_haba = 5.0;
  return settings;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  folderWordOf(nextUsefulLine(in));
  mWorld world(smallField());
  InitialGeneEntry entry;
  for (bool more = true; more;) {
    more = readInitialGeneEntry(in, entry);
    world.place().populateWithEntry(entry);
  }
  vek::placeLivesText(world.place());
  return 0;
}
