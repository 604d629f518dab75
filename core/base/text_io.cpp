#include "base/text_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <locale>
#include <sstream>

namespace vek {

bool readLine(std::istream& in, std::string& line) {
  line.clear();
  std::istream::sentry skipWhiteSpace(in);  // skips blanks, CR and LF alike
  if (!skipWhiteSpace) return false;
  std::streambuf* buffer = in.rdbuf();
  for (;;) {
    const int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios_base::eofbit);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return false;
    }
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
}

void skipLine(std::istream& in) {
  std::string ignored;
  readLine(in, ignored);
}

void useWorldNumberFormat(std::ios_base& stream) {
  stream.imbue(std::locale::classic());
  stream.unsetf(std::ios_base::floatfield);
  stream.precision(10);
}

std::string formatG10(double value) {
  // What a stream set up by useWorldNumberFormat writes: printf's "%.10g" in the C locale,
  // which to_chars gives too, without a stream.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 10);
  return std::string(buffer, result.ptr);
}

std::string toCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

namespace {
// sscanf skips leading white space before a number; so do we.
std::string_view afterSpace(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  return text.substr(i);
}
}  // namespace

bool parseLeadingDouble(std::string_view text, double& value) {
  text = afterSpace(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') return false;
  double parsed = 0;
  auto format = std::chars_format::general;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    format = std::chars_format::hex;
  }
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, format);
  if (result.ec == std::errc::invalid_argument) return false;
  if (result.ec == std::errc::result_out_of_range) {
    // as strtod: overflow gives HUGE_VAL, underflow a value near zero
    const std::string copy(text.substr(0, static_cast<size_t>(result.ptr - text.data())));
    parsed = std::strtod(copy.c_str(), nullptr);
  }
  value = negative ? -parsed : parsed;
  return true;
}

bool parseLeadingInt(std::string_view text, int& value) {
  text = afterSpace(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  size_t digits = 0;
  long long parsed = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
    if (parsed <= static_cast<long long>(INT_MAX) + 1) parsed = parsed * 10 + (text[digits] - '0');
    ++digits;
  }
  if (digits == 0) return false;
  if (negative) parsed = -parsed;
  if (parsed > INT_MAX) parsed = INT_MAX;
  if (parsed < INT_MIN) parsed = INT_MIN;
  value = static_cast<int>(parsed);
  return true;
}

namespace {
// One token of at most `limit` characters; longer tokens are no number.
bool readToken(std::istream& in, std::string& token) {
  constexpr size_t kLimit = 64;
  token.clear();
  std::istream::sentry skipWhiteSpace(in);
  if (!skipWhiteSpace) return false;
  std::streambuf* buffer = in.rdbuf();
  for (;;) {
    const int c = buffer->sgetc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios_base::eofbit);
      break;
    }
    if (std::isspace(c)) break;
    if (token.size() == kLimit) {
      in.setstate(std::ios_base::failbit);
      return false;
    }
    token.push_back(static_cast<char>(c));
    buffer->sbumpc();
  }
  return !token.empty();
}
}  // namespace

bool readDouble(std::istream& in, double& value) {
  std::string token;
  double parsed = 0;
  if (!readToken(in, token) || !parseLeadingDouble(token, parsed)) {
    in.setstate(std::ios_base::failbit);
    return false;
  }
  value = parsed;
  return true;
}

bool readInt(std::istream& in, int& value) {
  std::string token;
  int parsed = 0;
  if (!readToken(in, token) || !parseLeadingInt(token, parsed)) {
    in.setstate(std::ios_base::failbit);
    return false;
  }
  // parseLeadingInt clamps, as a parameter file wants; a saved counter past the range was
  // never written by the program.
  if (parsed == INT_MAX || parsed == INT_MIN) {
    long long exact = 0;
    const std::string_view digits = afterSpace(token);
    const char* first = digits.data() + (!digits.empty() && digits[0] == '+');
    const auto [end, error] = std::from_chars(first, digits.data() + digits.size(), exact);
    if (error != std::errc() || exact != parsed) {
      rejectValue(in, "the number " + token + " lies beyond the 32-bit range");
      return false;
    }
  }
  value = parsed;
  return true;
}

void rejectValue(std::istream& in, const std::string& what) {
  if (auto* saved = dynamic_cast<SavedText*>(&in)) saved->note(what, saved->rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in));
  in.setstate(std::ios_base::failbit);
}

int lineOfOffset(std::string_view text, std::streamoff offset) {
  if (offset < 0) return 0;
  const size_t end = std::min(text.size(), static_cast<size_t>(offset));
  int line = 1;
  for (size_t k = 0; k < end; ++k) line += text[k] == '\n';
  return line;
}

namespace {
// Writes all of `bytes` to `fd` and forces them to the disk.
bool writeAndSync(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return ::fsync(fd) == 0;
}
}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary = path + ".tmpXXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = writeAndSync(fd, bytes);
  if (::fchmod(fd, 0644) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

bool writeFileDurably(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = writeAndSync(fd, bytes);
  if (::close(fd) != 0) ok = false;
  return ok;
}

bool syncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool syncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool appendToFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace vek
