#include "app/save_commands.h"

#include <cerrno>
#include <mutex>

#include "app/simulator.h"
#include "app/strings.h"
#include "app/texts.h"
#include "engine/world.h"
#include "genome/gene.h"
#include "base/file_lock.h"
#include "records/frequency_tables.h"
#include "records/gene_file.h"
#include "records/snapshot_writer.h"
#include "base/text_io.h"

namespace app {

namespace {

FileRequest request(const std::string& folder, const std::string& name, const char* suffix, const char* filter) {
  return {qPath(folder), qPath(name), QString::fromUtf8(suffix), QString::fromUtf8(filter)};
}

}  // namespace

bool saveThroughDialog(VekDialogs& dialogs, const FileRequest& request, const char* busyText,
                       const std::function<vek::FileOutcome(const std::string& path)>& write) {
  const std::optional<QString> path = dialogs.saveFile(request);
  if (!path) return false;
  vek::FileOutcome outcome;
  {
    BusyWindow busy(dialogs, QString::fromUtf8(text::kProgram) + QString::fromUtf8(busyText));
    outcome = write(stdPath(*path));
  }
  if (!outcome.ok()) dialogs.warn(QString::fromUtf8(text::kSaveFailed).arg(qText(outcome.error)));
  return outcome.ok();
}

bool saveFrequencyTable(VekDialogs& dialogs, const std::string& saveFolder, const std::string& table,
                        const char* defaultName) {
  return saveThroughDialog(dialogs, request(saveFolder, defaultName, text::kFrequencySuffix, text::kFrequencyFilter),
                           text::kWritingTable,
                           [&](const std::string& path) { return vek::writeFrequencyFile(path, table, fileWriteBusy()); });
}

bool saveGeneFile(VekDialogs& dialogs, const std::string& saveFolder, const mID& geneId, const std::string& codeBox) {
  mGene named(nullptr);
  named.setIdentifier(geneId);
  return saveThroughDialog(dialogs, request(saveFolder, vek::geneFileName(named), text::kGeneSuffix, text::kGeneFilter),
                           text::kWritingGene, [&](const std::string& path) {
                             return vek::writeGeneFile(path, vek::geneFileText(named, codeBox), fileWriteBusy());
                           });
}

bool SaveTovraView(Simulator& simulator, VekDialogs& dialogs) {
  if (!dialogs.askYesNo(QString::fromUtf8(text::kAskSaveSnapshot))) return false;
  if (!simulator.world()) {
    dialogs.inform(QString::fromUtf8(text::kLoadFirst));
    return false;
  }
  return saveThroughDialog(
      dialogs, request(simulator.saveFolder(), vek::kSnapshotDefaultName, text::kTovraSuffix, text::kTovraFilter),
      text::kWritingSnapshot, [&](const std::string& path) {
        std::string snapshot;
        {
          std::lock_guard<FairMutex> lock(simulator.world()->mutex());
          snapshot = vek::snapshotText(simulator.world()->place());
        }
        return vek::writeSnapshotFile(path, snapshot, fileWriteBusy());
      });
}

bool saveSeedSnapshot(VekDialogs& dialogs, const std::string& saveFolder, const std::string& defaultName,
                      const std::function<std::optional<std::string>()>& buildText) {
  return saveThroughDialog(dialogs, request(saveFolder, defaultName, text::kTovraSuffix, text::kTovraFilter),
                           text::kWritingSnapshot, [&](const std::string& path) -> vek::FileOutcome {
                             const std::optional<std::string> snapshot = buildText();
                             if (!snapshot) return {"the individual is no longer alive; nothing written to " + path};
                             return vek::writeSnapshotFile(path, *snapshot, fileWriteBusy());
                           });
}

bool saveBitmap(VekDialogs& dialogs, const std::string& saveFolder, const std::string& defaultName,
                const std::function<std::string()>& bytes) {
  return saveThroughDialog(dialogs, request(saveFolder, defaultName, text::kBitmapSuffix, text::kBitmapFilter),
                           text::kWritingBitmap,
                           [&](const std::string& path) { return writePictureFile(path, bytes()); });
}

vek::FileOutcome writePictureFile(const std::string& path, const std::string& bytes) {
  vek::FileWriteGuard lock(fileWriteBusy());
  errno = 0;
  if (!vek::writeFileAtomically(path, bytes)) return {vek::describeFileError("cannot write the picture", path)};
  return {};
}

}  // namespace app
