#include "app/target_texts.h"

#include <cstdio>

#include "app/world_texts.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/seed.h"
#include "genome/gene.h"
#include "base/instructions.h"
#include "records/snapshot_writer.h"

namespace app {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string format(const char* pattern, auto... values) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

std::string pointLine(int index, const mPoint3D& p) { return format("%d : %.2lf,%.2lf,%.2lf", index, p.x, p.y, p.z); }

template <class Sphere>
PartListTexts sphereList(const std::vector<std::unique_ptr<Sphere>>& spheres, double volume, double calorie) {
  PartListTexts list;
  int index = 0;
  for (const auto& sphere : spheres) {
    const mPoint3D& p = *sphere->position();
    list.lines.push_back(format("%d : %.2lf,%.2lf,%.2lf,%.2lf", index++, p.x, p.y, p.z, sphere->radius()));
  }
  list.volume = realText(volume);
  list.calorie = realText(calorie);
  return list;
}

}  // namespace

TargetTexts targetTexts(const mSeed& seed) {
  TargetTexts texts;
  const mCPU& cpu = seed.processor();
  texts.registers.push_back(format("ip : %d", cpu.ip()));
  texts.registers.push_back(format("register : %s", registerNameOf(cpu.selectedRegister())));
  for (int r = 0; r < kRegisterCount; ++r)
    texts.registers.push_back(format("%s : %lf", registerNameOf(r), cpu.registers()[static_cast<size_t>(r)]));

  texts.code = seed.genome() ? seed.genome()->listing() : std::string();
  texts.energy = cpu.energy().report();
  texts.done = cpu.trace();
  texts.aBuff = seed.body().text();
  texts.evaluation = realText(seed.evaluation());
  texts.id = seed.id().text();

  const mPartsList& body = seed.body();
  PartListTexts& edges = texts.parts[static_cast<int>(PartKind::kEdge)];
  int index = 0;
  for (const auto& edge : body.edges()) {
    const mPoint3D& a = *edge->start();
    const mPoint3D& b = *edge->end();
    edges.lines.push_back(format("%d : %.2lf,%.2lf,%.2lf,%.2lf,%.2lf,%.2lf", index++, a.x, a.y, a.z, b.x, b.y, b.z));
  }
  edges.volume = realText(body.edgeVolume());
  edges.calorie = realText(body.edgeCalorie());
  texts.parts[static_cast<int>(PartKind::kLeaf)] = sphereList(body.leaves(), body.leafVolume(), body.leafCalorie());
  texts.parts[static_cast<int>(PartKind::kFlower)] =
      sphereList(body.flowers(), body.flowerVolume(), body.flowerCalorie());

  PartListTexts& nodes = texts.parts[static_cast<int>(PartKind::kNode)];
  index = 0;
  for (const auto& node : body.nodes()) nodes.lines.push_back(pointLine(index++, *node->position()));
  nodes.volume = realText(0);
  nodes.calorie = realText(0);

  const mPoint3D& p = seed.position();
  texts.parts[static_cast<int>(PartKind::kSeed)].lines.push_back(format(" %.2lf,%.2lf,%.2lf", p.x, p.y, p.z));

  texts.shape = plantShapeOf(seed);
  if (seed.genome()) texts.geneId = seed.genome()->identifier();
  texts.snapshotName = vek::seedSnapshotFileName(seed);
  texts.pictureName = pictureFileName(seed);
  return texts;
}

double lightIncome(const mSeed& seed) {
  double sum = 0;
  for (const auto& leaf : seed.body().leaves()) sum += leaf->radius() * leaf->radius();
  const Parameters& p = seed.parameters();
  return kPi * sum / (p.mField_haba * p.mField_haba) * p.mField_downsize * p.mField_daylight;
}

std::string pictureFileName(const mSeed& seed) {
  if (seed.population()) return "SeedID" + seed.id().text() + ".bmp";
  return "GeneID" + (seed.genome() ? seed.genome()->identifier().text() : std::string()) + ".bmp";
}

}  // namespace app
