#include "records/save_unit.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cctype>
#include <sstream>

#include "base/checksum.h"
#include "base/text_io.h"

namespace vek {

namespace {

constexpr const char* kManifestHeader = "Vek save 1";

bool fileMatches(const std::string& path, const SaveManifest::File& file) {
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  return crc32OfFile(path, crc, size) && size == file.size && crc == file.crc;
}

// A file the world appends to between saves (the phylogeny) holds the save followed by more.
bool fileGrewFrom(const std::string& path, const SaveManifest::File& file) {
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) <= file.size) return false;
  return crc32OfFile(path, crc, size, file.size) && size == file.size && crc == file.crc;
}

bool removeFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::remove(path, error);
}

// Files that writeFileAtomically leaves when it is killed: "<name>.tmp" and six characters.
bool isAtomicTemporary(const std::string& name) {
  constexpr size_t kTail = 10;  // ".tmp" and six
  if (name.size() <= kTail || name.compare(name.size() - kTail, 4, ".tmp") != 0) return false;
  for (size_t k = name.size() - 6; k < name.size(); ++k)
    if (!std::isalnum(static_cast<unsigned char>(name[k]))) return false;
  return true;
}

std::string lines(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

std::uint64_t lineEnds(const std::string& path, std::uint64_t from) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from));
  std::uint64_t count = 0;
  char buffer[1 << 14];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize k = 0; k < in.gcount(); ++k) count += buffer[k] == '\n';
  }
  return count;
}

}  // namespace

std::string manifestText(const SaveManifest& manifest) {
  std::ostringstream out;
  out << kManifestHeader << kEol << "turn " << manifest.turn << " time " << manifest.time << kEol;
  for (const auto& file : manifest.files)
    out << "file " << file.name << ' ' << file.size << ' ' << crcText(file.crc) << kEol;
  for (const auto& file : manifest.appended) {
    out << "appended " << file.name << ' ';
    if (file.present) out << file.size;
    else out << "none";
    out << kEol;
  }
  out << "end" << kEol;
  return out.str();
}

bool parseManifest(std::string_view text, SaveManifest& manifest, std::string& error) {
  std::istringstream in{std::string(text)};
  std::string line;
  manifest = SaveManifest();
  if (!readLine(in, line) || line != kManifestHeader) {
    error = "it does not begin with \"" + std::string(kManifestHeader) + "\"";
    return false;
  }
  bool ended = false;
  int number = 1;
  while (readLine(in, line)) {
    ++number;
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    bool ok = true;
    if (kind == "turn") {
      std::string timeWord;
      ok = static_cast<bool>(words >> manifest.turn >> timeWord >> manifest.time) && timeWord == "time";
    } else if (kind == "file") {
      SaveManifest::File file;
      std::string crc;
      ok = static_cast<bool>(words >> file.name >> file.size >> crc) && crc.size() == 8 &&
           crc.find_first_not_of("0123456789abcdef") == std::string::npos;
      if (ok) file.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
      manifest.files.push_back(file);
    } else if (kind == "appended") {
      SaveManifest::Appended file;
      std::string size;
      ok = static_cast<bool>(words >> file.name >> size);
      file.present = size != "none";
      if (ok && file.present) ok = size.find_first_not_of("0123456789") == std::string::npos && !size.empty();
      if (ok && file.present) file.size = std::stoull(size);
      manifest.appended.push_back(file);
    } else if (kind == "end") {
      ended = true;
      break;
    } else {
      ok = false;
    }
    if (!ok) {
      error = "line " + std::to_string(number) + " (\"" + line + "\") cannot be read";
      return false;
    }
  }
  if (!ended) {
    error = "it has no \"end\" line";
    return false;
  }
  return true;
}

bool readManifest(const std::string& folder, SaveManifest& manifest) {
  std::ifstream in(folder + kManifestName, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string error;
  return parseManifest(bytes.str(), manifest, error);
}

FileOutcome writeSaveUnit(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files,
                          const std::vector<std::string>& appended, int turn, int time) {
  SaveManifest manifest;
  manifest.turn = turn;
  manifest.time = time;
  auto abandon = [&](const std::string& message) {
    for (const auto& [name, bytes] : files) removeFile(folder + name + kPendingSuffix);
    return FileOutcome{message};
  };

  for (const auto& [name, bytes] : files) {
    const std::string pending = folder + name + kPendingSuffix;
    errno = 0;
    if (!writeFileDurably(pending, bytes)) return abandon(describeFileError("cannot write", pending));
    manifest.files.push_back({name, bytes.size(), crc32Of(bytes)});
  }
  // What the world appended up to this turn must be on the disk before the manifest says so.
  for (const std::string& name : appended) {
    const std::string path = folder + name;
    SaveManifest::Appended file{name, false, 0};
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
      errno = 0;
      if (!syncFile(path)) return abandon(describeFileError("cannot force to the disk", path));
      file.present = true;
      file.size = std::filesystem::file_size(path, error);
      if (error) return abandon("cannot measure " + path + ": " + error.message());
    }
    manifest.appended.push_back(file);
  }

  errno = 0;
  if (!writeFileAtomically(folder + kManifestName, manifestText(manifest)) || !syncFolder(folder))
    return abandon(describeFileError("cannot write", folder + kManifestName));
  // The save has happened; what follows only puts the files in their places, and a recovery
  // finishes it if this is cut short.
  for (const auto& [name, bytes] : files) {
    const std::string pending = folder + name + kPendingSuffix;
    errno = 0;
    if (std::rename(pending.c_str(), (folder + name).c_str()) != 0)
      return {describeFileError("cannot put in place", folder + name) + " (the save is complete in " + pending +
              "; loading the folder finishes it)"};
  }
  syncFolder(folder);
  return {};
}

FileOutcome recoverSaveUnit(const std::string& folder, std::vector<std::string>& notices,
                            const std::vector<std::string>& required) {
  std::error_code error;
  // Temporaries of atomic replacements cut short: never part of any save.
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (isAtomicTemporary(name)) removeFile(entry.path().string());
  }

  const std::string manifestPath = folder + kManifestName;
  if (!std::filesystem::exists(manifestPath, error)) {
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(kPendingSuffix)) removeFile(entry.path().string());
    }
    return {};
  }
  std::string bytes;
  {
    std::ifstream in(manifestPath, std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    bytes = read.str();
  }
  SaveManifest manifest;
  std::string problem;
  if (!parseManifest(bytes, manifest, problem))
    return {"cannot load " + folder + ": its " + kManifestName + " is damaged (" + problem +
            "); restore it, or remove it to load the lives files as they stand"};

  const std::string saveName = "the save of turn " + std::to_string(manifest.turn);
  // Check everything before changing anything.
  std::vector<const SaveManifest::File*> toFinish;
  std::vector<const SaveManifest::File*> toCut;
  for (const auto& file : manifest.files) {
    const std::string path = folder + file.name;
    if (fileMatches(path, file)) continue;
    if (fileGrewFrom(path, file)) {
      toCut.push_back(&file);
      continue;
    }
    if (fileMatches(path + kPendingSuffix, file)) {
      toFinish.push_back(&file);
      continue;
    }
    if (!std::filesystem::exists(path, error)) {
      if (std::find(required.begin(), required.end(), file.name) != required.end())
        return {"cannot load " + folder + ": " + saveName + " is incomplete: " + file.name +
                " is missing (and no complete copy of it is left)"};
      notices.push_back(path + " of " + saveName + " is missing");
      continue;
    }
    notices.push_back(path + " was changed after " + saveName + "; it is loaded as it stands");
  }
  for (const SaveManifest::File* file : toFinish) {
    const std::string path = folder + file->name;
    errno = 0;
    if (std::rename((path + kPendingSuffix).c_str(), path.c_str()) != 0)
      return {describeFileError("cannot finish " + saveName + ": cannot put in place", path)};
  }
  if (!toFinish.empty()) notices.push_back(saveName + " had been cut short; its files were put in place");
  bool undone = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(kPendingSuffix)) undone |= removeFile(entry.path().string());
  }
  if (undone) notices.push_back("the files of a save that never finished were removed; " + saveName + " stands");

  std::uint64_t cut = 0;
  for (const SaveManifest::File* file : toCut) {
    const std::string path = folder + file->name;
    cut += lineEnds(path, file->size);
    errno = 0;
    if (::truncate(path.c_str(), static_cast<off_t>(file->size)) != 0)
      return {describeFileError("cannot cut back to " + saveName, path)};
  }
  std::vector<std::string> missing;
  for (const auto& file : manifest.appended) {
    const std::string path = folder + file.name;
    const bool exists = std::filesystem::is_regular_file(path, error);
    if (!file.present) {
      if (exists) removeFile(path);  // written after the save
      continue;
    }
    const std::uint64_t size = exists ? std::filesystem::file_size(path, error) : 0;
    if (size > file.size) {
      cut += lineEnds(path, file.size);
      errno = 0;
      if (::truncate(path.c_str(), static_cast<off_t>(file.size)) != 0)
        return {describeFileError("cannot cut back to " + saveName, path)};
    } else if (size < file.size) {
      missing.push_back(file.name);
    }
  }
  if (cut > 0)
    notices.push_back("the logs were cut back to " + saveName + " (" + lines(cut) + " written after it removed)");
  if (!missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    notices.push_back("these logs hold less than at " + saveName + " (lines were lost): " + names);
  }
  syncFolder(folder);
  return {};
}

}  // namespace vek
