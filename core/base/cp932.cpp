#include "base/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace vek {
namespace {

std::string convert(std::string_view in, const char* to, const char* from,
                    std::string_view replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  char buffer[256];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An invalid or incomplete sequence: mark it and go on with the next byte.
      out.append(replacement);
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string toCp932(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8", "?"); }

std::string fromCp932(std::string_view cp932) {
  return convert(cp932, "UTF-8", "CP932", "\xEF\xBF\xBD");
}

}  // namespace vek
