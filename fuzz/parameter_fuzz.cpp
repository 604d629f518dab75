// The parameter file: any bytes apply what they can, and what the program then writes is a
// fixed point: read back into fresh parameters and written again, it comes out byte for byte.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "body/parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Parameters p;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  readParameters(p, in);
  const std::string written = parameterFileText(p);
  Parameters again;
  std::istringstream back(written);
  readParameters(again, back);
  if (parameterFileText(again) != written) std::abort();
  return 0;
}
