// CRC-32 (zlib's, the checksum of gzip and PNG) of bytes or of a whole file: how a save
// recognises its own files. A guard against torn and mixed files, not against tampering.
//
// Plain functions; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vek {

std::uint32_t crc32Of(std::string_view bytes);

// The CRC-32 and size of the file at `path`, or of its first `limit` bytes; false when it
// cannot be read.
bool crc32OfFile(const std::string& path, std::uint32_t& crc, std::uint64_t& size,
                 std::uint64_t limit = UINT64_MAX);

// Eight lower-case hexadecimal digits.
std::string crcText(std::uint32_t crc);

}  // namespace vek
