// The snapshot reader of the viewer: any bytes are read to their end without a fault.
#include <cstdint>
#include <sstream>
#include <string>

#include "snapshot/snapshot_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  vek::SnapshotSink ignore;
  vek::readSnapshot(in, ignore);
  return 0;
}
