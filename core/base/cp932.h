// Code page 932 (Shift-JIS) bytes for the Japanese texts that the system writes into files
// (parameter comments, log descriptions, the body parser's error text). The texts live in the
// source as UTF-8 literals; files receive their CP932 bytes.
#pragma once

#include <string>
#include <string_view>

namespace vek {

// The CP932 bytes of UTF-8 `text`. ASCII passes through unchanged. A character that CP932
// cannot hold becomes "?" (never happens for the system's own texts).
std::string toCp932(std::string_view utf8);

// The reverse, for showing CP932 bytes read from a file; undecodable bytes become U+FFFD.
std::string fromCp932(std::string_view cp932);

}  // namespace vek
