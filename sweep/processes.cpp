#include "sweep/processes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vek::sweep {

namespace {

sigset_t stoppingSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

int exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// In the child after fork: only async-signal-safe calls until exec.
[[noreturn]] void becomeChild(const std::vector<char*>& argv, const ChildSetup& setup, const sigset_t& mask) {
  sigprocmask(SIG_SETMASK, &mask, nullptr);
  if (!setup.directory.empty() && chdir(setup.directory.c_str()) != 0) _exit(126);
  if (setup.noInput) {
    const int input = open("/dev/null", O_RDONLY);
    if (input >= 0) dup2(input, STDIN_FILENO);
  }
  if (!setup.outputFile.empty()) {
    const int output = open(setup.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (output < 0) _exit(126);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
  }
  execv(argv[0], argv.data());
  _exit(127);
}

}  // namespace

std::string shellQuoted(const std::string& text) {
  const bool plain = !text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                             "0123456789_-+=./:,@%") == std::string::npos;
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string shellCommand(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + shellQuoted(argument);
  return line;
}

std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    std::string folder = folders.substr(start, end - start);
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

std::string siblingProgram(const std::string& name) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path sibling = self.parent_path() / name;
  return access(sibling.c_str(), X_OK) == 0 ? sibling.string() : std::string();
}

std::string selfProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

ChildOutcome runChild(const std::vector<std::string>& arguments, const ChildSetup& setup) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  // Stopping signals and the child's end are all taken by sigwait, in order, on this thread.
  sigset_t watched = stoppingSignals();
  sigaddset(&watched, SIGCHLD);
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &watched, &previous);
  ChildOutcome outcome;
  const pid_t child = fork();
  if (child < 0) {
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    outcome.error = std::string("cannot start ") + arguments.front() + ": " + std::strerror(errno);
    return outcome;
  }
  if (child == 0) becomeChild(argv, setup, previous);

  int status = 0;
  for (;;) {
    const pid_t ended = waitpid(child, &status, WNOHANG);
    if (ended == child) break;
    int signal = 0;
    if (sigwait(&watched, &signal) != 0 || signal == SIGCHLD) continue;
    if (outcome.signalReceived == 0) outcome.signalReceived = signal;
    kill(child, signal == SIGINT ? SIGINT : SIGTERM);
  }
  // Signals that came with the child's end are taken here, so none is left pending.
  struct timespec none = {0, 0};
  const sigset_t stopping = stoppingSignals();
  for (int signal; (signal = sigtimedwait(&stopping, nullptr, &none)) > 0;)
    if (outcome.signalReceived == 0) outcome.signalReceived = signal;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  outcome.exitCode = exitCodeOf(status);
  if (outcome.exitCode == 127 && !std::filesystem::exists(arguments.front()))
    outcome.error = "cannot start " + arguments.front() + ": no such program";
  return outcome;
}

int runCapturing(const std::vector<std::string>& arguments, std::string& output) {
  FILE* pipe = popen((shellCommand(arguments) + " </dev/null").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, read);
  const int status = pclose(pipe);
  return status < 0 ? -1 : exitCodeOf(status);
}

}  // namespace vek::sweep
