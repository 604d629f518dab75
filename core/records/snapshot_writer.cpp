#include "records/snapshot_writer.h"

#include <cerrno>
#include <locale>
#include <sstream>

#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "genome/gene.h"
#include "base/file_lock.h"
#include "base/text_io.h"

namespace vek {

namespace {

void writeHeader(const mPlace& place, std::ostream& out) {
  out.imbue(std::locale::classic());
  out << kSnapshotHeader << kEol;
  out << "/ turn = " << place.turn() << kEol;
  out << "/ time = " << place.time() << kEol;
  out << snapshotFieldLine(place.parameters()) << kEol;
}

void writeIndividual(const mSeed& seed, std::ostream& out) {
  out << seed.text() << kEol;
  seed.body().writeParts(out);
}

}  // namespace

std::string snapshotFieldLine(const Parameters& p) {
  const double minX = p.mField_min_x;
  const double minY = p.mField_min_y;
  const double maxX = minX + p.mField_haba * p.mField_N;
  const double maxY = minY + p.mField_haba * p.mField_N;
  // The viewer reads these at a text stream's default precision, and so they were always written.
  std::ostringstream line;
  line.imbue(std::locale::classic());
  line << minX << ' ' << minY << ' ' << maxX << ' ' << maxY << ' ' << (maxX + minX) * 0.5 << ' '
       << (maxY + minY) * 0.5 << ' ' << p.mField_haba;
  return line.str();
}

void writeSnapshot(const mPlace& place, std::ostream& out) {
  writeHeader(place, out);
  for (const auto& seed : place.population().living())
    if (seed) writeIndividual(*seed, out);
}

std::string snapshotText(const mPlace& place) {
  std::ostringstream out;
  writeSnapshot(place, out);
  return out.str();
}

void writeSeedSnapshot(const mPlace& place, const mSeed& seed, std::ostream& out) {
  writeHeader(place, out);
  writeIndividual(seed, out);
}

std::string seedSnapshotText(const mPlace& place, const mSeed& seed) {
  std::ostringstream out;
  writeSeedSnapshot(place, seed, out);
  return out.str();
}

std::string seedSnapshotFileName(const mSeed& seed) {
  if (seed.population()) return "SeedID" + seed.id().text() + ".view";
  return "GeneID" + (seed.genome() ? seed.genome()->identifier().text() : mID().text()) + ".view";
}

FileOutcome writeSnapshotFile(const std::string& path, const std::string& text, FileWriteLock& fileLock) {
  FileWriteGuard lock(fileLock);
  errno = 0;
  if (!writeFileAtomically(path, text)) return {describeFileError("cannot write the snapshot", path)};
  return {};
}

}  // namespace vek
