#include "viewer/snapshot_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace viewer {

namespace {

// Passes every record on and notes whether the file gave anything to show.
class Watching final : public vek::SnapshotSink {
 public:
  explicit Watching(vek::SnapshotSink& sink) : mSink(sink) {}
  // A field line without any extent is what the reader makes of a line that is not one.
  void field(const vek::SnapshotField& f) override {
    if (f.max_x > f.min_x || f.max_y > f.min_y) saw();
    mSink.field(f);
  }
  void edge(const vek::SnapshotEdge& e) override {
    saw();
    mSink.edge(e);
  }
  void leaf(const vek::SnapshotLeaf& l) override {
    saw();
    mSink.leaf(l);
  }
  void flower(const vek::SnapshotLeaf& f) override {
    saw();
    mSink.flower(f);
  }
  void seed(const vek::SnapshotSeed& s) override {
    saw();
    mSink.seed(s);
  }
  bool sawAnything() const { return mSaw; }

 private:
  void saw() { mSaw = true; }
  vek::SnapshotSink& mSink;
  bool mSaw = false;
};

std::string quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

std::optional<std::string> readSnapshotOrSay(const std::string& path, vek::SnapshotSink& sink) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return "cannot read the snapshot " + quoted(path) + ": it is a folder";
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int reason = errno;
    return "cannot open the snapshot " + quoted(path) + ": " + std::strerror(reason != 0 ? reason : ENOENT);
  }
  Watching watching(sink);
  vek::readSnapshot(in, watching);
  if (!watching.sawAnything())
    return quoted(path) + " holds no snapshot: neither the field's size nor any plant";
  return std::nullopt;
}

}  // namespace viewer
