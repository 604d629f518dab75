#include "export/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "export/gltf_file.h"
#include "export/world_model.h"

namespace {

using vek::exporter::Mesh;
using viewer::Vec3;

// Vertex i back in the snapshot's frame (z up).
Vec3 pointOf(const Mesh& mesh, std::size_t i) {
  return {mesh.positions[3 * i], -mesh.positions[3 * i + 2], mesh.positions[3 * i + 1]};
}
Vec3 normalOf(const Mesh& mesh, std::size_t i) {
  return {mesh.normals[3 * i], -mesh.normals[3 * i + 2], mesh.normals[3 * i + 1]};
}

// Every triangle turns counter-clockwise seen from the side its vertices' normals point to.
void expectFacingOutward(const Mesh& mesh) {
  ASSERT_EQ(mesh.indices.size() % 3, 0u);
  for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
    const Vec3 a = pointOf(mesh, mesh.indices[t]), b = pointOf(mesh, mesh.indices[t + 1]),
               c = pointOf(mesh, mesh.indices[t + 2]);
    const Vec3 face = vek::exporter::cross(b - a, c - a);
    EXPECT_GT(vek::exporter::dot(face, normalOf(mesh, mesh.indices[t])), 0) << "triangle " << t / 3;
  }
}

TEST(ExportMesh, VerticesAreStoredWithHeightUp) {
  Mesh mesh;
  mesh.addVertex({1, 2, 3}, {0, 0, 2});
  EXPECT_EQ(mesh.positions, (std::vector<float>{1, 3, -2}));
  EXPECT_EQ(mesh.normals, (std::vector<float>{0, 1, 0}));
}

TEST(ExportMesh, ACylinderRunsFromEndToEndAtItsRadius) {
  Mesh mesh;
  const Vec3 a{1, -2, 0.5}, b{3, 1, 4};
  vek::exporter::appendCylinder(mesh, a, b, 0.25);
  ASSERT_EQ(mesh.vertexCount(), 2u * vek::exporter::kCylinderSides);
  ASSERT_EQ(mesh.indices.size(), 6u * vek::exporter::kCylinderSides);
  const Vec3 axis = vek::exporter::normalised(b - a);
  for (std::size_t i = 0; i < mesh.vertexCount(); ++i) {
    const Vec3 p = pointOf(mesh, i);
    const Vec3 end = i % 2 == 0 ? a : b;
    EXPECT_NEAR(vek::exporter::dot(p - end, axis), 0, 1e-6) << i;  // on the ring at its end
    EXPECT_NEAR(viewer::length(p - end), 0.25, 1e-6) << i;
    const Vec3 n = normalOf(mesh, i);
    EXPECT_NEAR(viewer::length(n), 1, 1e-6);
    EXPECT_NEAR(vek::exporter::dot(n, (1 / 0.25) * (p - end)), 1, 1e-5);  // pointing away from the axis
  }
  expectFacingOutward(mesh);

  Mesh nothing;
  vek::exporter::appendCylinder(nothing, a, a, 0.25);
  vek::exporter::appendCylinder(nothing, a, b, 0);
  EXPECT_TRUE(nothing.empty());
  EXPECT_EQ(nothing.vertexCount(), 0u);
}

TEST(ExportMesh, ADiscLiesAcrossItsNormal) {
  for (const Vec3 normal : {Vec3{0, 0, 1}, Vec3{0, 0, -3}, Vec3{1, 1, 0}}) {
    Mesh mesh;
    const Vec3 centre{-1, 2, 3};
    vek::exporter::appendDisc(mesh, centre, normal, {1, 0, 0}, 0.5);
    ASSERT_EQ(mesh.vertexCount(), 1u + vek::exporter::kDiscSegments);
    EXPECT_NEAR(viewer::length(pointOf(mesh, 0) - centre), 0, 1e-6);
    for (std::size_t i = 1; i < mesh.vertexCount(); ++i) {
      EXPECT_NEAR(viewer::length(pointOf(mesh, i) - centre), 0.5, 1e-6);
      EXPECT_NEAR(vek::exporter::dot(pointOf(mesh, i) - centre, normal), 0, 1e-6);
    }
    expectFacingOutward(mesh);
  }
  Mesh none;
  vek::exporter::appendDisc(none, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 0);
  EXPECT_TRUE(none.empty());
}

TEST(ExportWorldModel, PlantsInFileOrderWithTheirPartsInMetres) {
  std::istringstream in(
      "/*-----Tovra View-------*/\r\n/ turn = 1\r\n/ time = 1\r\n-40 -40 40 40 0 0 0.08\r\n"
      "S 1 2 0 7-1-1\r\n"
      "E 1 2 0 1 2 3 7-1-1\r\n"
      "E 1 2 3 1 2 3 7-1-1\r\n"              // no length: nothing to see
      "L 1 2 3 0.5 1 2 0 7-1-1\r\n"
      "F 1 2 5 0.25 1 2 0 7-1-1\r\n"          // straight above its seed: faces up
      "F 1 2 6 0 1 2 0 7-1-1\r\n"             // bred: size 0
      "S 9 9 0 3-3-3\r\n"
      "E -5 -5 0 -5 -5 1 4-4-4\r\n");         // a plant named only by its parts
  vek::exporter::WorldModel world(0.5);
  vek::readSnapshot(in, world);
  EXPECT_EQ(world.fieldScale(), 16);
  ASSERT_TRUE(world.ground());
  EXPECT_EQ(world.ground()->max_x, 40);
  const auto& plants = world.plants();
  ASSERT_EQ(plants.size(), 3u);
  EXPECT_EQ(plants[0].id, "7-1-1");
  EXPECT_EQ(plants[1].id, "3-3-3");
  EXPECT_EQ(plants[2].id, "4-4-4");
  EXPECT_EQ(plants[0].edges.vertexCount(), 2u * vek::exporter::kCylinderSides);
  EXPECT_EQ(plants[0].leaves.vertexCount(), 1u + vek::exporter::kDiscSegments);
  EXPECT_EQ(plants[0].flowers.vertexCount(), 1u + vek::exporter::kDiscSegments);
  EXPECT_EQ(plants[0].petals.vertexCount(), 4u * (1 + vek::exporter::kPetalSegments));
  EXPECT_TRUE(plants[1].edges.empty() && plants[1].leaves.empty() && plants[1].flowers.empty());

  // the leaf lies level at its height; the petals' centres stand 1.5 sizes from the flower's
  EXPECT_EQ(pointOf(plants[0].leaves, 0).z, 3);
  EXPECT_EQ(normalOf(plants[0].leaves, 0).z, 1);
  const Mesh& petals = plants[0].petals;
  for (std::size_t first = 0; first < petals.vertexCount(); first += 1 + vek::exporter::kPetalSegments) {
    const Vec3 centre = pointOf(petals, first);
    EXPECT_NEAR(centre.z, 5, 1e-6);
    EXPECT_NEAR(viewer::length(centre - Vec3{1, 2, 5}), 0.375, 1e-6);
  }

  // colours are the viewer's pictures', per plant
  viewer::PlantColours colours;
  EXPECT_EQ(plants[2].edgeColour.r, colours.edge("4-4-4").r);
  EXPECT_EQ(plants[0].leafColour.g, colours.leaf("7-1-1").g);
}

TEST(ExportColours, ScreenColoursAreTurnedLinear) {
  EXPECT_EQ(vek::exporter::linearFromScreen(0), 0);
  EXPECT_DOUBLE_EQ(vek::exporter::linearFromScreen(1), 1);
  EXPECT_NEAR(vek::exporter::linearFromScreen(0.5), 0.214041, 1e-6);
  EXPECT_NEAR(vek::exporter::linearFromScreen(0.04), 0.04 / 12.92, 1e-12);
}

}  // namespace
