// Other programs as the sweep starts them: vek-batch for a run, GNU parallel and sbatch for
// the engines. A program started here is the only child of its caller while it runs, and the
// caller passes on the signals that would stop it (Ctrl-C, a termination, a hang-up), so the
// child can end its work in order (vek-batch saves its world) before both end.
//
// Call from the program's main thread only: the signal mask is the process's.
#pragma once

#include <string>
#include <vector>

namespace vek::sweep {

// `text` as one word of a POSIX shell command (quoted only when it needs to be).
std::string shellQuoted(const std::string& text);
// The arguments as one shell command line.
std::string shellCommand(const std::vector<std::string>& arguments);

// The full path of `name` found on PATH, or "" when it is not installed.
std::string findProgram(const std::string& name);
// The full path of `name` in the folder of the running program (the build's bin/ or where it
// is installed), or "" when there is no such program there.
std::string siblingProgram(const std::string& name);
// The full path of the running program.
std::string selfProgram();

struct ChildSetup {
  std::string directory;   // the child's working folder ("" to keep the caller's)
  std::string outputFile;  // standard output and error appended to this file ("" to keep them)
  bool noInput = true;     // standard input from /dev/null
};

struct ChildOutcome {
  int exitCode = -1;        // the child's, or 128 + the signal that ended it
  int signalReceived = 0;   // the first stopping signal that came while it ran (0: none)
  std::string error;        // when the child could not be started
};

// Runs `arguments` (the program first) and waits for it. SIGINT is passed on as SIGINT, SIGTERM
// and SIGHUP as SIGTERM.
ChildOutcome runChild(const std::vector<std::string>& arguments, const ChildSetup& setup);

// Runs `arguments` and returns its standard output in `output` (standard error passes
// through). Returns the exit code, or -1 when it could not be started.
int runCapturing(const std::vector<std::string>& arguments, std::string& output);

}  // namespace vek::sweep
