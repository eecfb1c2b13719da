// Runs the player as a hostile user would: remote files whose names and
// lines hold escape sequences and bytes that are not UTF-8, an output that
// is one of the inputs or would miss a code, a signal while an input blocks,
// and options that would be silently ignored.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "shell_test.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

const char kPlay[] = "'" IRWAV_PLAY_PATH "'";

/// A remote file of NEC signals, each named as given, the low byte of the
/// command counting up from 1.
std::string remoteFile(std::initializer_list<std::string> names) {
  std::string text = "Filetype: IR signals file\nVersion: 1\n";
  int command = 1;
  for (const std::string& name : names) {
    text += "name: " + name + "\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\ncommand: 0" +
            std::to_string(command++) + " 00 00 00\n";
  }
  return text;
}

/// Whether `text` holds what a terminal takes as a control: a C0 byte other
/// than the line break, DEL, or C1's CSI in UTF-8.
bool holdsControl(const std::string& text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\n') || byte == 0x7F) return true;
  }
  return text.find("\xc2\x9b") != std::string::npos;
}

struct PlayerSafetyTest : ShellTest {
  PlayerSafetyTest() : ShellTest("irwav-safety-") {}

  Result play(const std::string& args) { return run(std::string(kPlay) + " " + args); }
};

TEST_F(PlayerSafetyTest, RemoteSignalsReachTheTerminalOnlyAsVisibleText) {
  // The file's own name is not UTF-8; a signal's name retitles the window
  // and clears the screen; another begins with "-".
  const std::string hostile = "\x1b]0;pwned\a\x1b[2J";
  std::ofstream(work / "tv_\xe4.ir") << remoteFile({hostile, "-Power"});
  const std::string shown = "tv_\\xe4.ir \\x1b]0;pwned\\x07\\x1b[2J";

  Result r = play("--list --ir tv_*.ir");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n    -  " + shown + " "), std::string::npos) << r.out;
  EXPECT_FALSE(holdsControl(r.out + r.err)) << r.out;
  // The report of a run, and the names an error lists.
  r = play("--output w.wav --ir tv_*.ir");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Writing " + shown + " - freq = 38400 Hz"), std::string::npos) << r.out;
  EXPECT_FALSE(holdsControl(r.out + r.err)) << r.out;
  r = play("--ir tv_*.ir nosuch");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("its signals: \"\\x1b]0;pwned\\x07\\x1b[2J\" \"-Power\""), std::string::npos)
      << r.err;
  EXPECT_FALSE(holdsControl(r.err)) << r.err;
  // An error quotes the file's line as it stands, and the file's name.
  std::ofstream(work / "bad.ir") << "Filetype: IR signals file\nVersion: 1\n\x1b[2J\x9b"
                                    "1m\n";
  r = play("--ir bad.ir");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "irwav-play: bad.ir:3: \"\\x1b[2J\\x9b1m\" is not a line of the form KEY: VALUE\n");
  r = run(std::string(kPlay) + " --ir \"$(printf 'no\\033[2J.ir')\"");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("irwav-play: cannot read \"no\\x1b[2J.ir\": ", 0), 0u) << r.err;

  // A signal whose name begins with "-" is chosen after "--".
  r = play("--list --ir tv_*.ir -- -Power");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(" tv_\\xe4.ir -Power "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("pwned"), std::string::npos) << r.out;
  EXPECT_EQ(play("--list --ir tv_*.ir -Power").status, 2);

  // A raw signal without a carrier cannot be converted: refused as such,
  // and nothing written.
  std::ofstream(work / "zero.ir")
      << "Filetype: IR signals file\nVersion: 1\nname: Zero\n"
         "type: raw\nfrequency: 0\nduty_cycle: 0.33\ndata: 500 500 500\n";
  r = play("--output z.wav --ir zero.ir");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("irwav-play: zero.ir:3: signal \"Zero\": frequency 0 "), std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(work / "z.wav"));
}

TEST_F(PlayerSafetyTest, AFirstStopSignalEndsThePlayerAtOnceWhileItReadsItsArguments) {
  ASSERT_EQ(run("mkfifo f").status, 0);
  // timeout sends one signal after a second, and kills after five more.
  for (const auto& [signal, status] : {std::pair<const char*, int>{"TERM", 143}, {"INT", 130}}) {
    SCOPED_TRACE(signal);
    const auto start = std::chrono::steady_clock::now();
    const Result r = run(std::string("timeout -k 5 --preserve-status -s ") + signal + " 1 " +
                         kPlay + " --list --ir f");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_LT(seconds.count(), 4.0);
  }
}

TEST_F(PlayerSafetyTest, AnOutputThatWouldFailOrReplaceAnInputIsRefusedBeforeWriting) {
  // rca needs 96 kHz: the run would fail, so the previous file stays.
  std::ofstream(work / "old.wav") << "keep\n";
  Result r = play("-q --output old.wav sony rca");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "irwav-play: rca was not played: a 55600 Hz carrier does not render at 48000 Hz "
            "(--rate 96000 plays it)\n"
            "irwav-play: nothing was written to \"old.wav\"\n");
  EXPECT_TRUE(readText(work / "old.wav") == "keep\n");
  r = run(std::string("(") + kPlay + " --output - sony rca | wc -c)");
  EXPECT_EQ(r.out, "0\n");
  // At the rate that plays it, the same request writes.
  EXPECT_EQ(play("-q --rate 96000 --output old.wav sony rca").status, 0);
  EXPECT_FALSE(readText(work / "old.wav") == "keep\n");

  // The output is an input file, by its name, another path or a link.
  const std::string remote = remoteFile({"Power"});
  std::ofstream(work / "remote.ir") << remote;
  fs::create_symlink("remote.ir", work / "link.ir");
  for (const char* args : {"--ir remote.ir --output remote.ir", "--ir ./remote.ir --output link.ir",
                           "--output remote.ir --ir link.ir Power"}) {
    SCOPED_TRACE(args);
    r = play(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("it is the input file"), std::string::npos) << r.err;
    EXPECT_TRUE(readText(work / "remote.ir") == remote) << "the input was replaced";
  }
  EXPECT_EQ(listing(work), (std::set<std::string>{"link.ir", "old.wav", "remote.ir"}));
}

TEST_F(PlayerSafetyTest, ListingsForProgramsEscapeEveryControlAndJsonIsAlwaysUtf8) {
  // NUL, 0x01, ESC, DEL, a backslash, C1's CSI in UTF-8, and a byte that is
  // not UTF-8 in the file's name.
  const std::string name =
      std::string("a") + '\0' + "b\x01" + "c\x1b" + "d\x7f" + "e\\f\xc2\x9b" + "g";
  std::ofstream(work / "tv_\xe4.ir") << remoteFile({name, "caf\xc3\xa9"});
  Result r = play("--list --format tsv --ir tv_*.ir");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n\ttv_\\xe4.ir a\\x00b\\x01c\\x1bd\\x7fe\\\\f\\xc2\\x9bg\t\t"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n\ttv_\\xe4.ir caf\xc3\xa9\t"), std::string::npos) << r.out;
  for (char c : r.out) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte >= 0x20 || c == '\t' || c == '\n') << int(byte);
  }

  if (std::system("python3 -c '' 2>/dev/null") != 0) GTEST_SKIP() << "no python3 to read JSON";
  // Strict UTF-8, then JSON; the names as Python spells them in ASCII.
  r = run(std::string("(") + kPlay +
          " --list --format json --ir tv_*.ir | python3 -c 'import json, sys\n"
          "for r in json.loads(sys.stdin.buffer.read().decode(\"utf-8\")):\n"
          "  print(ascii(r[\"name\"]))')");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "'tv_\\ufffd.ir a\\x00b\\x01c\\x1bd\\x7fe\\\\f\\x9bg'\n"
            "'tv_\\ufffd.ir caf\\xe9'\n");
}

TEST_F(PlayerSafetyTest, AnOptionWithoutEffectIsAnErrorThatSaysSo) {
  const std::pair<const char*, const char*> cases[] = {
      {"--list --output x.wav sony", "option --output has no effect with --list"},
      {"--keys nec1:4 --list", "option --list has no effect with --keys"},
      {"--brands --list", "option --list has no effect with --brands"},
      {"--brands sony", "code \"sony\" has no effect with --brands"},
      {"--protocols --gap 20", "option --gap has no effect with --protocols"},
      {"--output x.wav --device=hw:0 sony", "option --device has no effect with --output"},
      {"--format tsv sony", "option --format goes with --list, --brands or --keys all"},
      {"--keys nec1:4 --format tsv", "option --format goes with --list, --brands or --keys all"},
      {"--brands --confirm", "option --confirm has no effect with --brands"},
      {"--power off sony", "option --power has no effect without --brand"},
      {"--list --kind audio --power=on", "option --power has no effect without --brand"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(args);
    const Result r = play(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, std::string("irwav-play: ") + message + "\n");
  }
  EXPECT_FALSE(fs::exists(work / "x.wav"));
  // What does change a listing goes with it.
  EXPECT_EQ(play("-q --list --rate 96000 --power on --brand sony --format tsv rca").status, 0);
  EXPECT_EQ(play("--brands --rate 96000 --format json").status, 0);

  // A value is named as it was given, not as it was cut to fit.
  const Result r = play("--code nec:99999999999:1");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "irwav-play: option --code \"nec:99999999999:1\": NEC address 99999999999 is out of "
            "range 0..255\n");
}

}  // namespace
