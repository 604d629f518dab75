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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gParam.mField_N = 16;
  gParam.mField_haba = 5.0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  folderWordOf(nextUsefulLine(in));
  mWorld world;
  InitialGeneEntry entry;
  for (bool more = true; more;) {
    more = readInitialGeneEntry(in, entry);
    world.place().populateWithEntry(entry);
  }
  vek::placeLivesText(world.place());
  return 0;
}
