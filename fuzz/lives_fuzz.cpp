// The lives files of a save folder, as a load reads them: whatever the bytes, the load either
// succeeds or reports a failure, and a world that loaded writes a file that loads again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "body/parameters.h"
#include "engine/world.h"
#include "records/lives_file.h"
#include "records/world_document.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A small light field keeps every world made for an input cheap.
  gParam.mField_N = 16;
  gParam.mField_haba = 5.0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  int phase = 0;
  vek::readWorldLives(bytes, phase);

  const vek::SavedWorldTexts texts{"", "Vind is living in Vek !!\r\n" + std::to_string(size % 6) + "\r\n", bytes};
  mWorld world;
  vek::WorldDocument document(world);
  if (!document.loadFromTexts("/fuzz/", texts).ok()) return 0;

  const vek::SavedWorldTexts again{"", vek::worldLivesText(world.phase()), vek::placeLivesText(world.place())};
  mWorld reloaded;
  vek::WorldDocument second(reloaded);
  if (!second.loadFromTexts("/fuzz/", again).ok()) std::abort();
  return 0;
}
