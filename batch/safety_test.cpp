// A save folder as one safe unit, tried on the real program: killed at random moments,
// stopped by signals and resumed, claimed by two runs at once, filled up, made read-only, and
// given names and files that once crashed it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "records/statistics_logs.h"
#include "tests/test_support.h"

extern char** environ;

namespace {

using vek::test::freshFolder;
using vek::test::readBytes;
using vek::test::writeBytes;

// vek-batch started in `folder` with `arguments`, its output in out.txt and err.txt there.
pid_t start(const std::string& folder, const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {VEK_BATCH_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit code, or 128 + the signal that ended the process.
int finish(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct Finished {
  int exitCode;
  std::string err;
};

Finished run(const std::string& folder, const std::vector<std::string>& arguments) {
  const int code = finish(start(folder, arguments));
  return {code, readBytes(folder + "err.txt")};
}

int lineCount(const std::string& path) {
  int lines = 0;
  for (char c : readBytes(path)) lines += c == '\n';
  return lines;
}

// The turn that a folder's place lives file holds.
int savedTurn(const std::string& folder) {
  std::istringstream lives(readBytes(folder + "Ostrel.lives"));
  std::string header;
  std::getline(lives, header);
  int time = -1, turn = -1;
  lives >> time >> turn;
  return turn;
}

std::vector<std::string> leftovers(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".pending") != std::string::npos || name.find(".tmp") != std::string::npos ||
        name.find(".vek-write-check") != std::string::npos)
      names.push_back(name);
  }
  return names;
}

// Every log holds one line per turn of the world saved in the folder.
void expectLogsAtTheSavedTurn(const std::string& folder, const std::string& context) {
  const int turn = savedTurn(folder);
  for (const char* log : vek::kTurnLogNames) {
    EXPECT_EQ(lineCount(folder + log), turn) << context << ": " << log;
    const std::string bytes = readBytes(folder + log);
    EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << context << ": " << log << " ends in a half line";
  }
}

// SIGKILL at random moments, many of them in the middle of a save (saving every turn keeps a
// run in its saves most of the time): every load afterwards finds one whole save, logs cut
// back to it, nothing left over.
TEST(SaveFolderSafety, KilledAtAnyMomentTheFolderLoadsItsLastSave) {
  const std::string base = freshFolder("kill");
  ASSERT_EQ(run(base, {"--until", "150", "--quiet"}).exitCode, 0);
  const std::string folder = base + "original_log/";
  std::mt19937 random(20261207);
  int kills = 0, continued = 0, finishedSaves = 0, undoneSaves = 0, cut = 0;
  for (int k = 0; k < 24; ++k) {
    const std::string every = k % 3 == 2 ? "40" : "1";
    const pid_t pid = start(base, {"--load", "original_log", "--turns", "100000", "--save-every", every, "--quiet"});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(60 + random() % 400));
    kill(pid, SIGKILL);
    ASSERT_EQ(finish(pid), 128 + SIGKILL);
    ++kills;
    const std::string context = "kill " + std::to_string(k);
    const Finished loaded = run(base, {"--load", "original_log", "--turns", "0"});
    ASSERT_EQ(loaded.exitCode, 0) << context << ": " << loaded.err;
    ++continued;
    finishedSaves += loaded.err.find("had been cut short") != std::string::npos;
    undoneSaves += loaded.err.find("a save that never finished") != std::string::npos;
    cut += loaded.err.find("the logs were cut back") != std::string::npos;
    expectLogsAtTheSavedTurn(folder, context);
    EXPECT_TRUE(leftovers(folder).empty()) << context;
  }
  EXPECT_GT(savedTurn(folder), 150);
  EXPECT_GT(cut, 0);
  RecordProperty("kills", kills);
  RecordProperty("loads_continued", continued);
  RecordProperty("saves_finished_on_load", finishedSaves);
  RecordProperty("unfinished_saves_undone", undoneSaves);
  RecordProperty("logs_cut_back", cut);
  std::printf("kills %d, loads that continued %d, refused %d, saves finished on load %d, unfinished saves undone %d, "
              "logs cut back %d\n",
              kills, continued, kills - continued, finishedSaves, undoneSaves, cut);
}

// The files two folders hold alike: all but the wall clock's log and the lock's holder.
void expectSameFolders(const std::string& a, const std::string& b) {
  for (const auto& entry : std::filesystem::directory_iterator(a)) {
    const std::string name = entry.path().filename().string();
    if (name == "c_time.log" || name == "vek.lock" || name == "err.txt" || name == "out.txt") continue;
    std::string left = readBytes(a + name), right = readBytes(b + name);
    if (name == "save.manifest") {
      // The wall-clock log's length may differ by a digit here and there.
      auto withoutClock = [](std::string text) {
        const size_t at = text.find("appended c_time.log ");
        return text.erase(at, text.find('\n', at) - at);
      };
      left = withoutClock(left);
      right = withoutClock(right);
    }
    EXPECT_TRUE(left == right) << name << " differs";
  }
}

// One run of 1,000 turns against the same run stopped five times (by its turns, by SIGTERM,
// by a kill after --save-every, by SIGHUP) and loaded again each time: the same folder, bit for
// bit.
TEST(SaveFolderSafety, ARunStoppedAndResumedEndsAsOneUninterruptedRun) {
  const std::string base = freshFolder("resume");
  ASSERT_EQ(run(base, {"--base", "one", "--seed", "11", "--turns", "1000", "--quiet"}).exitCode, 0);
  ASSERT_EQ(run(base, {"--base", "five", "--seed", "11", "--until", "200", "--quiet"}).exitCode, 0);
  const std::vector<std::string> onwards = {"--load", "five/original_log", "--until", "1000", "--quiet"};
  struct Stop {
    int signal;
    int afterMilliseconds;
    std::vector<std::string> extra;
  };
  const std::vector<Stop> stops = {{SIGTERM, 250, {}}, {SIGKILL, 300, {"--save-every", "37"}}, {SIGHUP, 200, {}}};
  for (const Stop& stop : stops) {
    std::vector<std::string> arguments = onwards;
    arguments.insert(arguments.end(), stop.extra.begin(), stop.extra.end());
    const pid_t pid = start(base, arguments);
    std::this_thread::sleep_for(std::chrono::milliseconds(stop.afterMilliseconds));
    kill(pid, stop.signal);
    const int code = finish(pid);
    // Stopped by the signal, or done before it came.
    EXPECT_TRUE(code == 128 + stop.signal || code == 0) << code;
  }
  const Finished last = run(base, onwards);
  ASSERT_EQ(last.exitCode, 0) << last.err;
  EXPECT_EQ(savedTurn(base + "five/original_log/"), 1000);
  expectSameFolders(base + "one/original_log/", base + "five/original_log/");
}

TEST(SaveFolderSafety, TheSecondRunOnAFolderIsRefused) {
  const std::string base = freshFolder("two");
  ASSERT_EQ(run(base, {"--turns", "5", "--quiet"}).exitCode, 0);
  const pid_t first = start(base, {"--load", "original_log", "--turns", "1000000", "--quiet"});
  const std::string lock = base + "original_log/vek.lock";
  for (int k = 0; k < 2000 && readBytes(lock).rfind("vek-batch " + std::to_string(first) + " ", 0) != 0; ++k)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const std::string before = readBytes(base + "original_log/Ostrel.lives");
  const Finished second = run(base, {"--load", "original_log", "--turns", "10"});
  kill(first, SIGTERM);
  EXPECT_EQ(finish(first), 128 + SIGTERM);
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.err.find("original_log/ is in use by vek-batch (process " + std::to_string(first) + " on "),
            std::string::npos)
      << second.err;
  expectLogsAtTheSavedTurn(base + "original_log/", "after both");
}

// A small file system of our own (as root; elsewhere the test is skipped), unmounted again.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& where, const char* size) : mWhere(where) {
    std::filesystem::create_directories(where);
    mMounted = geteuid() == 0 &&
               std::system(("mount -t tmpfs -o size=" + std::string(size) + " vek-test '" + where + "' 2>/dev/null").c_str()) == 0;
  }
  ~SmallDisk() {
    if (mMounted) std::system(("umount '" + mWhere + "'").c_str());
  }
  bool mounted() const { return mMounted; }
  bool makeReadOnly() { return std::system(("mount -o remount,ro '" + mWhere + "'").c_str()) == 0; }

 private:
  std::string mWhere;
  bool mMounted = false;
};

// A full disk stops the run with a message and leaves the last save loadable; a read-only
// folder is refused before the first turn.
TEST(SaveFolderSafety, AFullDiskStopsTheRunAndKeepsTheLastSave) {
  const std::string base = freshFolder("full");
  SmallDisk disk(base + "disk", "1500k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a small file system needs the superuser";
  const Finished full = run(base, {"--base", "disk", "--turns", "20000", "--save-every", "10", "--quiet"});
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
  EXPECT_EQ(full.err.find("terminate"), std::string::npos) << full.err;

  std::filesystem::copy(base + "disk/original_log", base + "copy", std::filesystem::copy_options::recursive);
  const Finished loaded = run(base, {"--load", "copy", "--turns", "0"});
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  expectLogsAtTheSavedTurn(base + "copy/", "after the full disk");
  EXPECT_GT(savedTurn(base + "copy/"), 0);

  ASSERT_TRUE(disk.makeReadOnly());
  const auto started = std::chrono::steady_clock::now();
  const Finished readOnly = run(base, {"--load", "disk/original_log", "--turns", "3000"});
  EXPECT_EQ(readOnly.exitCode, 1);
  EXPECT_NE(readOnly.err.find("Read-only file system"), std::string::npos) << readOnly.err;
  EXPECT_NE(readOnly.err.find("disk/original_log/"), std::string::npos) << readOnly.err;
  RecordProperty("read_only_refused_after_ms",
                 static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - started).count()));
}

// Names and files that once ended the program with an uncaught exception or a wrong message.
TEST(SaveFolderSafety, BadNamesAndFilesGetClearMessages) {
  const std::string base = freshFolder("names");
  writeBytes(base + "escape.gini", "../outside is where it would go\r\n1000\r\n0\r\n0\r\nzero\r\n");
  Finished r = run(base, {"--gene", "escape.gini", "--turns", "1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("escape.gini: the folder word \"../outside\" of its first line is no plain folder name"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(base + "../outside"));

  writeBytes(base + "long.gini", std::string(300, 'w') + " x\r\n");
  r = run(base, {"--gene", "long.gini", "--turns", "1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("is 300 characters long; a folder name holds at most 255"), std::string::npos) << r.err;

  r = run(base, {"--turns", "1", "--snapshot", std::string(300, 's') + "/w.view"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--snapshot: the folder"), std::string::npos) << r.err;

  ASSERT_EQ(run(base, {"--turns", "3", "--quiet"}).exitCode, 0);
  const std::string folder = base + "original_log/";
  for (const char* file : {"Ostrel.lives", "parameter.pini"}) {
    const std::string saved = readBytes(folder + file);
    std::filesystem::remove(folder + file);
    std::filesystem::create_directory(folder + file);
    r = run(base, {"--load", "original_log", "--turns", "1"});
    EXPECT_EQ(r.exitCode, 1) << file;
    EXPECT_NE(r.err.find("cannot read " + folder + file + ": it is a folder, not a file"), std::string::npos) << r.err;
    std::filesystem::remove(folder + file);
    writeBytes(folder + file, saved);
  }

  // A parameter file with keys missing loads, and says which keep their defaults.
  std::string parameters = readBytes(folder + "parameter.pini");
  parameters.erase(parameters.find("0.5 mField_capacity"), std::string("0.5 mField_capacity").size());
  writeBytes(folder + "parameter.pini", parameters);
  writeBytes(folder + "Ostrel.lives.tmpXy12Ab", "left by a killed save");
  r = run(base, {"--load", "original_log", "--turns", "1"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("parameter.pini sets no value for 1 key, which keep their defaults: mField_capacity"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(leftovers(folder).empty());

  writeBytes(folder + "Ostrel.lives", readBytes(folder + "Ostrel.lives").insert(27, "-"));
  r = run(base, {"--load", "original_log", "--turns", "1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot be negative"), std::string::npos) << r.err;
}

}  // namespace
