#include "sweep/sweep_test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "sweep/csv.h"
#include "tests/test_support.h"

namespace vek::sweep::test {

Command runShell(const std::string& folder, const std::string& command) {
  const std::string out = folder + ".stdout.txt", err = folder + ".stderr.txt";
  const std::string line = "cd '" + folder + "' && ( " + command + " ) >'" + out + "' 2>'" + err + "' </dev/null";
  const int status = std::system(line.c_str());
  Command run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = vek::test::readBytes(out);
  run.err = vek::test::readBytes(err);
  return run;
}

int startSweep(const std::string& folder, const std::string& arguments) {
  const std::string line = "cd '" + folder + "' && exec '" VEK_BIN_DIR "/vek-sweep' " + arguments + " >'" + folder +
                           ".stdout.txt' 2>'" + folder + ".stderr.txt' </dev/null";
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int waitForExit(int pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Command runSweep(const std::string& folder, const std::string& arguments) {
  return runShell(folder, "'" VEK_BIN_DIR "/vek-sweep' " + arguments);
}

std::string writeFile(const std::string& folder, const std::string& name, const std::string& text) {
  std::ofstream(folder + name, std::ios::binary) << text;
  return folder + name;
}

std::string summaryOfRunsAlone(const std::string& experimentFile, const std::string& folder) {
  const Command plan = runSweep(folder, "plan '" + experimentFile + "' --out alone");
  EXPECT_EQ(plan.exitCode, 0) << plan.err;
  std::ifstream commands(folder + "alone/commands.txt");
  for (std::string line; std::getline(commands, line);) {
    const Command run = runShell(folder + "alone", line);
    EXPECT_EQ(run.exitCode, 0) << line << "\n" << run.err;
  }
  const Command collect = runSweep(folder, "collect alone");
  EXPECT_EQ(collect.exitCode, 0) << collect.err;
  return vek::test::readBytes(folder + "alone/summary.csv");
}

std::vector<std::string> csvLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Plan planIn(const std::string& directory) {
  PlanOutcome loaded = loadPlan(directory);
  EXPECT_TRUE(loaded.plan) << loaded.error;
  return loaded.plan ? *loaded.plan : Plan{};
}

bool waitFor(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

std::vector<int> attemptExitCodes(const std::string& runFolder) {
  std::vector<int> codes;
  std::ifstream in(runFolder + "attempts.csv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) codes.push_back(std::stoi(csvFields(line).back()));
  return codes;
}

}  // namespace vek::sweep::test
