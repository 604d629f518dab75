#include "tests/test_support.h"

#include <filesystem>

#include "tests/scratch_root.h"

namespace vek::test {

std::string freshFolder(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir = scratchRoot();
  dir /= std::string(info ? info->test_suite_name() : "suite") + "." + (info ? info->name() : "test") + "." + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

}  // namespace vek::test
