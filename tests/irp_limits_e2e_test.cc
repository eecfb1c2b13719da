// The player's --irp at its limits, run as a user runs it: values as wide
// as the IRP's numbers, definitions that use each other many times, and
// notation that is refused with status 2 and the place it went wrong.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string kWide = "'{38k,500}<1,-1|1,-3>(1,-1,D:48,-10)[D:0..0xFFFFFFFFFFFF]'";

struct IrpLimitsTest : ::testing::Test {
  fs::path root;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = fs::temp_directory_path() / (std::string("irwav-irp-limits-") + info->name() + "-" +
                                        std::to_string(std::random_device()() % 1000000));
    fs::remove_all(root);
    fs::create_directories(root);
  }
  void TearDown() override { fs::remove_all(root); }

  struct Result {
    int status;
    std::string err;
    double seconds;
  };

  /// Runs irwav-play with `args` in `root`, for at most 20 s (status 137 past that).
  Result play(const std::string& args) {
    const std::string command = "cd '" + root.string() +
                                "' && timeout -s KILL 20 '" IRWAV_PLAY_PATH "' -q " + args +
                                " > out 2> err < /dev/null; echo $? > status";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "shell failed: " << command;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {std::stoi(readText(root / "status")), readText(root / "err"), took.count()};
  }
};

TEST_F(IrpLimitsTest, ValuesAsWideAsTheIrpsNumbersAndTheRestRefusedByName) {
  ASSERT_EQ(play("--output wide.wav --irp " + kWide + " D=0x123456789A").status, 0);
  ASSERT_EQ(play("--output cut.wav --irp " + kWide + " D=0x100000000").status, 0);
  EXPECT_TRUE(readText(root / "wide.wav") != readText(root / "cut.wav"));

  const struct {
    std::string value;
    std::string inMessage;
  } refused[] = {
      {"0x1000000000000", "IRP parameter D 0x1000000000000 is out of range 0..281474976710655"},
      {"99999999999999999999", "IRP parameter D 99999999999999999999 is too large"},
      {"0x10000000000000000", "IRP parameter D 0x10000000000000000 is too large"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.value);
    const Result result = play("--output refused.wav --irp " + kWide + " D=" + r.value);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(r.inMessage), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(root / "refused.wav"));
  }
}

TEST_F(IrpLimitsTest, AnyIrpEndsWithinASecondAndBadNotationIsNamedWhereItIs) {
  // Ten definitions each using the next ten times.
  std::string definitions = "{";
  for (char name = 'A'; name < 'K'; ++name) {
    definitions += std::string(1, name) + "=";
    for (int use = 0; use < 10; ++use)
      definitions += (use == 0 ? "" : "*") + std::string(1, static_cast<char>(name + 1));
    definitions += ",";
  }
  definitions += "K=1}";
  const Result nested =
      play("--output nested.wav --irp '{38k,564}<1,-1|1,-3>(A:8,1,-20)" + definitions + "'");
  EXPECT_EQ(nested.status, 0) << nested.err;
  EXPECT_LT(nested.seconds, 1.0);

  const struct {
    std::string irp;
    std::string inMessage;
  } refused[] = {
      {"'{38k,1234567890123456789}(1)'", "a number of more than 15 digits at character 6"},
      {"'{38k,500}<1,-1|1,-3>(1,-1,D:8,-10)[D:0..255,D:0..3]' D=1",
       "parameter D listed twice at character 45"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.irp);
    const Result result = play("--output refused.wav --irp " + r.irp);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(r.inMessage), std::string::npos) << result.err;
  }
}

}  // namespace
