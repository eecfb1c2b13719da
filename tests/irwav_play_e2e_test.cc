// Runs the built player against a real ALSA PCM: a configuration of the
// test's own makes the default PCM the `file` plugin over `null`, so every
// frame that reaches the device lands in a file. What was captured must be,
// byte for byte, the data the converter writes into its WAV files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "library/ir_codes.h"
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

  /// Runs `program` with `args` in `work`; its standard output lands in
  /// `stdoutPath`, or beside `work`.
  Result run(const char* program, const std::string& args, std::string stdoutPath = "") {
    if (stdoutPath.empty()) stdoutPath = (root / "out").string();
    const std::string command = "cd '" + work.string() + "' && ALSA_CONFIG_PATH='" +
                                (root / "asound.conf").string() + "' '" + program + "' " + args +
                                " > '" + stdoutPath + "' 2> '" + (root / "err").string() +
                                "' < /dev/null; echo $? > '" + (root / "status").string() + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "shell failed: " << command;
    return {std::stoi(readText(root / "status")), readText(root / "out"), readText(root / "err")};
  }

  /// Runs the bash pipeline `pipeline` in `work`, the player's path in
  /// $PLAY, its first command reading nothing; its standard output and
  /// error land as run's do, and its status is that of the last command that
  /// failed.
  Result runPipeline(const std::string& pipeline) {
    std::ofstream(root / "pipeline.sh")
        << "set -o pipefail\ncd '" << work.string() << "'\nexport ALSA_CONFIG_PATH='"
        << (root / "asound.conf").string() << "'\nPLAY='" << IRWAV_PLAY_PATH << "'\n(" << pipeline
        << ") < /dev/null > ../out 2> ../err\necho $? > ../status\n";
    const std::string command = "bash '" + (root / "pipeline.sh").string() + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "shell failed: " << pipeline;
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
  // rca, named but beyond the rate, is an error after the others played.
  const Result r = run(IRWAV_PLAY_PATH, "--gap 120 rca SONY " + std::to_string(longest));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.err,
            "irwav-play: rca was not played: a 55600 Hz carrier does not render at 48000 Hz "
            "(--rate 96000 plays it)\n");
  EXPECT_EQ(r.out,
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

/// How a run of the player on every code ended when `signal` came after the
/// first `before` bytes had played.
struct SignalledRun {
  int waitStatus = -1;
  size_t played = 0;
  std::string err;
};

/// Runs the player on every code with its device writing into a named pipe
/// that this test reads, so the player goes no faster than the test reads;
/// sends `signal` once `before` bytes have come, then reads to the end. With
/// `ignored`, the player starts with the signal ignored.
SignalledRun playAndSignal(const fs::path& root, const fs::path& work, int signal, size_t before,
                           bool ignored) {
  SignalledRun run;
  const fs::path pipe = root / "device.pipe";
  const fs::path config = root / "pipe.conf";
  EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::ofstream(config) << "pcm.!default { type file slave { pcm { type null } } file \""
                        << pipe.string() << "\" format \"raw\" }\n";
  const int fd = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_GE(fd, 0);
  const pid_t player = ::fork();
  if (player == 0) {
    // Whatever this test inherited (a background job ignores SIGINT).
    std::signal(signal, ignored ? SIG_IGN : SIG_DFL);
    ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    if (::chdir(work.c_str()) != 0 || !std::freopen("/dev/null", "w", stdout) ||
        !std::freopen((root / "err").c_str(), "w", stderr))
      ::_exit(127);
    ::execl(IRWAV_PLAY_PATH, "irwav-play", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool signalled = false;
  for (;;) {
    pollfd p = {fd, POLLIN, 0};
    if (::poll(&p, 1, 30000) != 1) {
      ADD_FAILURE() << "the player neither plays nor ends";
      ::kill(player, SIGKILL);
      break;
    }
    char chunk[65536];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EAGAIN) continue;
    if (n <= 0) break;  // the player closed its device
    run.played += static_cast<size_t>(n);
    if (!signalled && run.played >= before) {
      ::kill(player, signal);
      signalled = true;
    }
  }
  ::close(fd);
  ::waitpid(player, &run.waitStatus, 0);
  run.err = readText(root / "err");
  return run;
}

TEST_F(PlayE2eTest, ASignalStopsAfterTheSoundOnItsWayAndEndsThePlayerByThatSignal) {
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    fs::remove(root / "device.pipe");
    const SignalledRun r = playAndSignal(root, work, signal, 200000, false);
    EXPECT_TRUE(WIFSIGNALED(r.waitStatus) && WTERMSIG(r.waitStatus) == signal) << r.waitStatus;
    EXPECT_EQ(r.err, "irwav-play: stopped\n");
    // What the device held then, and no more: half a second of buffer, a
    // pipe's worth, two blocks. Every code would be over 4 MB.
    EXPECT_LT(r.played, 200000u + 96000 + 65536 + 2 * 16384 + 65536) << r.played;
  }
  // Ignored when the player started, the signal stays ignored.
  fs::remove(root / "device.pipe");
  const SignalledRun r = playAndSignal(root, work, SIGTERM, 200000, true);
  EXPECT_TRUE(WIFEXITED(r.waitStatus) && WEXITSTATUS(r.waitStatus) == 0) << r.waitStatus;
  EXPECT_GT(r.played, 4000000u);
}

TEST_F(PlayE2eTest, AStoppedOutputEndsWithinASecondAndLeavesNoFile) {
  // Forty codes of 8.6 s at 192000 Hz: 265 MB, seconds of rendering.
  std::vector<std::string> args = {"irwav-play", "--rate",   "192000", "--gap",
                                   "0",          "--output", "big.wav"};
  for (int i = 0; i < 40; ++i) {
    args.push_back("--pronto");
    args.push_back("0000 006D 0000 0003 FFFF FFFF FFFF FFFF FFFF FFFF");
  }
  const pid_t player = ::fork();
  if (player == 0) {
    std::signal(SIGTERM, SIG_DFL);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (::chdir(work.c_str()) != 0 || !std::freopen("/dev/null", "w", stdout) ||
        !std::freopen((root / "err").c_str(), "w", stderr))
      ::_exit(127);
    ::execv(IRWAV_PLAY_PATH, argv.data());
    ::_exit(127);
  }
  ::usleep(300000);
  const auto signalled = std::chrono::steady_clock::now();
  ::kill(player, SIGTERM);
  int status = 0;
  ::waitpid(player, &status, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(1));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(readText(root / "err"), "irwav-play: stopped\n");
  EXPECT_FALSE(fs::exists(work / "big.wav"));
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
            "Writing thomson thomson:12:46 - freq = 33000 Hz, at 0.000 s");
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
    const std::string last = "irwav-play: nothing to play: no code asked for renders at 48000 Hz\n";
    EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), last.size())), last) << r.err;
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

TEST_F(PlayE2eTest, AListThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const Result r = run(IRWAV_PLAY_PATH, "--list", "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "irwav-play: cannot write to standard output\n");
}

TEST_F(PlayE2eTest, ListingsForProgramsHoldTheTablesRowsAndTheJsonParses) {
  const std::string codes =
      "--brand sharp sony rca --code rc6:0:12:t=1 --pronto '0000 006D 0000 0002 0010 0010 0010 "
      "0200'";
  const Result table = run(IRWAV_PLAY_PATH, "--list " + codes);
  const Result tsv = run(IRWAV_PLAY_PATH, "--list --format tsv " + codes);
  ASSERT_EQ(table.status, 0) << table.err;
  ASSERT_EQ(tsv.status, 0) << tsv.err;
  // Each TSV row holds the table row's index, name, carrier, marks and
  // outcome, in the same order.
  std::istringstream tableLines(table.out);
  std::istringstream tsvLines(tsv.out);
  std::string tableLine;
  std::string tsvLine;
  std::getline(tableLines, tableLine);
  std::getline(tsvLines, tsvLine);
  EXPECT_EQ(tsvLine,
            "index\tname\tbrand\tprotocol\tdevice\tsubdevice\tfunction\textra\tcarrier\tmarks\t"
            "documented\tsource\trenders");
  size_t rows = 0;
  while (std::getline(tableLines, tableLine)) {
    ASSERT_TRUE(std::getline(tsvLines, tsvLine)) << "no TSV row for " << tableLine;
    std::vector<std::string> f;
    std::istringstream fields(tsvLine);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    ASSERT_EQ(f.size(), 13u) << tsvLine;
    std::ostringstream expected;
    expected << std::setw(5) << (f[0].empty() ? "-" : f[0]) << "  " << std::left
             << std::setw(static_cast<int>(tableLine.find_first_of("0123456789", 7) - 7)) << f[1];
    EXPECT_EQ(tableLine.substr(0, expected.str().size()), expected.str());
    std::istringstream rest(tableLine.substr(expected.str().size()));
    std::string carrier, marks, outcome;
    rest >> carrier >> marks >> outcome;
    EXPECT_EQ(carrier + " " + marks + " " + outcome,
              f[8] + " " + f[9] + " " + (f[12] == "true" ? "rendered" : "skipped"));
    ++rows;
  }
  EXPECT_FALSE(std::getline(tsvLines, tsvLine)) << "a TSV row too many: " << tsvLine;
  EXPECT_EQ(rows, 15u);  // sharp's 11, sony, rca, the RC6 code, the Pronto one
  EXPECT_NE(tsv.out.find("\n\trc6:0:12:t=1\t\tRC6\t0\t\t12\tt=1\t36000\t"), std::string::npos);
  // A library code is described by its row.
  EXPECT_NE(tsv.out.find("\n\tsharp nec1:0.127:10\tsharp\tNEC1\t0\t127\t10\t\t38400\t36\ttrue\t"),
            std::string::npos);

  // A JSON reader of its own turns the array back into the TSV's rows.
  if (std::system("python3 -c '' 2>/dev/null") != 0) GTEST_SKIP() << "no python3 to read JSON";
  const Result json =
      runPipeline("\"$PLAY\" --list --format=json " + codes +
                  " | python3 -c 'import json, sys\n"
                  "for r in json.load(sys.stdin):\n"
                  "  v = [\"\" if x is None else str(x).lower() if x in (True, False) "
                  "else str(x) for x in r.values()]\n"
                  "  print(\"\\t\".join(v))'");
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out, tsv.out.substr(tsv.out.find('\n') + 1));
  // --brands says for programs what its table counts: a record per code.
  const Result brands = runPipeline(
      "\"$PLAY\" --brands --format json | python3 -c 'import json, "
      "sys; print(len(json.load(sys.stdin)))'");
  const Result counts =
      runPipeline("\"$PLAY\" --brands | awk 'NR > 1 { n += $2 } END { print n }'");
  EXPECT_GT(std::stoi("0" + brands.out), 100);
  EXPECT_EQ(brands.out, counts.out);
}

TEST_F(PlayE2eTest, OutputDashWritesTheSameWaveToAPipeAndTheReportToStandardError) {
  const std::string args =
      "--rate 96000 --gap 37 --repeat 2 --brand sony rca --pronto '0000 "
      "006D 0000 0002 0010 0010 0010 0200'";
  const Result file = run(IRWAV_PLAY_PATH, "--output file.wav " + args);
  EXPECT_EQ(file.status, 0) << file.err;
  const Result piped = runPipeline("\"$PLAY\" --output - " + args + " | cat > piped.wav");
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.out, "");
  EXPECT_EQ(piped.err, file.out);
  const std::string wave = readText(work / "file.wav");
  ASSERT_GT(wave.size(), 96000u);
  EXPECT_TRUE(readText(work / "piped.wav") == wave) << "the piped WAV differs from the file";
  // A file named "-" is "./-".
  EXPECT_EQ(run(IRWAV_PLAY_PATH, "--output ./- " + args).status, 0);
  EXPECT_TRUE(readText(work / "-") == wave);

  // A terminal, which would show the samples as text, is refused.
  if (std::system("command -v script > /dev/null") == 0) {
    const Result tty =
        runPipeline("script -qec '\"'$PLAY'\" --output - sony' /dev/null | tr -d '\\r'");
    EXPECT_EQ(tty.status, 1);
    EXPECT_EQ(tty.out,
              "irwav-play: cannot write standard output: standard output is a terminal; pipe it "
              "into a player\n");
  }
  // What no WAV file can hold is refused before a byte goes out.
  const Result huge = run(IRWAV_PLAY_PATH, "--output - --gap 60000 --repeat 100 --brand all");
  EXPECT_EQ(huge.status, 1);
  EXPECT_EQ(huge.out, "");
  EXPECT_NE(huge.err.find("than a WAV file can hold"), std::string::npos) << huge.err;
}

TEST_F(PlayE2eTest, TenThousandNamingsOfEveryBrandShareOneSetOfCodes) {
  std::string args;
  for (int i = 0; i < 10000; ++i) args += i % 2 ? " --brand all" : " --brand=ALL";
  // A sanitizer build keeps freed memory aside for a while; a small
  // quarantine keeps that from counting as the player's.
  const Result r = runPipeline(
      "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=8\" \"$PLAY\" --list" +
      args + " > /dev/null");
  EXPECT_EQ(r.status, 0) << r.err;
  rusage children{};
  ::getrusage(RUSAGE_CHILDREN, &children);
  // Copies of every code for each argument took over 600 MB; shared, the
  // player stays within a few MB (some 30 with a sanitizer).
  EXPECT_LT(children.ru_maxrss, 64 * 1024) << "KiB at most, of the largest child";
}

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

TEST_F(PlayE2eTest, TheKindsOnTheCommandLine) {
  // Each kind's brands and sweep; a brand of another kind says where it is.
  Result r = run(IRWAV_PLAY_PATH, "--kind audio --brands --format tsv");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\tyamaha\tNEC1\t122\t"), std::string::npos);
  EXPECT_EQ(r.out.find("\tsharp\t"), std::string::npos);  // a TV brand only
  r = run(IRWAV_PLAY_PATH, "--kind projector --brand bose");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "irwav-play: no projector named \"bose\": bose is known as tv, audio; try "
            "--kind audio\n");
  r = run(IRWAV_PLAY_PATH, "--kind=fridge --brands");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("tv|audio|projector|box, not \"fridge\""), std::string::npos) << r.err;
  // The last --kind holds, wherever it stands.
  const Result box = run(IRWAV_PLAY_PATH, "--kind tv --list --brand all --kind box");
  EXPECT_EQ(box.status, 0) << box.err;
  EXPECT_EQ(box.out.find("\n    -  directv directv_p3:12:16 "), box.out.find('\n'));
  EXPECT_EQ(box.out.find(" sony sony12:1:21 "), std::string::npos);  // the TVs' first

  // --keys all: every key code, as --code takes it, for programs.
  r = runPipeline(
      "\"$PLAY\" --keys all --kind projector --format json | python3 -c 'import "
      "json, sys\nrows = json.load(sys.stdin)\nprint(len(rows), "
      "set(r[\"kind\"] for r in rows), rows[0][\"code\"])'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "809 {'projector'} nec2:131.85:144\n");
  r = runPipeline("\"$PLAY\" --keys all --format tsv | cut -f 2 | sort | uniq -c");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "   2707 audio\n   3088 box\n      1 kind\n    809 projector\n   2245 tv\n");

  // A key of an audio family by --code, as --keys all writes it; a family
  // that several kinds have is the --kind's, one of another kind only is
  // found as well.
  r = run(IRWAV_PLAY_PATH, "--list --kind audio --code nec1:122:volume_up");
  EXPECT_EQ(r.status, 0) << r.err;
  r = run(IRWAV_PLAY_PATH, "--list --code nec1:122:volume_up");
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* kind : {"tv", "box", "projector"}) {
    r = run(IRWAV_PLAY_PATH, std::string("--keys nec1:1 --kind ") + kind);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(std::string("NEC1:1 (") + kind + "): the keys of ", 0), 0u) << r.out;
  }

  // A projector's power-off pressed twice, about 1.5 s apart.
  r = run(IRWAV_PLAY_PATH, "--kind projector --power off --brand jvc --output once.wav");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("jvc jvc:115:6: its sources say that switching off takes a second press; "
                       "--confirm sends it"),
            std::string::npos)
      << r.err;
  r = run(IRWAV_PLAY_PATH, "--kind projector --power off --brand jvc --confirm --output twice.wav");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("Writing jvc jvc:115:6 twice"), std::string::npos) << r.out;
  const uintmax_t once = fs::file_size(work / "once.wav");
  const uintmax_t twice = fs::file_size(work / "twice.wav");
  EXPECT_GT(twice, once + 2 * 1500 * kFramesPerMs * kFrameBytes);
  r = run(IRWAV_PLAY_PATH, "--confirm --brand sony --list");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("option --confirm goes with a projector's power-off"), std::string::npos);
}

TEST_F(PlayE2eTest, PowerGivenTwiceQuietAndSirc20) {
  // The last --power holds for every --brand, wherever it stands.
  for (const char* args : {"--list --power off --brand sony --power on",
                           "--list --brand sony --power off --power on"}) {
    const Result r = run(IRWAV_PLAY_PATH, args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" sony sony12:1:46 "), std::string::npos) << args << "\n" << r.out;
    EXPECT_EQ(r.out.find(" sony sony12:1:47 "), std::string::npos) << args << "\n" << r.out;
  }
  Result r = run(IRWAV_PLAY_PATH, "--list --power on --brand sony --power off --brand sony");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find(" sony sony12:1:46 "), std::string::npos) << r.out;
  const size_t first = r.out.find(" sony sony12:1:47 ");
  ASSERT_NE(first, std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" sony sony12:1:47 ", first + 1), std::string::npos) << r.out;

  // -q leaves only errors: no brand remark, no sweep notice.
  for (const char* args :
       {"-q --brand sampo --output sampo.wav", "-q --brand all --rate 96000 --output all.wav"}) {
    r = run(IRWAV_PLAY_PATH, args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err, "") << args;
  }

  // A signal in SIRC20 plays as Sony20, the address's low 5 bits its
  // device and the rest its subdevice.
  std::ofstream(work / "s20.ir") << "Filetype: IR signals file\nVersion: 1\n#\nname: Power\n"
                                    "type: parsed\nprotocol: SIRC20\naddress: 3A 00 00 00\n"
                                    "command: 15 00 00 00\n";
  r = run(IRWAV_PLAY_PATH, "--ir s20.ir --output ir.wav");
  EXPECT_EQ(r.status, 0) << r.err;
  r = run(IRWAV_PLAY_PATH, "--code sony20:26.1:21 --output code.wav");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readText(work / "ir.wav"), readText(work / "code.wav"));
}

}  // namespace
