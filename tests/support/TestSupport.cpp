#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
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

std::string SoundStat(const std::string& wave_file) {
  std::string out;
  const std::string command =
      "sox '" + wave_file + "' -n silence 1 0.02 2% reverse silence 1 0.02 2% reverse stat 2>&1";
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

double StatField(const std::string& stat, const std::string& field) {
  const size_t at = stat.find(field);
  return at == std::string::npos ? -1 : std::atof(stat.c_str() + stat.find(':', at) + 1);
}

void ConfineToLoopback() { setenv("HALLWIRE_INTERFACES", "lo", 0); }

int FinishRun(int gtest_result) {
  const auto* unit = ::testing::UnitTest::GetInstance();
  if (gtest_result == 0 && unit->test_to_run_count() > 0 && unit->skipped_test_count() == unit->test_to_run_count())
    return 77;
  return gtest_result;
}

}  // namespace hw::test
