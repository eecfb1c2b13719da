// Runs both programs where their outputs meet trouble: closed descriptors, a
// pipe nobody reads, a signal while a file is open, a second writer of the
// same name, a name that is not UTF-8, a terminal, standard output's own
// file. Every run must leave either a whole file under the name or what the
// name held before, and no temporary file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "test_files.h"

namespace {

// What --brand all says on standard error before it plays: the one code of
// the library and the entries of the universal lists that a sound card
// cannot send.
const std::string kSweepRemark =
    "irwav-play: seleco barco:0:1 is not played: it is sent without a carrier, which an emitter "
    "on a sound card cannot do\n"
    "irwav-play: 18 entries of the universal lists are not played (na56, na81, eu38, eu47, eu68, "
    "eu69, eu71, eu74, eu77, eu89, eu93, eu97, eu99, eu115, eu131, eu134, eu137, eu138): each is "
    "sent without a carrier, which an emitter on a sound card cannot do\n";

namespace fs = std::filesystem;

struct OutputFilesTest : ::testing::Test {
  fs::path root;
  fs::path work;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = fs::temp_directory_path() / (std::string("irwav-outputs-") + info->name() + "-" +
                                        std::to_string(std::random_device()() % 1000000));
    fs::remove_all(root);
    work = root / "work";
    fs::create_directories(work);
  }
  void TearDown() override { fs::remove_all(root); }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };

  /// Runs the shell command `command` in `work` with standard error, and
  /// unless `command` redirects it, standard output, beside it.
  Result run(const std::string& command) {
    const std::string line = "cd '" + work.string() + "' && " + command + " > '" +
                             (root / "out").string() + "' 2> '" + (root / "err").string() +
                             "' < /dev/null; echo $? > '" + (root / "status").string() + "'";
    if (std::system(line.c_str()) != 0) ADD_FAILURE() << "shell failed: " << line;
    return {std::stoi(readText(root / "status")), readText(root / "out"), readText(root / "err")};
  }

  /// The names in `dir`, hidden ones too.
  static std::set<std::string> listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
      names.insert(entry.path().filename().string());
    return names;
  }

  /// What the player writes for `args` alone, to compare with.
  std::string reference(const std::string& args) {
    const fs::path dir = root / "reference";
    fs::create_directories(dir);
    const std::string command = "cd '" + dir.string() +
                                "' && '" IRWAV_PLAY_PATH "' --output ref.wav " + args +
                                " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readText(dir / "ref.wav");
  }
};

const char kPlay[] = "'" IRWAV_PLAY_PATH "'";

TEST_F(OutputFilesTest, ClosedStandardDescriptorsAreNotTakenForTheFile) {
  const std::string sony = reference("sony");
  ASSERT_EQ(sony.size(), 18428u);
  // The report goes nowhere; the file is not its descriptor 1.
  const Result r = run(std::string("{ ") + kPlay + " --output c.wav sony >&- <&-; }");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(readText(work / "c.wav") == sony);
  const Result converted = run("{ '" IRWAV_PATH "' >&- 2>&-; }");
  EXPECT_EQ(converted.status, 0);
  EXPECT_TRUE(readText(work / fileNameOf(0)) == sony);
}

TEST_F(OutputFilesTest, TheFileOfStandardOutputIsRefusedWithStatusTwo) {
  for (const char* name : {"out.wav", "/dev/stdout"}) {
    SCOPED_TRACE(name);
    std::ofstream(work / "out.wav") << "report so far\n";
    const Result r = run(std::string("{ ") + kPlay + " --output " + name + " sony >> out.wav; }");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, std::string("irwav-play: cannot write \"") + name +
                         "\": it is standard output too, and the report would land among the "
                         "samples\n");
    EXPECT_EQ(readText(work / "out.wav"), "report so far\n");
  }
  // A device is not a file that the report could mix with.
  EXPECT_EQ(run(std::string("{ ") + kPlay + " --output /dev/null sony > /dev/null; }").status, 0);
}

TEST_F(OutputFilesTest, ANameIsItsBytesNotItsNearestUtf8) {
  std::ofstream(work / "caf\xc3\xa9.wav") << "twin";
  const std::string sony = reference("sony");
  // E9 alone, and bytes no UTF-8 sequence starts with.
  const Result r = run(std::string(kPlay) + " --output \"$(printf 'caf\\351.wav')\" sony && " +
                       kPlay + " --output \"$(printf '\\365\\200\\200.wav')\" sony");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readText(work / "caf\xc3\xa9.wav"), "twin");
  EXPECT_TRUE(readText(work / "caf\xe9.wav") == sony);
  EXPECT_TRUE(readText(work / "\xf5\x80\x80.wav") == sony);
  EXPECT_EQ(listing(work).size(), 3u);
}

/// A pipe whose reading end is already closed, on the descriptor it
/// returns; a write to it fails at once.
int pipeWithoutReader() {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  ::close(fds[0]);
  return fds[1];
}

TEST_F(OutputFilesTest, AClosedPipeEndsTheConverterAfterItsFilesWithStatusOne) {
  const int pipe = pipeWithoutReader();
  ASSERT_GE(pipe, 0);
  const Result r = run("{ '" IRWAV_PATH "' 1>&" + std::to_string(pipe) + "; }");
  ::close(pipe);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "irwav: cannot write to standard output\n");
  // Every file, as a run with a reader writes it.
  const fs::path clean = root / "clean";
  fs::create_directories(clean);
  ASSERT_EQ(std::system(("cd '" + clean.string() + "' && '" IRWAV_PATH "' >/dev/null").c_str()), 0);
  EXPECT_EQ(listing(work), listing(clean));
  for (const std::string& name : listing(clean))
    EXPECT_TRUE(readText(work / name) == readText(clean / name)) << name;
}

TEST_F(OutputFilesTest, AClosedPipeStopsThePlayerAndLeavesThePreviousFile) {
  const int pipe = pipeWithoutReader();
  ASSERT_GE(pipe, 0);
  const Result fresh = run(std::string("{ ") + kPlay + " --brand all --output all.wav 1>&" +
                           std::to_string(pipe) + "; }");
  EXPECT_EQ(fresh.status, 1);
  EXPECT_EQ(fresh.err, kSweepRemark + "irwav-play: cannot write to standard output\n");
  EXPECT_TRUE(listing(work).empty());

  std::ofstream(work / "all.wav") << "previous";
  const Result again = run(std::string("{ ") + kPlay + " --brand all --output all.wav 1>&" +
                           std::to_string(pipe) + "; }");
  ::close(pipe);
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(readText(work / "all.wav"), "previous");
  EXPECT_EQ(listing(work).size(), 1u);
}

/// Starts the player in `dir` with `args`, its standard output a pipe that
/// is already full, so that it stops at its first report line with its
/// file open. Returns its process and, in *reader, the pipe's reading end.
pid_t startBlockedPlayer(const fs::path& dir, const char* args, const fs::path& errPath,
                         int* reader) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
  const std::string fill(4096, 'x');
  while (::write(fds[1], fill.data(), fill.size()) > 0) {
  }
  ::fcntl(fds[1], F_SETFL, 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (::chdir(dir.c_str()) != 0 || err < 0) ::_exit(120);
    ::dup2(fds[1], 1);
    ::dup2(err, 2);
    ::close(fds[0]);
    ::execl("/bin/sh", "sh", "-c", (std::string("exec ") + kPlay + " " + args).c_str(),
            static_cast<char*>(nullptr));
    ::_exit(121);
  }
  ::close(fds[1]);
  *reader = fds[0];
  return pid;
}

TEST_F(OutputFilesTest, SighupStopsAndSigquitEndsWithoutLeavingAFile) {
  for (int signal : {SIGHUP, SIGQUIT, SIGINT}) {
    SCOPED_TRACE(signal);
    fs::remove_all(work);
    fs::create_directories(work);
    std::ofstream(work / "all.wav") << "previous";
    int reader = -1;
    const pid_t player =
        startBlockedPlayer(work, "--brand all --output all.wav", root / "err", &reader);
    ASSERT_GT(player, 0);
    // Its file is open once a second name shows up beside the old one.
    for (int i = 0; i < 500 && listing(work).size() < 2; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(listing(work).size(), 2u);
    ::kill(player, signal);
    // SIGINT twice: the second ends the player at once.
    if (signal == SIGINT) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      ::kill(player, signal);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // Let the report flow again.
    ::fcntl(reader, F_SETFL, O_NONBLOCK);
    char chunk[65536];
    int status = 0;
    while (::waitpid(player, &status, WNOHANG) == 0) {
      if (::read(reader, chunk, sizeof chunk) <= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(reader);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    if (signal == SIGHUP) {
      EXPECT_EQ(readText(root / "err"), kSweepRemark + "irwav-play: stopped\n");
    }
    EXPECT_EQ(readText(work / "all.wav"), "previous");
    EXPECT_EQ(listing(work), std::set<std::string>{"all.wav"});
  }
}

TEST_F(OutputFilesTest, TwoWritersOfOneNameLeaveOneWholeFile) {
  const std::string all = reference("--brand all");
  const std::string sony = reference("sony");
  for (const char* pause : {"0", "0.02", "0.1"}) {
    SCOPED_TRACE(pause);
    const Result r =
        run("(" + std::string(kPlay) + " --output same.wav --brand all & sleep " + pause + "; " +
            kPlay + " --output same.wav sony; s=$?; wait $! && exit $s)");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string written = readText(work / "same.wav");
    EXPECT_TRUE(written == all || written == sony) << written.size();
    EXPECT_EQ(listing(work).size(), 1u);
  }
}

TEST_F(OutputFilesTest, AFailedRunLeavesThePreviousFileAndALinkItsTarget) {
  const std::string sony = reference("sony");
  fs::create_directories(root / "elsewhere");
  fs::create_symlink("../elsewhere/target.wav", work / "link.wav");
  // Through a link, the file it points to is replaced; the link stays.
  Result r = run(std::string(kPlay) + " --output link.wav sony");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(work / "link.wav"));
  EXPECT_TRUE(readText(root / "elsewhere" / "target.wav") == sony);

  // Files may hold 50 KiB here (in the shell's blocks of 512 bytes): one
  // code fits, the whole brand does not.
  for (const char* name : {"link.wav", "good.wav"}) {
    SCOPED_TRACE(name);
    if (std::string(name) == "good.wav") std::ofstream(work / name) << sony;
    r = run(std::string("ulimit -f 100 && trap '' XFSZ && ") + kPlay + " --output " + name +
            " --brand all");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(
        r.err.find(std::string("irwav-play: cannot write \"") + name + "\": File too large\n"),
        std::string::npos)
        << r.err;
  }
  EXPECT_TRUE(readText(root / "elsewhere" / "target.wav") == sony);
  EXPECT_TRUE(readText(work / "good.wav") == sony);
  EXPECT_EQ(listing(work), (std::set<std::string>{"good.wav", "link.wav"}));
  EXPECT_EQ(listing(root / "elsewhere"), std::set<std::string>{"target.wav"});
}

TEST_F(OutputFilesTest, ATerminalIsRefusedBeforeAnythingIsWritten) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string terminal = ::ptsname(master);
  // The terminal stays open on this side, so its output can be read back.
  const int keep = ::open(terminal.c_str(), O_RDWR | O_NOCTTY);
  const Result r = run(std::string(kPlay) + " --output " + terminal + " sony");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "irwav-play: cannot write \"" + terminal + "\": Is a terminal\n");
  ::fcntl(master, F_SETFL, O_NONBLOCK);
  char byte;
  EXPECT_LT(::read(master, &byte, 1), 1) << "the terminal got the WAV";
  ::close(keep);
  ::close(master);
}

}  // namespace
