#include "sweep/number_text.h"

#include <charconv>
#include <cmath>

namespace vek::sweep {

std::string shortestText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string csvNumber(double value) { return std::isnan(value) ? std::string() : shortestText(value); }

std::optional<double> parseNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace vek::sweep
