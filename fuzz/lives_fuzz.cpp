// The lives files of a save folder, as a load reads them: whatever the bytes, the load either
// succeeds or reports a failure, and a world that loaded writes a file that loads again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "body/parameters.h"
#include "engine/world.h"
#include "records/lives_file.h"
#include "records/world_document.h"

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
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  int phase = 0;
  vek::readWorldLives(bytes, phase);

  const vek::SavedWorldTexts texts{"", "Vind is living in Vek !!\r\n" + std::to_string(size % 6) + "\r\n", bytes};
  vek::FileWriteLock fileLock;
  mWorld world(smallField());
  vek::WorldDocument document(world, fileLock);
  if (!document.loadFromTexts("/fuzz/", texts).ok()) return 0;

  const vek::SavedWorldTexts again{"", vek::worldLivesText(world.phase()), vek::placeLivesText(world.place())};
  mWorld reloaded(smallField());
  vek::WorldDocument second(reloaded, fileLock);
  if (!second.loadFromTexts("/fuzz/", again).ok()) std::abort();
  return 0;
}
