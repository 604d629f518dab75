// vek-export as a researcher runs it: the built program on the fixtures and on a world grown by
// the built vek-batch; its files read back with tinygltf and checked by the Khronos validator.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "export/gltf_file.h"
#include "viewer/colour_rule.h"
#include "viewer/test_programs.h"

namespace {

namespace fs = std::filesystem;

std::string dataPath(const std::string& name) { return std::string(VEK_TEST_DATA_DIR) + "/" + name; }

using viewer::test::Outcome;
using viewer::test::readAll;

class Export : public ::testing::Test {
 protected:
  void SetUp() override { folder = viewer::test::freshTestFolder("Export"); }

  Outcome run(const std::string& command) { return viewer::test::runIn(folder, command); }

  Outcome exportTo(const std::string& arguments) { return run("'" VEK_EXPORT_PROGRAM "' " + arguments); }

  // The Khronos validator's verdict on the files (a line per file, then its errors and warnings).
  Outcome validate(const std::string& files) {
    return run("'" NODE_PROGRAM "' '" GLTF_VALIDATE_SCRIPT "' " + files);
  }

  tinygltf::Model load(const std::string& name) {
    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    const std::string path = (folder / name).string();
    const bool binary = name.size() > 4 && name.substr(name.size() - 4) == ".glb";
    const bool loaded = binary ? loader.LoadBinaryFromFile(&model, &error, &warning, path)
                               : loader.LoadASCIIFromFile(&model, &error, &warning, path);
    EXPECT_TRUE(loaded) << error;
    return model;
  }

  fs::path folder;
};

// Every position of every mesh, as min and max per glTF axis, from the accessors' bounds.
struct Bounds {
  double min[3] = {1e300, 1e300, 1e300};
  double max[3] = {-1e300, -1e300, -1e300};
};

Bounds boundsOf(const tinygltf::Model& model, int mesh) {
  Bounds bounds;
  for (const auto& primitive : model.meshes[mesh].primitives) {
    const tinygltf::Accessor& positions = model.accessors[primitive.attributes.at("POSITION")];
    for (int axis = 0; axis < 3; ++axis) {
      bounds.min[axis] = std::min(bounds.min[axis], positions.minValues[axis]);
      bounds.max[axis] = std::max(bounds.max[axis], positions.maxValues[axis]);
    }
  }
  return bounds;
}

TEST_F(Export, TheFixtureBecomesAGroundAndOneNodePerPlantInsideTheField) {
  const Outcome made = exportTo("'" + dataPath("snapshot_plant.view") + "' --out plant.glb");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(made.out.rfind("vek-export: plant.glb: 3 plants, ", 0), 0u) << made.out;
  ASSERT_EQ(exportTo("'" + dataPath("snapshot_plant.view") + "' --out plant.gltf --quiet").exitCode, 0);

  for (const std::string name : {"plant.glb", "plant.gltf"}) {
    const tinygltf::Model model = load(name);
    ASSERT_EQ(model.scenes.size(), 1u);
    ASSERT_EQ(model.nodes.size(), 4u) << name;
    EXPECT_EQ(model.scenes[0].nodes, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(model.nodes[0].name, "ground");
    EXPECT_EQ(model.nodes[1].name, "3-12-7");
    EXPECT_EQ(model.nodes[2].name, "5-20-7");
    EXPECT_EQ(model.nodes[3].name, "2-30-7");
    EXPECT_EQ(model.nodes[3].mesh, -1);  // a seed without parts
    // 3-12-7: edges, a leaf, a flower and its petals; 5-20-7: an edge and a leaf
    ASSERT_GE(model.nodes[1].mesh, 0);
    EXPECT_EQ(model.meshes[model.nodes[1].mesh].primitives.size(), 4u);
    EXPECT_EQ(model.meshes[model.nodes[2].mesh].primitives.size(), 2u);

    // the ground is the field (-40..40 both ways, at height 0); every plant stands on it,
    // reaching at most an edge radius (0.5) beyond its parts
    const Bounds ground = boundsOf(model, model.nodes[0].mesh);
    EXPECT_EQ(ground.min[0], -40);
    EXPECT_EQ(ground.max[0], 40);
    EXPECT_EQ(ground.min[1], 0);
    EXPECT_EQ(ground.max[1], 0);
    EXPECT_EQ(ground.min[2], -40);
    EXPECT_EQ(ground.max[2], 40);
    for (int node : {1, 2}) {
      const Bounds plant = boundsOf(model, model.nodes[node].mesh);
      for (int axis : {0, 2}) {
        EXPECT_GE(plant.min[axis], -40);
        EXPECT_LE(plant.max[axis], 40);
      }
      EXPECT_GE(plant.min[1], -0.5);
      EXPECT_LE(plant.max[1], 1.4);
    }
    // 3-12-7's parts lie at x 1.2..1.8 and y -3.4..-3.0 (glTF's z 3.0..3.4)
    const Bounds first = boundsOf(model, model.nodes[1].mesh);
    EXPECT_LT(first.min[0], 1.2);
    EXPECT_GE(first.min[0], 1.2 - 0.5);
    EXPECT_GT(first.max[0], 1.8);
    EXPECT_LE(first.max[0], 1.8 + 0.5);
    EXPECT_GT(first.max[2], 3.4);
    EXPECT_LE(first.max[2], 3.4 + 0.5);

    // the viewer's colours, in glTF's linear space, and the field in the extras
    const auto& groundMaterial = model.materials[model.meshes[model.nodes[0].mesh].primitives[0].material];
    EXPECT_NEAR(groundMaterial.pbrMetallicRoughness.baseColorFactor[0], vek::exporter::linearFromScreen(0.7), 1e-9);
    const auto& edges = model.materials[model.meshes[model.nodes[1].mesh].primitives[0].material];
    EXPECT_NEAR(edges.pbrMetallicRoughness.baseColorFactor[1],
                vek::exporter::linearFromScreen(viewer::PlantColours().edge("3-12-7").g), 1e-9);
    EXPECT_EQ(model.asset.extras.Get("units").Get<std::string>(), "metre");
    EXPECT_EQ(model.asset.extras.Get("fieldScale").GetNumberAsDouble(), 16);
    EXPECT_EQ(model.asset.extras.Get("field").Get("haba").GetNumberAsDouble(), 0.08);
  }

  const Outcome verdict = validate("plant.glb plant.gltf");
  EXPECT_EQ(verdict.exitCode, 0) << verdict.out << verdict.err;
  EXPECT_NE(verdict.out.find("plant.glb: 0 errors, 0 warnings"), std::string::npos) << verdict.out;
  EXPECT_NE(verdict.out.find("plant.gltf: 0 errors, 0 warnings"), std::string::npos) << verdict.out;
}

TEST_F(Export, AGroundAloneAndAnEmptyWorldAreValidModels) {
  ASSERT_EQ(exportTo("'" + dataPath("snapshot_ground.view") + "' --out ground.glb").exitCode, 0);
  std::ofstream(folder / "empty.view") << "/*-----Tovra View-------*/\r\n/ turn = 0\r\n/ time = 0\r\n-40 -40 40 40 0 0 0.08\r\n";
  ASSERT_EQ(exportTo("empty.view --out empty.glb").exitCode, 0);
  EXPECT_EQ(load("ground.glb").nodes.size(), 1u);
  const Outcome verdict = validate("ground.glb empty.glb");
  EXPECT_EQ(verdict.exitCode, 0) << verdict.out;
  EXPECT_NE(verdict.out.find("ground.glb: 0 errors, 0 warnings"), std::string::npos) << verdict.out;
}

TEST_F(Export, ProblemsAreNamedWithTheirExitCodes) {
  const Outcome missing = exportTo("'no such.view' --out x.glb");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "vek-export: cannot open the snapshot 'no such.view': No such file or directory\n");
  const Outcome notOne = exportTo("'" + dataPath("gene.gini") + "' --out x.glb");
  EXPECT_EQ(notOne.exitCode, 1);
  EXPECT_NE(notOne.err.find("holds no snapshot"), std::string::npos) << notOne.err;
  const Outcome unwritable = exportTo("'" + dataPath("snapshot_plant.view") + "' --out 'no folder/x.glb'");
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_EQ(unwritable.err, "vek-export: cannot write the model 'no folder/x.glb': No such file or directory\n");
  EXPECT_FALSE(fs::exists(folder / "x.glb"));
  for (const char* usage : {"--out x.obj", "", "--out x.glb --edge-radius -1", "--out x.glb --edge-radius 0"}) {
    EXPECT_EQ(exportTo("'" + dataPath("snapshot_plant.view") + "' " + usage).exitCode, 2) << usage;
  }
  EXPECT_EQ(exportTo("--help").exitCode, 0);
  EXPECT_EQ(fs::directory_iterator(folder) == fs::directory_iterator(), false);
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_EQ(entry.path().extension(), ".txt") << entry.path();  // no model and no half-written file left
}

// A world grown for 5,000 turns from the built-in genome (vek-batch --turns 5000 --snapshot):
// every plant of its snapshot becomes one node, named and ordered as in the file, and the
// model passes the validator.
TEST_F(Export, AFiveThousandTurnWorldKeepsEveryPlant) {
  const std::string world = dataPath("snapshot_5000_turns.view");
  std::vector<std::string> seeds;
  std::istringstream lines(readAll(world));
  std::set<std::string> withParts;
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 2 && line[0] == 'S') seeds.push_back(line.substr(line.rfind(' ') + 1, line.find_last_not_of("\r") - line.rfind(' ')));
    if (line.size() > 2 && (line[0] == 'E' || line[0] == 'L' || (line[0] == 'F' && line.find(" 0.0000000000 ") == std::string::npos)))
      withParts.insert(line.substr(line.rfind(' ') + 1, line.find_last_not_of("\r") - line.rfind(' ')));
  }
  ASSERT_GT(seeds.size(), 100u);

  const Outcome made = exportTo("'" + world + "' --out world.glb");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const tinygltf::Model model = load("world.glb");
  ASSERT_EQ(model.nodes.size(), seeds.size() + 1);
  int meshes = 0;
  for (size_t i = 0; i < seeds.size(); ++i) {
    EXPECT_EQ(model.nodes[i + 1].name, seeds[i]);
    meshes += model.nodes[i + 1].mesh >= 0;
    EXPECT_EQ(model.nodes[i + 1].mesh >= 0, withParts.count(seeds[i]) > 0) << seeds[i];
  }
  EXPECT_EQ(meshes, static_cast<int>(withParts.size()));
  const Outcome verdict = validate("world.glb");
  EXPECT_EQ(verdict.exitCode, 0) << verdict.out;
  EXPECT_NE(verdict.out.find("world.glb: 0 errors, 0 warnings"), std::string::npos) << verdict.out;
  std::cout << "a 5,000-turn world of " << seeds.size() << " plants: " << fs::file_size(folder / "world.glb")
            << " bytes of glTF\n";
}

}  // namespace
