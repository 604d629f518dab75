// vek-export: a snapshot of the simulator as a glTF 2.0 scene.
#include <tiny_gltf.h>

#include <filesystem>
#include <iostream>

#include "export/export_options.h"
#include "export/gltf_file.h"
#include "export/world_model.h"
#include "viewer/snapshot_file.h"

int main(int argc, char** argv) {
  using namespace vek::exporter;
  const ParsedExportCommand parsed = parseExportCommand(argc, argv);
  if (!parsed.options) return parsed.exitCode;
  const ExportOptions& options = *parsed.options;

  WorldModel world(options.edgeRadius);
  if (const auto problem = viewer::readSnapshotOrSay(options.snapshot, world)) {
    std::cerr << "vek-export: " << *problem << std::endl;
    return 1;
  }
  tinygltf::Model model;
  buildGltf(world, std::filesystem::path(options.snapshot).filename().string(), model);
  if (const auto problem = writeGltf(model, options.out)) {
    std::cerr << "vek-export: cannot write the model '" << options.out << "': " << *problem << std::endl;
    return 1;
  }
  if (!options.quiet) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(options.out, error);
    std::cout << "vek-export: " << options.out << ": " << world.plants().size() << " plants, "
              << (error ? 0 : bytes) << " bytes" << std::endl;
  }
  return 0;
}
