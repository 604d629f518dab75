#include "plot/plot_test_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/scratch_root.h"

namespace vek::plot::test {

std::string freshFolder(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir = vek::test::scratchRoot() / "plot";
  dir /= std::string(info ? info->test_suite_name() : "suite") + "." + (info ? info->name() : "test") + "." + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string valueLog(const std::vector<double>& values) {
  std::ostringstream text;
  text.precision(10);
  for (std::size_t i = 0; i < values.size(); ++i) text << (i + 1) * 10 << ' ' << values[i] << "\r\n";
  return text.str();
}

ProgramRun runProgram(const std::string& program, const std::string& arguments, const std::string& folder,
                      const std::string& environment) {
  const std::string command = "cd '" + folder + "' && " + environment + " '" + program + "' " + arguments + " >'" +
                              folder + "stdout.txt' 2>'" + folder + "stderr.txt' </dev/null";
  const int status = std::system(command.c_str());
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFile(folder + "stdout.txt");
  run.err = readFile(folder + "stderr.txt");
  return run;
}

std::string batchWorld(const std::string& base, int turns) {
  const ProgramRun run = runProgram(VEK_BATCH_PROGRAM, "--turns " + std::to_string(turns) + " --quiet", base);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return base + "original_log/";
}

}  // namespace vek::plot::test
