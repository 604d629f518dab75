#include "export/export_options.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cmath>
#include <cstdio>

namespace vek::exporter {

namespace {

std::string checkModelName(const std::string& name) {
  const size_t dot = name.rfind('.');
  std::string suffix = dot == std::string::npos ? "" : name.substr(dot);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (suffix != ".glb" && suffix != ".gltf") return "the model's name must end in .glb (binary) or .gltf (JSON)";
  return "";
}

}  // namespace

ParsedExportCommand parseExportCommand(int argc, const char* const* argv) {
  ExportOptions o;
  CLI::App app{
      "Writes the plants of a Vek snapshot as a glTF 2.0 scene for Blender, three.js and other 3D tools:\n"
      "one node per plant named by its identifier, edges as tubes, leaves as discs, flowers with\n"
      "petals, on the field's ground, in metres, in the colours of tovra's pictures.",
      "vek-export"};
  app.add_option("FILE.view", o.snapshot, "The snapshot to export")->required();
  app.add_option("--out", o.out, "The model to write: .glb (binary) or .gltf (JSON, the buffer embedded)")
      ->type_name("FILE.glb|FILE.gltf")
      ->required()
      ->check(CLI::Validator(checkModelName, ""));
  app.add_option("--edge-radius", o.edgeRadius,
                 "Radius of the edges in metres; the snapshot does not record it, so give the world's\n"
                 "mEdge_radius when it is not the default")
      ->type_name("R")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  app.add_flag("--quiet", o.quiet, "No summary line");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return {std::nullopt, app.exit(help)};
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "vek-export: %s\nRun vek-export --help for the options.\n", error.what());
    return {std::nullopt, 2};
  }
  if (!std::isfinite(o.edgeRadius)) {
    std::fprintf(stderr, "vek-export: --edge-radius must be a finite number of metres\n");
    return {std::nullopt, 2};
  }
  return {o, 0};
}

}  // namespace vek::exporter
