#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hw::test {

TempDir::TempDir() {
  const char* home = std::getenv("HALLWIRE_TEST_HOME");
  std::string base = home ? std::string(home) + "/tmp" : std::filesystem::temp_directory_path().string();
  std::filesystem::create_directories(base);
  std::string pattern = base + "/hwtest-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

void ConfineToLoopback() { setenv("HALLWIRE_INTERFACES", "lo", 0); }

int FinishRun(int gtest_result) {
  const auto* unit = ::testing::UnitTest::GetInstance();
  if (gtest_result == 0 && unit->test_to_run_count() > 0 && unit->skipped_test_count() == unit->test_to_run_count())
    return 77;
  return gtest_result;
}

}  // namespace hw::test
