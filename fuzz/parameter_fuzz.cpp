// The parameter file: any bytes apply what they can, and the file written afterwards reads back.
#include <cstdint>
#include <sstream>
#include <string>

#include "body/parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gParam = Parameters();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  readParameters(in);
  std::istringstream written(parameterFileText());
  readParameters(written);
  return 0;
}
