#ifndef IRWAV_TESTS_SHELL_TEST_H_
#define IRWAV_TESTS_SHELL_TEST_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "test_files.h"

/// A test that runs shell commands in a directory of its own, `work`, made
/// for each test under `root` (named by `prefix` and the test) and removed
/// afterwards.
struct ShellTest : ::testing::Test {
  std::filesystem::path root;
  std::filesystem::path work;

  explicit ShellTest(const char* prefix) : prefix_(prefix) {}

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = std::filesystem::temp_directory_path() /
           (prefix_ + info->name() + "-" + std::to_string(std::random_device()() % 1000000));
    std::filesystem::remove_all(root);
    work = root / "work";
    std::filesystem::create_directories(work);
  }
  void TearDown() override { std::filesystem::remove_all(root); }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };

  /// Runs the shell command `command` in `work` with standard error, and
  /// unless `command` redirects it, standard output, beside it; standard
  /// input is empty.
  Result run(const std::string& command) {
    const std::string line = "cd '" + work.string() + "' && " + command + " > '" +
                             (root / "out").string() + "' 2> '" + (root / "err").string() +
                             "' < /dev/null; echo $? > '" + (root / "status").string() + "'";
    if (std::system(line.c_str()) != 0) ADD_FAILURE() << "shell failed: " << line;
    return {std::stoi(readText(root / "status")), readText(root / "out"), readText(root / "err")};
  }

  /// The names in `dir`, hidden ones too.
  static std::set<std::string> listing(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      names.insert(entry.path().filename().string());
    return names;
  }

 private:
  std::string prefix_;
};

#endif  // IRWAV_TESTS_SHELL_TEST_H_
