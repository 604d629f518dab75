#include "export/gltf_file.h"

#include <tiny_gltf.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace vek::exporter {

namespace {

constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// Collects the buffer's bytes while the accessors are made: vertex data first, then indices.
class ModelBuilder {
 public:
  explicit ModelBuilder(tinygltf::Model& model) : mModel(model) {}

  int material(const std::string& name, const viewer::Colour& colour, bool doubleSided) {
    tinygltf::Material m;
    m.name = name;
    m.pbrMetallicRoughness.baseColorFactor = {linearFromScreen(colour.r), linearFromScreen(colour.g),
                                              linearFromScreen(colour.b), 1.0};
    m.pbrMetallicRoughness.metallicFactor = 0;
    m.pbrMetallicRoughness.roughnessFactor = 1;
    m.doubleSided = doubleSided;
    mModel.materials.push_back(m);
    return static_cast<int>(mModel.materials.size()) - 1;
  }

  // Adds `mesh` as one primitive drawn in `material`; nothing for an empty mesh.
  void primitive(tinygltf::Mesh& into, const Mesh& mesh, int material) {
    if (mesh.empty()) return;
    tinygltf::Primitive p;
    p.attributes["POSITION"] = vertexAccessor(mesh.positions, true);
    p.attributes["NORMAL"] = vertexAccessor(mesh.normals, false);
    p.indices = indexAccessor(mesh.indices, mesh.vertexCount());
    p.material = material;
    p.mode = TINYGLTF_MODE_TRIANGLES;
    into.primitives.push_back(p);
  }

  // Lays the collected bytes into the one buffer and its two views (none when nothing was
  // drawn). Every primitive has both vertices and indices.
  void finish() {
    if (mVertexBytes.empty()) return;
    tinygltf::Buffer buffer;
    buffer.data = mVertexBytes;
    buffer.data.insert(buffer.data.end(), mIndexBytes.begin(), mIndexBytes.end());
    mModel.buffers.push_back(std::move(buffer));
    tinygltf::BufferView vertices;
    vertices.buffer = 0;
    vertices.byteOffset = 0;
    vertices.byteLength = mVertexBytes.size();
    vertices.byteStride = 3 * sizeof(float);  // every attribute is three floats
    vertices.target = kArrayBuffer;
    tinygltf::BufferView indices;
    indices.buffer = 0;
    indices.byteOffset = mVertexBytes.size();
    indices.byteLength = mIndexBytes.size();
    indices.target = kElementArrayBuffer;
    mModel.bufferViews = {vertices, indices};
  }

 private:
  template <class T>
  static void append(std::vector<unsigned char>& bytes, const std::vector<T>& values) {
    const auto* first = reinterpret_cast<const unsigned char*>(values.data());
    bytes.insert(bytes.end(), first, first + values.size() * sizeof(T));
  }

  int vertexAccessor(const std::vector<float>& values, bool withBounds) {
    tinygltf::Accessor a;
    a.bufferView = 0;
    a.byteOffset = mVertexBytes.size();
    a.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    a.type = TINYGLTF_TYPE_VEC3;
    a.count = values.size() / 3;
    if (withBounds) {
      a.minValues.assign(3, std::numeric_limits<double>::infinity());
      a.maxValues.assign(3, -std::numeric_limits<double>::infinity());
      for (size_t i = 0; i < values.size(); ++i) {
        a.minValues[i % 3] = std::min(a.minValues[i % 3], static_cast<double>(values[i]));
        a.maxValues[i % 3] = std::max(a.maxValues[i % 3], static_cast<double>(values[i]));
      }
    }
    append(mVertexBytes, values);
    mModel.accessors.push_back(a);
    return static_cast<int>(mModel.accessors.size()) - 1;
  }

  // Two bytes an index where the vertices allow it (the largest value of a type is reserved).
  int indexAccessor(const std::vector<std::uint32_t>& indices, std::size_t vertexCount) {
    while (mIndexBytes.size() % 4 != 0) mIndexBytes.push_back(0);
    tinygltf::Accessor a;
    a.bufferView = 1;
    a.byteOffset = mIndexBytes.size();
    a.type = TINYGLTF_TYPE_SCALAR;
    a.count = indices.size();
    if (vertexCount <= 0xffff) {
      a.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
      append(mIndexBytes, std::vector<std::uint16_t>(indices.begin(), indices.end()));
    } else {
      a.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
      append(mIndexBytes, indices);
    }
    mModel.accessors.push_back(a);
    return static_cast<int>(mModel.accessors.size()) - 1;
  }

  tinygltf::Model& mModel;
  std::vector<unsigned char> mVertexBytes;
  std::vector<unsigned char> mIndexBytes;
};

tinygltf::Value number(double v) { return tinygltf::Value(v); }

tinygltf::Value extrasOf(const WorldModel& world, const std::string& source) {
  const SnapshotField& f = world.fieldValues();
  tinygltf::Value::Object field;
  field["min_x"] = number(f.min_x);
  field["min_y"] = number(f.min_y);
  field["max_x"] = number(f.max_x);
  field["max_y"] = number(f.max_y);
  field["center_x"] = number(f.center_x);
  field["center_y"] = number(f.center_y);
  field["haba"] = number(f.haba);
  tinygltf::Value::Object extras;
  extras["units"] = tinygltf::Value(std::string("metre"));
  extras["fieldScale"] = number(world.fieldScale());
  extras["field"] = tinygltf::Value(field);
  extras["frame"] = tinygltf::Value(std::string("x = snapshot x, y = snapshot z (height), z = -(snapshot y)"));
  extras["source"] = tinygltf::Value(source);
  return tinygltf::Value(extras);
}

}  // namespace

double linearFromScreen(double c) {
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

void buildGltf(const WorldModel& world, const std::string& source, tinygltf::Model& model) {
  model = tinygltf::Model();
  model.asset.version = "2.0";
  model.asset.generator = "vek-export";
  model.asset.extras = extrasOf(world, source);
  ModelBuilder builder(model);
  tinygltf::Scene scene;

  if (const auto& ground = world.ground()) {
    Mesh rectangle;
    const Vec3 up{0, 0, 1};
    rectangle.addVertex({ground->min_x, ground->min_y, 0}, up);
    rectangle.addVertex({ground->max_x, ground->min_y, 0}, up);
    rectangle.addVertex({ground->max_x, ground->max_y, 0}, up);
    rectangle.addVertex({ground->min_x, ground->max_y, 0}, up);
    rectangle.indices = {0, 1, 2, 0, 2, 3};
    tinygltf::Mesh mesh;
    mesh.name = "ground";
    builder.primitive(mesh, rectangle, builder.material("ground", viewer::kGroundColour, false));
    model.meshes.push_back(mesh);
    tinygltf::Node node;
    node.name = "ground";
    node.mesh = static_cast<int>(model.meshes.size()) - 1;
    model.nodes.push_back(node);
    scene.nodes.push_back(static_cast<int>(model.nodes.size()) - 1);
  }

  int flowerMaterial = -1, petalMaterial = -1;
  for (const PlantModel& plant : world.plants()) {
    tinygltf::Node node;
    node.name = plant.id;
    tinygltf::Mesh mesh;
    mesh.name = plant.id;
    if (!plant.edges.empty()) builder.primitive(mesh, plant.edges, builder.material(plant.id + " edges", plant.edgeColour, true));
    if (!plant.leaves.empty()) builder.primitive(mesh, plant.leaves, builder.material(plant.id + " leaves", plant.leafColour, true));
    if (!plant.flowers.empty()) {
      if (flowerMaterial < 0) {
        flowerMaterial = builder.material("flower", viewer::kFlowerColour, true);
        petalMaterial = builder.material("petal", viewer::kPetalColour, true);
      }
      builder.primitive(mesh, plant.flowers, flowerMaterial);
      builder.primitive(mesh, plant.petals, petalMaterial);
    }
    if (!mesh.primitives.empty()) {
      model.meshes.push_back(mesh);
      node.mesh = static_cast<int>(model.meshes.size()) - 1;
    }
    model.nodes.push_back(node);
    scene.nodes.push_back(static_cast<int>(model.nodes.size()) - 1);
  }
  builder.finish();
  model.scenes.push_back(scene);
  model.defaultScene = 0;
}

std::optional<std::string> writeGltf(const tinygltf::Model& model, const std::string& path) {
  std::string suffix = std::filesystem::path(path).extension().string();
  std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
  const bool binary = suffix == ".glb";
  std::ostringstream bytes;
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&model, bytes, !binary, binary)) return std::string("the model could not be encoded");

  const std::string partial = path + ".partial-" + std::to_string(::getpid());
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return std::string(std::strerror(errno));
    const std::string all = bytes.str();
    out.write(all.data(), static_cast<std::streamsize>(all.size()));
    out.close();
    if (!out) {
      const std::string reason = std::strerror(errno);
      std::filesystem::remove(partial);
      return reason;
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) {
    std::filesystem::remove(partial);
    return error.message();
  }
  return std::nullopt;
}

}  // namespace vek::exporter
