// Runs the built player against a real ALSA PCM: a configuration of the
// test's own makes the default PCM the `file` plugin over `null`, so every
// frame that reaches the device lands in a file. What was captured must be,
// byte for byte, the data the converter writes into its WAV files.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/ir_codes.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kHeaderBytes = 44;
constexpr size_t kFrameBytes = 4;
constexpr size_t kFramesPerMs = 48;

struct PlayE2eTest : ::testing::Test {
  fs::path root;
  fs::path work;
  fs::path capture;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = fs::temp_directory_path() / (std::string("irwav-play-e2e-") + info->name() + "-" +
                                        std::to_string(std::random_device()() % 1000000));
    fs::remove_all(root);
    work = root / "work";
    fs::create_directories(work);
    capture = root / "capture.raw";
    // Nothing of the system's ALSA configuration is read: this file is all
    // of it.
    std::ofstream(root / "asound.conf") << "pcm.!default {\n"
                                           "  type file\n"
                                           "  slave { pcm { type null } }\n"
                                           "  file \""
                                        << capture.string()
                                        << "\"\n"
                                           "  format \"raw\"\n"
                                           "}\n";
  }
  void TearDown() override { fs::remove_all(root); }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };

  Result run(const char* program, const std::string& args) {
    const std::string command =
        "cd '" + work.string() + "' && ALSA_CONFIG_PATH='" + (root / "asound.conf").string() +
        "' '" + program + "' " + args + " > '" + (root / "out").string() + "' 2> '" +
        (root / "err").string() + "' < /dev/null; echo $? > '" + (root / "status").string() + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "shell failed: " << command;
    return {std::stoi(readText(root / "status")), readText(root / "out"), readText(root / "err")};
  }

  /// Runs the converter and returns its report.
  std::string convert() {
    const Result r = run(IRWAV_PATH, "");
    EXPECT_EQ(r.status, 0);
    return r.out;
  }

  /// The sample data of code `index`'s WAV file, as the converter wrote it.
  std::string waveData(size_t index) {
    const std::string file = readText(work / fileNameOf(index));
    EXPECT_GT(file.size(), kHeaderBytes) << fileNameOf(index);
    return file.size() > kHeaderBytes ? file.substr(kHeaderBytes) : std::string();
  }

  static std::string silenceMs(size_t ms) {
    return std::string(ms * kFramesPerMs * kFrameBytes, '\0');
  }
};

#if IRWAV_HAVE_ALSA

TEST_F(PlayE2eTest, TheCapturedStreamIsTheWaveData) {
  convert();
  const std::string sony = waveData(0);
  // More than one 4096-frame block, so both halves of the buffer are used.
  ASSERT_GT(sony.size(), 4096 * kFrameBytes);
  const Result r = run(IRWAV_PLAY_PATH, "sony");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Playing 0 sony - freq = 40000 Hz\n");
  EXPECT_EQ(r.err, "");
  const std::string captured = readText(capture);
  EXPECT_EQ(captured.size(), sony.size());
  EXPECT_TRUE(captured == sony) << "the captured stream differs from the WAV data";
}

TEST_F(PlayE2eTest, CodesByNameAndIndexPlayInOrderWithTheGap) {
  convert();
  // The code with the longest file, named by its index.
  size_t longest = 0;
  for (size_t i = 1; i < kIrCodeCount; ++i) {
    if (fs::exists(work / fileNameOf(i)) &&
        (longest == 0 ||
         fs::file_size(work / fileNameOf(i)) > fs::file_size(work / fileNameOf(longest))))
      longest = i;
  }
  ASSERT_NE(longest, 0u);
  const Result r = run(IRWAV_PLAY_PATH, "--gap 120 rca SONY " + std::to_string(longest));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Code rca skipped - freq = 55600 Hz (--rate 96000 plays it)\n"
            "Playing 0 sony - freq = 40000 Hz\n"
            "Playing " +
                std::to_string(longest) + " " + kIrCodeNames[longest] +
                " - freq = " + std::to_string(kIrCodes[longest]->carrierHz) + " Hz\n");
  EXPECT_TRUE(readText(capture) == waveData(0) + silenceMs(120) + waveData(longest))
      << "the captured stream differs from the WAV data";
}

TEST_F(PlayE2eTest, WithoutArgumentsEveryCodePlaysWithTheDefaultGap) {
  const std::string report = convert();
  const Result r = run(IRWAV_PLAY_PATH, "");
  EXPECT_EQ(r.status, 0) << r.err;
  std::string expected;
  std::string skipLines;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    // The player adds the rate that would play the code.
    if (line.rfind("Code ", 0) == 0) skipLines += line.substr(0, line.find(" (--rate")) + "\n";
  }
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (!fs::exists(work / fileNameOf(i))) continue;
    if (!expected.empty()) expected += silenceMs(500);
    expected += waveData(i);
  }
  // The converter's report, less its first line, names the same skipped codes.
  EXPECT_EQ(skipLines, report.substr(report.find('\n') + 1));
  EXPECT_TRUE(readText(capture) == expected) << "the captured stream differs from the WAV data";
}

TEST_F(PlayE2eTest, OutputHoldsExactlyTheStreamTheSoundCardGets) {
  const std::string args =
      "--rate 96000 --gap 40 --brand thomson --code nec1:4:8 "
      "--pronto '0000 006D 0000 0002 0010 0010 0010 0200' sony";
  const Result written = run(IRWAV_PLAY_PATH, "--output all.wav " + args);
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_FALSE(fs::exists(capture));
  const Result played = run(IRWAV_PLAY_PATH, args);
  EXPECT_EQ(played.status, 0) << played.err;
  const std::string file = readText(work / "all.wav");
  ASSERT_GT(file.size(), kHeaderBytes + 96000);
  EXPECT_EQ(file.substr(24, 4), std::string("\x00\x77\x01\x00", 4));  // 96000 Hz
  EXPECT_TRUE(file.substr(kHeaderBytes) == readText(capture))
      << "the file's data differs from the captured stream";
  // The report names the same codes, with where each starts in the file.
  EXPECT_EQ(written.out.substr(0, written.out.find('\n')),
            "Writing 27 thompson - freq = 55600 Hz, at 0.000 s");
  EXPECT_NE(written.out.find("Writing pronto 1 - freq = 38029 Hz, at "), std::string::npos);
}

TEST_F(PlayE2eTest, OutputOfOneTableCodeIsItsConverterFile) {
  convert();
  const Result r = run(IRWAV_PLAY_PATH, "--output sony.wav 0");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Writing 0 sony - freq = 40000 Hz, at 0.000 s\n");
  EXPECT_TRUE(readText(work / "sony.wav") == readText(work / fileNameOf(0)));
}

TEST_F(PlayE2eTest, WhenNothingCanPlayNothingIsOpenedAndTheStatusIsOne) {
  for (const char* args : {"rca", "--output x.wav ge kloss"}) {
    const Result r = run(IRWAV_PLAY_PATH, args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.err, "irwav-play: nothing to play: no code asked for renders at 48000 Hz\n");
    EXPECT_FALSE(fs::exists(capture));
    EXPECT_FALSE(fs::exists(work / "x.wav"));
  }
  const Result r = run(IRWAV_PLAY_PATH, "--output /nonexistent/x.wav sony");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("irwav-play: cannot write \"/nonexistent/x.wav\": ", 0), 0u) << r.err;
}

TEST_F(PlayE2eTest, AnUnknownDeviceEndsWithStatusOneBeforeAnythingPlays) {
  const Result r = run(IRWAV_PLAY_PATH, "--device nosuchpcm sony");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("irwav-play: cannot open audio device \"nosuchpcm\": ", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(capture));
}

#else

TEST_F(PlayE2eTest, WithoutAnAudioServiceTheDeviceCannotBeOpened) {
  const Result r = run(IRWAV_PLAY_PATH, "sony");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "irwav-play: cannot open audio device \"default\": no audio device is available in "
            "this build\n");
}

#endif

TEST_F(PlayE2eTest, BadArgumentsEndWithStatusTwoAndPlayNothing) {
  for (const char* args :
       {"sony nosuch", "--gap", "--volume 3 sony", "54", "--rate 22050 sony", "sony --brand nosuch",
        "sony --code nec1:256:1", "--pronto 0000 sony", "--output out.wav --code rc9:1:2 sony"}) {
    const Result r = run(IRWAV_PLAY_PATH, args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err.rfind("irwav-play: ", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(capture)) << args;
    EXPECT_FALSE(fs::exists(work / "out.wav")) << args;
  }
  // Help wins over whatever else the line holds.
  const Result r = run(IRWAV_PLAY_PATH, "--bogus --help sony");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: irwav-play ", 0), 0u) << r.out;
}

}  // namespace
