#include "viewer/data_values.h"

#include <charconv>
#include <cmath>

#include "viewer/texts.h"

namespace viewer {

namespace {

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool parseBoxNumber(std::string_view text, double& value) {
  text = trimmed(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') return false;
  double parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(parsed)) return false;
  value = negative ? -parsed : parsed;
  return true;
}

std::string rangeMessage(const char* pattern, const std::string& low, const std::string& high) {
  std::string message = pattern;
  message.replace(message.find("%1"), 2, low);
  message.replace(message.find("%2"), 2, high);
  return message;
}

}  // namespace

DataDialogValues dataDialogValues(const Camera& camera, const Scene& scene, int width, int height) {
  const vek::SnapshotField& f = scene.fieldValues();
  DataDialogValues v;
  v.min_x = f.min_x;
  v.min_y = f.min_y;
  v.max_x = f.max_x;
  v.max_y = f.max_y;
  v.center_x = f.center_x;
  v.center_y = f.center_y;
  v.haba = f.haba;
  v.width = width;
  v.height = height;
  v.radius = camera.radius;
  v.theta = camera.theta;
  v.phi = camera.phi;
  v.origin_x = camera.target_x * scene.scale() + f.center_x;
  v.origin_y = camera.target_y * scene.scale() + f.center_y;
  v.origin_z = camera.target_z * scene.scale();
  return v;
}

void applyDataDialogValues(const DataDialogValues& v, const Scene& scene, Camera& camera) {
  const vek::SnapshotField& f = scene.fieldValues();
  camera.radius = v.radius;
  camera.theta = v.theta;
  camera.phi = v.phi;
  camera.target_x = static_cast<float>((v.origin_x - f.center_x) / scene.scale());
  camera.target_y = static_cast<float>((v.origin_y - f.center_y) / scene.scale());
  camera.target_z = static_cast<float>(v.origin_z / scene.scale());
}

std::string boxText(double value) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string boxText(float value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string boxText(int value) { return std::to_string(value); }

std::optional<std::string> readNumberBox(std::string_view text, double low, double high, double& value) {
  double parsed = 0;
  if (!parseBoxNumber(text, parsed)) return text::kEnterNumber;
  if (parsed < low || parsed > high) return rangeMessage(text::kNumberRange, boxText(low), boxText(high));
  value = parsed;
  return std::nullopt;
}

std::optional<std::string> readFloatBox(std::string_view text, double low, double high, float& value) {
  double parsed = 0;
  if (auto message = readNumberBox(text, low, high, parsed)) return message;
  value = static_cast<float>(parsed);
  return std::nullopt;
}

std::optional<std::string> readWholeBox(std::string_view text, int low, int high, int& value) {
  std::string_view digits = trimmed(text);
  if (!digits.empty() && digits[0] == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) return text::kEnterWhole;
  }
  long long parsed = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (digits.empty() || result.ptr != digits.data() + digits.size()) return text::kEnterWhole;
  if (result.ec != std::errc() || parsed < low || parsed > high)
    return rangeMessage(text::kWholeRange, boxText(low), boxText(high));
  value = static_cast<int>(parsed);
  return std::nullopt;
}

}  // namespace viewer
