// The exported model as a glTF 2.0 file: one node named "ground" for the field, then one node
// per plant named by its identifier, whose mesh holds one primitive per kind of part (edges,
// leaves, flower centres, petals), each kind of all the plant's parts merged into one. Scene
// units are metres; glTF's y is up (the snapshot's height), its x the snapshot's x and its -z
// the snapshot's y. The asset's extras carry the field (its bounds, centre and cell width as
// in the snapshot) and the field scale: the viewer's unit, a fifth of the field's larger side.
//
// Materials carry the viewer's colours, turned into glTF's linear colour space: the ground,
// one yellow for flowers and one red for petals shared by all, and each plant its own edge and
// leaf colour. Discs and tubes (open at their ends) are drawn from both sides.
#pragma once

#include <optional>
#include <string>

#include "export/world_model.h"

namespace tinygltf {
class Model;
}

namespace vek::exporter {

// Builds the glTF scene of `world`; `source` (the snapshot's file name) is noted in the extras.
void buildGltf(const WorldModel& world, const std::string& source, tinygltf::Model& model);

// Writes `model` to `path`: binary glTF for a name ending in .glb, JSON with the buffer
// embedded for .gltf. The file appears whole or not at all (written beside it first, then
// renamed). Returns what went wrong, if anything.
std::optional<std::string> writeGltf(const tinygltf::Model& model, const std::string& path);

// A colour component as the screen shows it, in glTF's linear space (the sRGB curve undone).
double linearFromScreen(double component);

}  // namespace vek::exporter
