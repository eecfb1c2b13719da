// The player's arguments, its code list, and what it sends to the device.

#include "app/player.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/play_size.h"
#include "discarding_file_system.h"
#include "ir_decode.h"
#include "library/ir_codes.h"
#include "memory_file_system.h"
#include "output/wave_sink.h"
#include "scripted_audio_output.h"
#include "synth/renderer.h"
#include "wav_reader.h"

namespace {

/// Index of the first built-in code named `name`.
size_t indexOf(const char* name) {
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (std::string(kIrCodeNames[i]) == name) return i;
  }
  ADD_FAILURE() << "no code " << name;
  return 0;
}

/// The sample bytes of code `index` as the converter writes them.
std::vector<uint8_t> renderedBytes(size_t index, uint32_t sampleRate = 48000) {
  MemoryFileSystem fs;
  WaveSink sink(&fs, nullptr);
  EXPECT_TRUE(sink.setFormat(2, 2, sampleRate));
  EXPECT_EQ(sink.open(L"c.wav"), 0);
  renderCode(kIrCodes[index], sink);
  EXPECT_EQ(sink.close(), 0);
  const std::vector<uint8_t>& file = fs.files[L"c.wav"].bytes;
  return std::vector<uint8_t>(file.begin() + 44, file.end());
}

/// The table indices of parsed codes in playing order, kNotInTable for the
/// others.
std::vector<size_t> indices(const PlayerOptions& options) {
  std::vector<size_t> result;
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
    result.push_back(item.tableIndex);
    return true;
  });
  return result;
}

bool parse(const std::vector<std::string>& args, PlayerOptions* options,
           std::string* error = nullptr) {
  std::string ignored;
  return parsePlayerArgs(args, options, error ? error : &ignored);
}

TEST(PlayerArgsTest, CodesByNameOrIndexKeepTheirOrder) {
  PlayerOptions options;
  ASSERT_TRUE(parse({}, &options));
  EXPECT_TRUE(options.codes.empty());
  EXPECT_EQ(indices(options).size(), kIrCodeCount);
  EXPECT_EQ(options.gapMs, kDefaultGapMs);
  EXPECT_EQ(options.device, "");

  ASSERT_TRUE(parse({"sony", "22", "NEC", "nec2", "SONY", "0", "53", "0000000000053"}, &options));
  EXPECT_EQ(indices(options),
            (std::vector<size_t>{0, 22, indexOf("NEC"), indexOf("NEC2"), 0, 0, 53, 53}));
  // A code named again is the same item, not a copy.
  EXPECT_EQ(options.codes.size(), 4u);
}

TEST(PlayerArgsTest, AnArgumentThatNamesNoCodeIsRefused) {
  PlayerOptions options;
  for (const char* arg : {"nosuch", "54", "1000000000000", "", "sony2x", "0x1", "+3", " 3"}) {
    std::string error;
    EXPECT_FALSE(parse({"sony", arg}, &options, &error)) << arg;
    EXPECT_NE(error.find("no code named \"" + std::string(arg) + "\""), std::string::npos) << error;
  }
}

TEST(PlayerArgsTest, OptionsAndTheirValues) {
  PlayerOptions options;
  ASSERT_TRUE(parse({"--gap", "250", "--device", "hw:1,0", "sony"}, &options));
  EXPECT_EQ(options.gapMs, 250u);
  EXPECT_EQ(options.device, "hw:1,0");
  EXPECT_EQ(indices(options), std::vector<size_t>{0});
  ASSERT_TRUE(parse({"--gap=0", "--device=plughw:0"}, &options));
  EXPECT_EQ(options.gapMs, 0u);
  EXPECT_EQ(options.device, "plughw:0");
  ASSERT_TRUE(parse({"--gap", "60000"}, &options));
  EXPECT_EQ(options.gapMs, kMaxGapMs);
  ASSERT_TRUE(parse({"--list"}, &options));
  EXPECT_TRUE(options.list);
  ASSERT_TRUE(parse({"-h"}, &options));
  EXPECT_TRUE(options.help);
  // --power applies to a --brand before it as well; a brand of best
  // guesses says so.
  ASSERT_TRUE(parse({"--brand", "sony", "--power=off", "--brand", "sampo"}, &options));
  ASSERT_FALSE(options.codes.empty());
  EXPECT_EQ(options.codes.front().name, "sony sony12:1:47");
  EXPECT_EQ(options.codes.back().name, "sampo");
  ASSERT_FALSE(options.remarks.empty());
  EXPECT_NE(options.remarks.back().find("best guesses"), std::string::npos);
  // The sweep has its own default gap; --gap still decides.
  ASSERT_TRUE(parse({"--brand", "all"}, &options));
  EXPECT_EQ(options.gapMs, kSweepGapMs);
  ASSERT_TRUE(parse({"--gap", "500", "--brand=ALL"}, &options));
  EXPECT_EQ(options.gapMs, 500u);
}

TEST(PlayerArgsTest, BadOptionsAreRefusedWithAReason) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"-x", "sony"}, "unknown option \"-x\""},
      {{"--list=yes"}, "unknown option \"--list=yes\""},
      {{"--gap"}, "option --gap needs a value"},
      {{"sony", "--device"}, "option --device needs a value"},
      {{"--device="}, "option --device needs a device name"},
      {{"--gap", "60001"}, "not \"60001\""},
      {{"--gap", "-5"}, "not \"-5\""},
      {{"--gap=1.5"}, "not \"1.5\""},
      {{"--gap", ""}, "not \"\""},
  };
  for (const auto& c : cases) {
    PlayerOptions options;
    std::string error;
    EXPECT_FALSE(parse(c.args, &options, &error)) << c.args[0];
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST(PlayerListTest, OneLinePerCodeInTableOrder) {
  std::ostringstream out;
  printCodeList(out, PlayerOptions());
  std::istringstream lines(out.str());
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(line, "Index  Name          Carrier  Marks  At 48000 Hz  Documented");
  size_t rendered = 0;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    ASSERT_TRUE(std::getline(lines, line));
    std::istringstream fields(line);
    size_t index, marks;
    std::string name, outcome;
    uint32_t carrier;
    fields >> index >> name >> carrier >> marks >> outcome;
    EXPECT_EQ(index, i);
    EXPECT_EQ(name, kIrCodeNames[i]);
    EXPECT_EQ(carrier, kIrCodes[i]->carrierHz);
    if (outcome == "rendered") ++rendered;
  }
  EXPECT_FALSE(std::getline(lines, line));
  EXPECT_EQ(rendered, 48u);
  // Mark counts include the last mark, the one before the terminating 0.
  for (const char* expected : {"    0  sony            40000     26  rendered     yes\n",
                               "    4  toshiba         37470     38  rendered     yes\n",
                               "   46  daewoo2         28670     23  rendered     yes\n",
                               "   49  fisher          44330     11  skipped      guess\n",
                               "   53  kloss           54070     30  skipped      guess\n"})
    EXPECT_NE(out.str().find(expected), std::string::npos) << expected;
}

struct PlayerRunTest : ::testing::Test {
  ScriptedAudioOutput device;
  std::ostringstream out;
  std::ostringstream err;

  int run(const std::vector<std::string>& args, const volatile std::sig_atomic_t* stop = nullptr) {
    return runPlayer(args, out, err, &device, stop);
  }
};

TEST_F(PlayerRunTest, PlaysTheNamedCodesWithTheGapBetween) {
  // rca, named but beyond the rate, is an error once the others played.
  ASSERT_EQ(run({"--gap", "10", "sony", "rca", "0"}), 1);
  EXPECT_EQ(out.str(),
            "Playing 0 sony - freq = 40000 Hz\n"
            "Playing 0 sony - freq = 40000 Hz\n");
  EXPECT_EQ(err.str(),
            "irwav-play: rca was not played: a 55600 Hz carrier does not render at 48000 Hz "
            "(--rate 96000 plays it)\n");
  std::vector<uint8_t> expected = renderedBytes(0);
  const size_t codeBytes = expected.size();
  expected.resize(codeBytes + 480 * 4, 0);  // 10 ms of silence
  const std::vector<uint8_t> sony = renderedBytes(0);
  expected.insert(expected.end(), sony.begin(), sony.end());
  EXPECT_EQ(device.played, expected);
  EXPECT_EQ(device.opens, 1u);
  EXPECT_EQ(device.closes, 1u);
}

TEST_F(PlayerRunTest, WithoutCodesEveryCodePlaysInTableOrder) {
  ASSERT_EQ(run({"--gap", "0"}), 0);
  std::ostringstream expectedOut;
  std::vector<uint8_t> expected;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    const uint32_t carrier = kIrCodes[i]->carrierHz;
    if (carrier > 43636) {
      expectedOut << "Code " << kIrCodeNames[i] << " skipped - freq = " << carrier
                  << " Hz (--rate 96000 plays it)\n";
      continue;
    }
    expectedOut << "Playing " << i << " " << kIrCodeNames[i] << " - freq = " << carrier << " Hz\n";
    const std::vector<uint8_t> code = renderedBytes(i);
    expected.insert(expected.end(), code.begin(), code.end());
  }
  EXPECT_EQ(out.str(), expectedOut.str());
  EXPECT_EQ(device.played, expected);
}

TEST_F(PlayerRunTest, BadArgumentsStopBeforeTheDeviceOpens) {
  EXPECT_EQ(run({"sony", "nosuch"}), 2);
  EXPECT_EQ(err.str(), "irwav-play: no code named \"nosuch\" (irwav-play --list shows them all)\n");
  EXPECT_EQ(run({"--gap", "x", "sony"}), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(device.opens, 0u);
}

TEST_F(PlayerRunTest, ListAndHelpPlayNothing) {
  EXPECT_EQ(run({"--list", "sony"}), 0);
  EXPECT_EQ(out.str().substr(0, 5), "Index");
  out.str("");
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_NE(out.str().find("--device NAME"), std::string::npos);
  EXPECT_NE(out.str().find("--gap MS"), std::string::npos);
  EXPECT_EQ(device.opens, 0u);
}

TEST_F(PlayerRunTest, ADeviceThatCannotBeOpenedEndsWithStatusOne) {
  device.failOpen = true;
  EXPECT_EQ(run({"--device", "hw:9", "sony"}), 1);
  EXPECT_EQ(err.str(), "irwav-play: cannot open audio device \"hw:9\": injected open failure\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(device.openedName, "hw:9");
}

TEST_F(PlayerRunTest, WhenEveryCodeIsSkippedNothingOpensAndTheStatusIsOne) {
  EXPECT_EQ(run({"rca", "ge"}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "irwav-play: rca was not played: a 55600 Hz carrier does not render at 48000 Hz "
            "(--rate 96000 plays it)\n"
            "irwav-play: ge was not played: a 54160 Hz carrier does not render at 48000 Hz "
            "(--rate 96000 plays it)\n"
            "irwav-play: nothing to play: no code asked for renders at 48000 Hz\n");
  EXPECT_EQ(device.opens, 0u);
}

TEST_F(PlayerRunTest, AFailingDeviceEndsWithStatusOne) {
  device.failPollAt = 1;
  EXPECT_EQ(run({"sony", "sony"}), 1);
  EXPECT_EQ(err.str(), "irwav-play: playing on \"default\" failed: injected device failure\n");
  // The device failed in the gap: the second code is not announced as playing.
  EXPECT_EQ(out.str(), "Playing 0 sony - freq = 40000 Hz\n");
  EXPECT_EQ(device.closes, 1u);
  EXPECT_EQ(device.nowUs, 0u);
}

TEST_F(PlayerRunTest, ACodeThatAnUnderrunBrokeIntoIsNamedAndFails) {
  const uint64_t sonyBytes = renderedBytes(0).size();
  // One break just inside panasonic; one where sony ends and the (empty)
  // gap lies, which breaks nothing.
  device.underrunScript = {{sonyBytes, sonyBytes}, {sonyBytes + 40, sonyBytes + 40}};
  EXPECT_EQ(run({"--gap", "0", "sony", "panasonic"}), 1);
  EXPECT_EQ(err.str(), "irwav-play: panasonic was interrupted by an underrun; play it again\n");
  EXPECT_NE(out.str().find("Playing 2 panasonic"), std::string::npos);

  // A break at the very end of the stream breaks nothing either.
  ScriptedAudioOutput clean;
  clean.underrunScript = {{sonyBytes, sonyBytes}};
  std::ostringstream cleanErr;
  EXPECT_EQ(runPlayer({"sony"}, out, cleanErr, &clean, nullptr), 0);
  EXPECT_EQ(cleanErr.str(), "");
}

TEST_F(PlayerRunTest, AStopLetsTheBlockInHandPlayThenClosesWithTheSignalsStatus) {
  volatile std::sig_atomic_t stop = 0;
  // The request arrives while the sink waits for the device the first time:
  // two blocks are out, and the one being filled next is the block in hand.
  device.onSleep = [&stop] { stop = SIGTERM; };
  EXPECT_EQ(run({"sony", "sony", "sony"}, &stop), 143);
  EXPECT_EQ(device.lengths, (std::vector<uint32_t>{16384, 16384, 16384}));
  EXPECT_EQ(out.str(), "Playing 0 sony - freq = 40000 Hz\n");
  EXPECT_EQ(err.str(), "irwav-play: stopped\n");
  EXPECT_EQ(device.closes, 1u);
  EXPECT_EQ(device.queued(), 0u);
}

TEST_F(PlayerRunTest, AStopDuringTheFinalDrainCountsAsAStop) {
  volatile std::sig_atomic_t stop = 0;
  // sony alone fits the two blocks: the first wait is the drain in close.
  device.onSleep = [&stop] { stop = SIGINT; };
  EXPECT_EQ(run({"sony"}, &stop), 130);
  EXPECT_EQ(device.played, renderedBytes(0));
  EXPECT_EQ(err.str(), "irwav-play: stopped\n");
}

TEST_F(PlayerRunTest, AnUnderrunPastFourGibibytesOfStreamNamesItsCode) {
  // 94 sony with a minute's gap each at 192000 Hz fill 4.3 GB of stream;
  // toshiba comes after the first 4 GiB. The device notes a break inside it.
  const uint64_t sonyBytes = renderedBytes(0, 192000).size();
  const uint64_t toshibaStart = 94 * (sonyBytes + 60ull * 192000 * 4);
  ASSERT_GT(toshibaStart, uint64_t{UINT32_MAX});
  device.instant = true;
  device.keepBytes = false;
  device.underrunScript.push_back({toshibaStart + 4000, toshibaStart + 4000});
  std::vector<std::string> args = {"--rate", "192000", "--gap", "60000"};
  args.insert(args.end(), 94, "sony");
  args.push_back("toshiba");
  EXPECT_EQ(run(args), 1);
  EXPECT_EQ(err.str(), "irwav-play: toshiba was interrupted by an underrun; play it again\n");
  EXPECT_GT(device.writtenBytes, toshibaStart);
}

TEST(PlayerFileSizeTest, AFileTooBigForAWavIsRefusedBeforeAnythingRenders) {
  // 95 sony with a minute's gap each at 192000 Hz: 4.33 GB of samples.
  std::vector<std::string> args = {"--rate", "192000", "--gap", "60000", "--output", "big.wav"};
  args.insert(args.end(), 95, "sony");
  PlayerOptions options;
  std::string error;
  ASSERT_TRUE(parsePlayerArgs(args, &options, &error)) << error;
  DiscardingFileSystem fs;
  WaveSink sink(&fs, nullptr);
  ASSERT_TRUE(sink.setFormat(2, 2, 192000));
  std::ostringstream out, err;
  EXPECT_EQ(playCodes(options, sink, out, err, nullptr), 1);
  const uint64_t bytes = 95 * renderedBytes(0, 192000).size() + 94 * 60ull * 192000 * 4;
  EXPECT_EQ(err.str(),
            "irwav-play: cannot write \"big.wav\": more sample data than a WAV file can hold (" +
                std::to_string(bytes) + " bytes; a WAV file holds at most 4294967259)\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(fs.bytesWritten, 0u);

  EXPECT_TRUE(fitsWavFile(kMaxWavDataBytes, &error));
  EXPECT_FALSE(fitsWavFile(kMaxWavDataBytes + 1ull, &error));
}

TEST(PlayerGapTest, TheSweepWaitsLongerBetweenCodesOfOneFamily) {
  // Sony projectors' Sony15 84 toggle and another family's code; two codes
  // of one family as --brand sony --kind projector --power off finds them.
  PlayerOptions sweep;
  std::string error;
  ASSERT_TRUE(parsePlayerArgs({"--kind", "projector", "--brand", "all"}, &sweep, &error)) << error;
  PlayItem sony;
  PlayItem epson;
  for (const PlayItem& item : sweep.codes) {
    if (item.name == "sony sony15:84:46") sony = item;
    if (item.name == "epson nec2:131.85:144") epson = item;
  }
  ASSERT_EQ(codeFamily(sony), "sony15 84 -1");
  ASSERT_EQ(codeFamily(epson), "nec2 131 85");
  PlayItem sonyAgain = sony;
  sonyAgain.name = "sony sony15:84:47";
  EXPECT_EQ(gapBetween(sweep, sony, epson), 100u);
  EXPECT_EQ(gapBetween(sweep, sony, sonyAgain), 250u);
  // --gap decides for every pair, and a brand's list keeps one gap.
  PlayerOptions given;
  ASSERT_TRUE(
      parsePlayerArgs({"--gap", "300", "--kind", "projector", "--brand", "all"}, &given, &error));
  EXPECT_EQ(gapBetween(given, sony, epson), 300u);
  PlayerOptions brand;
  ASSERT_TRUE(parsePlayerArgs({"--kind", "projector", "--brand", "sony"}, &brand, &error));
  EXPECT_EQ(gapBetween(brand, sony, epson), kDefaultGapMs);
}

TEST(PlayerFileSizeTest, TheSizeKnownBeforehandIsTheSizeWritten) {
  // Skipped codes, gaps, repeats and codes named twice count as they are
  // played, in every format; so do the sweep's gaps, shorter between
  // families than within one.
  const std::vector<std::string> named = {"--gap",
                                          "7",
                                          "--repeat",
                                          "2",
                                          "--output",
                                          "t.wav",
                                          "sony",
                                          "--brand",
                                          "rca",
                                          "toshiba",
                                          "sony",
                                          "--pronto",
                                          "0000 006D 0000 0002 0010 0010 0010 0200"};
  const std::vector<std::string> sweep = {"--output",  "t.wav",   "--kind",
                                          "projector", "--brand", "all"};
  for (const uint32_t frameBytes : {1u, 2u, 4u}) {
    SCOPED_TRACE(frameBytes);
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(parsePlayerArgs(frameBytes == 2 ? sweep : named, &options, &error)) << error;
    MemoryFileSystem fs;
    WaveSink sink(&fs, nullptr);
    ASSERT_TRUE(sink.setFormat(frameBytes == 1 ? 1 : 2, frameBytes == 4 ? 2 : 1, 44100));
    std::ostringstream out, err;
    ASSERT_EQ(playCodes(options, sink, out, err, nullptr), 0) << err.str();
    EXPECT_EQ(playedDataBytes(options, sink) + 44, fs.files[L"t.wav"].bytes.size());
  }
}

TEST_F(PlayerRunTest, RepeatPressesEachCodeInTurnAndQuietLeavesOnlyErrors) {
  // rca, named but beyond the rate, is the one line left.
  ASSERT_EQ(run({"-q", "--repeat", "3", "--gap", "10", "sony", "rca", "--code", "rc5:0:12"}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str().rfind("irwav-play: rca was not played", 0), 0u) << err.str();
  EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
  MemoryFileSystem fs;
  WaveSink sink(&fs, nullptr);
  PlayerOptions rc5;
  ASSERT_TRUE(parse({"--code", "rc5:0:12"}, &rc5));
  ASSERT_EQ(sink.open(L"c.wav"), 0);
  const IrCode rc5Code = rc5.codes[0].code();
  renderCode(&rc5Code, sink);
  ASSERT_EQ(sink.close(), 0);
  const std::vector<uint8_t> sony = renderedBytes(0);
  const std::vector<uint8_t> gap(480 * 4, 0);  // 10 ms
  const std::vector<uint8_t> rc5Bytes(fs.files[L"c.wav"].bytes.begin() + 44,
                                      fs.files[L"c.wav"].bytes.end());
  std::vector<uint8_t> expected;
  for (const std::vector<uint8_t>* part :
       {&sony, &gap, &sony, &gap, &sony, &gap, &rc5Bytes, &gap, &rc5Bytes, &gap, &rc5Bytes})
    expected.insert(expected.end(), part->begin(), part->end());
  EXPECT_TRUE(device.played == expected) << device.played.size() << " vs " << expected.size();
}

TEST_F(PlayerRunTest, ANamedCodeBeyondTheRateFailsTheRunABrandsIsANotice) {
  // rca's own code is beyond 48000 Hz, its NEC ones are not.
  EXPECT_EQ(run({"--brand", "rca"}), 0) << err.str();
  EXPECT_NE(out.str().find("Code rca skipped - freq = 55600 Hz"), std::string::npos) << out.str();
  EXPECT_EQ(err.str(), "");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--code", "rca:15:42", "sony"},
        std::vector<std::string>{"sony", "--pronto", "0000 0048 0000 0001 0010 0010"}}) {
    out.str("");
    err.str("");
    device.played.clear();
    EXPECT_EQ(run(args), 1) << args[1];
    EXPECT_EQ(out.str(), "Playing 0 sony - freq = 40000 Hz\n");
    EXPECT_NE(err.str().find(" was not played: a 5"), std::string::npos) << err.str();
    EXPECT_TRUE(device.played == renderedBytes(0)) << "sony alone, and all of it";
  }
}

TEST(PlayerArgsTest, NumbersCountByValueNotByLength) {
  PlayerOptions options;
  ASSERT_TRUE(
      parse({"--gap", "0000000005", "--rate=0000096000", "000000000000000000053"}, &options));
  EXPECT_EQ(options.gapMs, 5u);
  EXPECT_EQ(options.sampleRate, 96000u);
  EXPECT_EQ(indices(options), std::vector<size_t>{53});
  std::string error;
  EXPECT_FALSE(parse({"--gap", "00000000060001"}, &options, &error));
  EXPECT_NE(error.find("from 0 to 60000, not \"00000000060001\""), std::string::npos) << error;
  EXPECT_FALSE(parse({"--gap", "99999999999999999999999"}, &options, &error));
}

TEST(PlayerArgsTest, DoubleDashEndsTheOptionsAndHelpOrVersionWinAnywhereBeforeIt) {
  PlayerOptions options;
  ASSERT_TRUE(parse({"--gap", "7", "--", "sony", "5"}, &options));
  EXPECT_EQ(indices(options), (std::vector<size_t>{0, 5}));
  std::string error;
  EXPECT_FALSE(parse({"--", "--list"}, &options, &error));
  EXPECT_NE(error.find("no code named \"--list\""), std::string::npos) << error;
  EXPECT_FALSE(parse({"--", "--help"}, &options, &error));
  ASSERT_TRUE(parse({"bogus", "--gap", "--help"}, &options));
  EXPECT_TRUE(options.help);
  ASSERT_TRUE(parse({"--rate", "1", "--version", "--brand", "nosuch"}, &options));
  EXPECT_TRUE(options.version);
}

TEST(PlayerArgsTest, AnIrpTakesTheParameterValuesThatFollowIt) {
  const std::string sony12 = "{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]";
  PlayerOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--irp", sony12, "D=1", "F=0x15", "sony", "--irp=" + sony12, "F=21", "D=1",
                     "--code", "sony12:1:21"},
                    &options, &error))
      << error;
  ASSERT_EQ(options.codes.size(), 4u);
  EXPECT_EQ(options.codes[0].name, "irp 1");
  EXPECT_EQ(options.codes[1].tableIndex, 0u);
  EXPECT_EQ(options.codes[2].name, "irp 2");
  // Sony12 sends its frame three times; a protocol written as IRP twice.
  const std::vector<int32_t>& typed = options.codes[3].built.timings;
  std::vector<int32_t> twice(typed.begin(), typed.begin() + typed.size() * 2 / 3);
  twice.back() = 0;
  EXPECT_EQ(options.codes[0].built.timings, twice);
  EXPECT_EQ(options.codes[2].built.timings, twice);
  EXPECT_EQ(options.codes[0].built.carrierHz, 40000u);

  const std::pair<std::vector<std::string>, const char*> bads[] = {
      {{"--irp", "{40k,600}(4,-1"},
       "option --irp \"{40k,600}(4,-1\": bad IRP: expected ',' or ')'"},
      {{"--irp", sony12, "D=32", "F=1"}, "IRP parameter D 32 is out of range 0..31"},
      {{"--irp", sony12, "D=1"}, "IRP needs a parameter F (0..127)"},
      {{"--irp", sony12, "D=1", "F=1", "X=2"}, "IRP has no parameter X"},
      {{"--irp"}, "option --irp needs a value"},
      {{"--irp", "{5k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]", "D=1", "F=21"},
       "the carrier of 5000 Hz is outside"},
  };
  for (const auto& [args, reason] : bads) {
    EXPECT_FALSE(parse(args, &options, &error)) << args.back();
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

TEST_F(PlayerRunTest, BadInputEndsWithStatusTwoAndANamedReasonBeforeAnythingOpens) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"--code", "foo:1:2"}, "NEC1"},  // the known protocols are listed
      {{"sony", "--code", "rc5:32:12"}, "32"},
      {{"--code=sony12:1"}, "sony12:1"},
      {{"--pronto", "0000 006D 0000 0001 00zz 0010"}, "00zz"},
      {{"--pronto", "0000 0000 0000 0001 0010 0010"}, "0"},
      {{"--pronto", "0000 006D 0000 0002 0010 0010"}, "0002"},
      {{"--pronto", "0000 006D 0000 0001 0000 0010"}, "0"},
      {{"--pronto", "0100 006D 0000 0001 0010 0010"}, "0100"},
      {{"--brand", "nosuch"}, "no brand named \"nosuch\": irwav-play knows 229 brands"},
      {{"--brand", "aiwa"}, "no power code of aiwa is documented"},
      {{"--power", "of", "--brand", "sony"}, "option --power takes on, off or toggle, not \"of\""},
      {{"--rate", "50000", "sony"},
       "44100, 48000, 88200, 96000, 176400 or 192000 (Hz), not \"50000\""},
      {{"--rate", "-48000"}, "not \"-48000\""},
      {{"--output="}, "option --output needs a file name"},
      {{"--repeat", "0", "sony"}, "from 1 to 100, not \"0\""},
      {{"--repeat=101", "sony"}, "not \"101\""},
      {{"--list", "--format", "xml"}, "table, tsv or json, not \"xml\""},
      {{"--format=json", "sony"}, "option --format goes with --list, --brands or --keys all"},
  };
  for (const auto& c : cases) {
    err.str("");
    EXPECT_EQ(run(c.args), 2) << c.args.back();
    EXPECT_EQ(err.str().rfind("irwav-play: ", 0), 0u) << err.str();
    EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(device.opens, 0u);
}

TEST_F(PlayerRunTest, ListNamesJustTheCodesAskedForAtTheRate) {
  EXPECT_EQ(run({"--list", "--rate", "96000", "rca", "--code", "nec1:4:8"}), 0);
  EXPECT_EQ(out.str(),
            "Index  Name          Carrier  Marks  At 96000 Hz  Documented\n"
            "    1  rca             55600     52  rendered     yes\n"
            "    -  nec1:4:8        38400     36  rendered     -\n");
  out.str("");
  EXPECT_EQ(run({"--version", "sony"}), 0);
  EXPECT_EQ(out.str(), "irwav-play " IRWAV_VERSION "\n");
  EXPECT_EQ(device.opens, 0u);
}

/// The marks and spaces of a stream of 16-bit stereo frames at `rate`, in
/// units of 10 us: a mark is a stretch where the left channel moves, a
/// space one where it rests for longer than a few frames.
std::vector<int32_t> demodulate(const std::vector<uint8_t>& bytes, uint32_t rate) {
  const std::vector<StereoFrame> frames = stereoFrames(bytes);
  constexpr size_t kLongestQuiet = 8;  // the zero crossings inside a burst
  std::vector<bool> on(frames.size());
  for (size_t i = 0; i < frames.size(); ++i) on[i] = frames[i].left != 0;
  for (size_t i = 1, last = 0; i < frames.size(); ++i) {
    if (!on[i]) continue;
    if (on[last] && i - last <= kLongestQuiet) std::fill(on.begin() + last, on.begin() + i, true);
    last = i;
  }
  std::vector<int32_t> durations;
  size_t start = 0;
  while (start < frames.size() && !on[start]) ++start;
  for (size_t i = start; i <= frames.size(); ++i) {
    if (i < frames.size() && on[i] == on[start]) continue;
    durations.push_back(static_cast<int32_t>((i - start) * 100000 / rate));
    start = i;
  }
  return durations;
}

TEST_F(PlayerRunTest, At96000HzRcaRendersAndDemodulatesToDevice15Function42) {
  ASSERT_EQ(run({"--rate", "96000", "rca"}), 0);
  EXPECT_EQ(out.str(), "Playing 1 rca - freq = 55600 Hz\n");
  EXPECT_EQ(device.openedFormat.samplesPerSec, 96000u);
  const std::vector<irdecode::DecodedFrame> frames =
      irdecode::decodeRca(demodulate(device.played, 96000));
  ASSERT_EQ(frames.size(), 2u);  // the frame sent twice
  for (const irdecode::DecodedFrame& f : frames) {
    EXPECT_EQ(f.device, 15);
    EXPECT_EQ(f.function, 42);
    EXPECT_TRUE(f.checked);
  }
}

}  // namespace
