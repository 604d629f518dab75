#include "base/checksum.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace vek {

std::uint32_t crc32Of(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes lengths as uInt: feed large texts in pieces.
  while (!bytes.empty()) {
    const size_t piece = std::min<size_t>(bytes.size(), 1u << 30);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
    bytes.remove_prefix(piece);
  }
  return static_cast<std::uint32_t>(crc);
}

bool crc32OfFile(const std::string& path, std::uint32_t& crc, std::uint64_t& size, std::uint64_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  uLong sum = crc32(0L, Z_NULL, 0);
  std::uint64_t total = 0;
  std::vector<char> buffer(1 << 16);
  while (in && total < limit) {
    in.read(buffer.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(buffer.size(), limit - total)));
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    sum = crc32(sum, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(got));
    total += static_cast<std::uint64_t>(got);
  }
  if (in.bad()) return false;
  crc = static_cast<std::uint32_t>(sum);
  size = total;
  return true;
}

std::string crcText(std::uint32_t crc) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", crc);
  return text;
}

}  // namespace vek
