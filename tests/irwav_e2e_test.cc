// Runs the built converter in fresh directories and reads back what it
// wrote: the report, the file names, the headers, and the timing of every
// burst and gap against the code table.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "library/ir_codes.h"
#include "test_files.h"
#include "wav_reader.h"

namespace {

namespace fs = std::filesystem;

const char kReport[] =
    "Max carrier frequency: 43636 Hz\n"
    "Code rca skipped - freq = 55600 Hz\n"
    "Code thompson skipped - freq = 55600 Hz\n"
    "Code contec skipped - freq = 54070 Hz\n"
    "Code fisher skipped - freq = 44330 Hz\n"
    "Code ge skipped - freq = 54160 Hz\n"
    "Code kloss skipped - freq = 54070 Hz\n";

const std::set<size_t> kSkipped = {1, 27, 40, 49, 50, 53};

/// A scratch directory with a `work` folder to run in; removed afterwards.
struct E2eTest : ::testing::Test {
  fs::path root;
  fs::path work;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root =
        fs::temp_directory_path() / (std::string("irwav-e2e-") + info->name() + "-" +
                                     std::to_string(std::hash<std::string>()(IRWAV_PATH) % 100000));
    fs::remove_all(root);
    fs::create_directories(root / "work");
    work = root / "work";
  }
  void TearDown() override { fs::remove_all(root); }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };

  /// Runs the converter in `work` with `args`, after the shell commands in
  /// `setup`; its output lands beside it, or in `stdoutPath`. A run that
  /// hangs is ended after a minute.
  Result run(const std::string& args = "", const std::string& setup = "",
             std::string stdoutPath = "") {
    if (stdoutPath.empty()) stdoutPath = (root / "out").string();
    const std::string command = "cd '" + work.string() + "' && " + setup +
                                "timeout 60 '" IRWAV_PATH "' " + args + " > '" + stdoutPath +
                                "' 2> '" + (root / "err").string() + "'; echo $? > '" +
                                (root / "status").string() + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "shell failed: " << command;
    return {std::stoi(readText(root / "status")), readText(root / "out"), readText(root / "err")};
  }

  std::set<std::string> listing() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(work))
      names.insert(entry.path().filename().string());
    return names;
  }
};

/// Bursts and gaps of a sample stream, in frames.
struct Demodulated {
  std::vector<size_t> marks;
  std::vector<size_t> spaces;  ///< the gap after each mark; the last is the closing silence
};

Demodulated demodulate(const std::vector<StereoFrame>& frames) {
  // Runs of silent (0, 0) and sounding frames.
  std::vector<std::pair<bool, size_t>> runs;
  for (const StereoFrame& f : frames) {
    const bool loud = f.left != 0 || f.right != 0;
    if (runs.empty() || runs.back().first != loud)
      runs.push_back({loud, 1});
    else
      ++runs.back().second;
  }
  // A sine sampled near a zero crossing can give a silent frame or two
  // inside a burst; no real gap is that short.
  std::vector<std::pair<bool, size_t>> merged;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (!runs[i].first && runs[i].second < 4 && !merged.empty() && i + 1 < runs.size()) {
      merged.back().second += runs[i].second + runs[i + 1].second;
      ++i;
    } else {
      merged.push_back(runs[i]);
    }
  }
  // Every burst opens with a silent frame at phase 0: give it back.
  Demodulated d;
  for (size_t i = 0; i < merged.size(); ++i) {
    if (merged[i].first) {
      d.marks.push_back(merged[i].second + 1);
      if (i == 0) ADD_FAILURE() << "burst without its opening frame";
    } else {
      d.spaces.push_back(merged[i].second - (i + 1 < merged.size() ? 1 : 0));
    }
  }
  if (!d.spaces.empty() && !merged.empty() && !merged.front().first) {
    // The first silent run is only the opening frame of the first burst.
    EXPECT_EQ(d.spaces.front(), 0u);
    d.spaces.erase(d.spaces.begin());
  }
  return d;
}

/// Checks a WAV file against the code it was rendered from.
void expectCarriesCode(const std::vector<uint8_t>& file, const IrCode& code,
                       const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_GE(file.size(), 44u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(readLe(file, 4, 4), file.size() - 8);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(readLe(file, 16, 4), 16u);
  EXPECT_EQ(readLe(file, 20, 2), 1u);
  EXPECT_EQ(readLe(file, 22, 2), 2u);
  EXPECT_EQ(readLe(file, 24, 4), 48000u);
  EXPECT_EQ(readLe(file, 28, 4), 192000u);
  EXPECT_EQ(readLe(file, 32, 2), 4u);
  EXPECT_EQ(readLe(file, 34, 2), 16u);
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
  EXPECT_EQ(readLe(file, 40, 4), file.size() - 44);

  const Demodulated d = demodulate(stereoFrames(file, 44));
  std::vector<int32_t> marks, spaces;
  for (size_t i = 0; i < code.timingCount; i += 2) {
    marks.push_back(code.timings[i]);
    if (code.timings[i + 1] == 0) break;
    spaces.push_back(code.timings[i + 1]);
  }
  ASSERT_EQ(d.marks.size(), marks.size());
  ASSERT_EQ(d.spaces.size(), marks.size());
  // A burst is a whole number of carrier periods sampled into whole frames:
  // short by less than a period, long by less than a frame. A burst whose
  // last frame falls on a zero crossing reads as silent there, so a burst may
  // also look one frame shorter and the gap after it one frame longer.
  const double periodUs = 1e6 / (code.carrierHz & ~1u);
  const double frameUs = 1e6 / 48000;
  for (size_t i = 0; i < marks.size(); ++i) {
    const double wantUs = marks[i] * 10.0;
    const double gotUs = static_cast<double>(d.marks[i]) * frameUs;
    EXPECT_GT(gotUs, wantUs - periodUs - frameUs) << "mark " << i;
    EXPECT_LT(gotUs, wantUs + frameUs) << "mark " << i;
  }
  for (size_t i = 0; i < spaces.size(); ++i) {
    const double wantUs = spaces[i] * 10.0;
    const double gotUs = static_cast<double>(d.spaces[i]) * frameUs;
    EXPECT_GT(gotUs, wantUs - frameUs) << "space " << i;
    EXPECT_LT(gotUs, wantUs + 2 * frameUs) << "space " << i;
  }
  EXPECT_GE(d.spaces.back(), 1440u) << "closing silence";
  EXPECT_LE(d.spaces.back(), 1441u) << "closing silence";
}

TEST_F(E2eTest, WritesTheReportAndEveryRenderableCode) {
  const Result r = run();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kReport);
  EXPECT_EQ(r.err, "");

  std::set<std::string> expected;
  for (size_t i = 0; i < kIrCodeCount; ++i)
    if (!kSkipped.count(i)) expected.insert(fileNameOf(i));
  ASSERT_EQ(expected.size(), 48u);
  EXPECT_EQ(listing(), expected);
  EXPECT_TRUE(expected.count("  0_sony.wav"));
  EXPECT_TRUE(expected.count(" 52_jvc3.wav"));
  EXPECT_EQ(fs::file_size(work / "  0_sony.wav"), 18428u);

  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (kSkipped.count(i)) continue;
    expectCarriesCode(readBytes(work / fileNameOf(i)), *kIrCodes[i], fileNameOf(i));
  }
}

TEST_F(E2eTest, ArgumentsAreIgnoredAndRerunsReplaceFiles) {
  ASSERT_EQ(run().status, 0);
  const std::vector<uint8_t> first = readBytes(work / " 37_anam.wav");
  EXPECT_EQ(first.size(), 44u + 4u * 3937u);
  const Result again = run("--help extra words");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, kReport);
  EXPECT_EQ(readBytes(work / " 37_anam.wav"), first);
  EXPECT_EQ(fs::file_size(work / " 41_contec2.wav"), 44u + 4u * 3613u);
}

TEST_F(E2eTest, ANameTakenByADirectoryFailsThatFileOnly) {
  fs::create_directory(work / "  0_sony.wav");
  const Result r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, kReport);
  EXPECT_EQ(r.err, "irwav: cannot write \"  0_sony.wav\": Is a directory\n");
  EXPECT_TRUE(fs::is_directory(work / "  0_sony.wav"));
  EXPECT_EQ(listing().size(), 48u);
  expectCarriesCode(readBytes(work / "  2_panasonic.wav"), *kIrCodes[2], "panasonic");
}

TEST_F(E2eTest, AFileWhoseWritesFailIsNotLeftAsAWave) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  fs::create_symlink("/dev/full", work / "  2_panasonic.wav");
  const Result r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, kReport);
  EXPECT_EQ(r.err, "irwav: cannot write \"  2_panasonic.wav\": No space left on device\n");
  // The link is left as it was, neither removed nor replaced by a file.
  EXPECT_TRUE(fs::is_symlink(work / "  2_panasonic.wav"));
  EXPECT_EQ(fs::read_symlink(work / "  2_panasonic.wav"), "/dev/full");
  EXPECT_EQ(listing().size(), 48u);
  expectCarriesCode(readBytes(work / "  0_sony.wav"), *kIrCodes[0], "sony");
}

TEST_F(E2eTest, AFileThatFailsBehindALinkLeavesTheLinkAndItsFile) {
  std::ofstream(root / "target.wav") << "older content";
  fs::create_symlink(root / "target.wav", work / "  0_sony.wav");
  // Writes past 4 KiB fail with "File too large" instead of ending the run.
  const Result r = run("", "ulimit -f 8 && trap '' XFSZ && ");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("irwav: cannot write \"  0_sony.wav\": File too large\n"), std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_symlink(work / "  0_sony.wav"));
  EXPECT_EQ(readText(root / "target.wav"), "older content");
  // Every file is too large here; none leaves a temporary file behind in
  // either directory: work holds the link alone, and the link's directory
  // its target, work and the run's three outputs.
  EXPECT_EQ(listing().size(), 1u);
  EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 5);
}

TEST_F(E2eTest, ANamedPipeAtANameFailsThatFileWithoutWaiting) {
  ASSERT_EQ(::mkfifo((work / "  2_panasonic.wav").c_str(), 0666), 0);
  const Result r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, kReport);
  EXPECT_EQ(r.err, "irwav: cannot write \"  2_panasonic.wav\": Is a named pipe\n");
  EXPECT_TRUE(fs::is_fifo(work / "  2_panasonic.wav"));
  EXPECT_EQ(listing().size(), 48u);
}

TEST_F(E2eTest, AReportThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const Result r = run("", "", "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "irwav: cannot write to standard output\n");
  EXPECT_EQ(listing().size(), 48u);
}

}  // namespace
