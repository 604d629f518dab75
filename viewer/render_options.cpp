#include "viewer/render_options.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace viewer {

namespace {

// Numbers separated by `separator`, each finite and written whole (no blanks, no units).
std::optional<std::vector<double>> numbers(const std::string& text, char separator) {
  std::vector<double> values;
  size_t start = 0;
  while (true) {
    const size_t end = std::min(text.find(separator, start), text.size());
    double value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    if (first != last && *first == '+') ++first;
    const auto parsed = std::from_chars(first, last, value);
    if (first == last || parsed.ec != std::errc() || parsed.ptr != last || !std::isfinite(value)) return std::nullopt;
    values.push_back(value);
    if (end == text.size()) return values;
    start = end + 1;
  }
}

std::string checkSize(const std::string& text) {
  const auto sides = numbers(text, 'x');
  if (!sides || sides->size() != 2) return "must be WIDTHxHEIGHT in pixels, such as 800x600";
  for (const double side : *sides)
    if (side != std::floor(side) || side < 1 || side > kLargestPictureSide)
      return "each side must be a whole number from 1 to " + std::to_string(kLargestPictureSide);
  return "";
}

std::string checkPictureName(const std::string& name) {
  const size_t dot = name.rfind('.');
  std::string suffix = dot == std::string::npos ? "" : name.substr(dot);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (suffix != ".png") return "the picture is written as PNG: its name must end in .png";
  return "";
}

CLI::Validator listOf(int count, const char* form) {
  return CLI::Validator(
      [count, form](std::string& text) -> std::string {
        const auto values = numbers(text, ',');
        if (!values || static_cast<int>(values->size()) != count) return std::string("must be ") + form;
        return "";
      },
      "");
}

}  // namespace

bool isRenderCommand(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--render") == 0 || std::strncmp(argv[i], "--render=", 9) == 0) return true;
  return false;
}

ParsedRenderCommand parseRenderCommand(int argc, const char* const* argv) {
  RenderOptions o;
  std::string size = "800x600";
  std::string camera;
  std::string target;
  bool noAxes = false;
  CLI::App app{
      "Draws the plants of a snapshot as the Tovra window shows them, into a PNG picture, without any\n"
      "window or display server (Mesa's software renderer through EGL). Every plant takes its colours\n"
      "from its identifier, so it looks the same in every picture and every snapshot.",
      "tovra --render"};
  app.add_option("--render", o.picture, "The picture to write (PNG)")
      ->type_name("OUT.png")
      ->required()
      ->check(CLI::Validator(checkPictureName, ""));
  app.add_option("FILE.view", o.snapshot, "The snapshot to draw")->required();
  app.add_option("--size", size, "Width and height of the picture in pixels")
      ->type_name("WxH")
      ->check(CLI::Validator(checkSize, ""))
      ->capture_default_str();
  app.add_option("--camera", camera,
                 "The eye's distance from the point looked at (the window's units: a fifth of the field's\n"
                 "larger side), its azimuth PHI and its angle THETA from the vertical, in degrees\n"
                 "(default 10,70,60, as the window starts)")
      ->type_name("DISTANCE,PHI,THETA")
      ->check(listOf(3, "DISTANCE,PHI,THETA"));
  app.add_option("--target", target,
                 "The point looked at, in metres as in the snapshot (default: the field's centre at height 0)")
      ->type_name("X,Y,Z")
      ->check(listOf(3, "X,Y,Z"));
  app.add_flag("--no-axes", noAxes, "Leave out the red, green and blue axes");

  // --help wins wherever it stands, even right after --render, whose value it would become.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(app.help().c_str(), stdout);
      return {std::nullopt, 0};
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "tovra: %s\nRun tovra --render --help for the options.\n", error.what());
    return {std::nullopt, 2};
  }
  const auto sides = numbers(size, 'x');
  o.width = static_cast<int>((*sides)[0]);
  o.height = static_cast<int>((*sides)[1]);
  if (!camera.empty()) {
    const auto values = *numbers(camera, ',');
    o.distance = values[0];
    o.phi = values[1];
    o.theta = values[2];
  }
  if (!target.empty()) {
    const auto values = *numbers(target, ',');
    o.target_x = values[0];
    o.target_y = values[1];
    o.target_z = values[2];
  }
  o.axes = !noAxes;
  return {o, 0};
}

}  // namespace viewer
