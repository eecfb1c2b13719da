// The collections' own notation: protocol aliases and hexadecimal fields in
// --code, and the signals of an IR signals file (--ir).

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/player.h"

namespace {

/// The codes that `args` give the player; none when they are refused.
std::vector<OwnedIrCode> played(const std::vector<std::string>& args, std::string* error) {
  PlayerOptions options;
  std::vector<OwnedIrCode> codes;
  if (!parsePlayerArgs(args, &options, error)) return codes;
  for (const PlayItem& item : options.codes) codes.push_back(item.built);
  return codes;
}

/// A file in the running test's temporary folder, holding `text`.
std::string writeFile(const std::string& name, const std::string& text) {
  // A folder of each test's own: ctest runs the tests side by side.
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      (std::string("irwav-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::create_directories(folder);
  const std::string path = (folder / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

void expectSameCodes(const std::vector<OwnedIrCode>& actual,
                     const std::vector<OwnedIrCode>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(actual[i].carrierHz, expected[i].carrierHz);
    EXPECT_EQ(actual[i].timings, expected[i].timings);
  }
}

const char kRemote[] = R"(Filetype: IR signals file
Version: 1
# Written for this test: one signal of each reading.
name: Power
type: parsed
protocol: NECext
address: 04 B9 00 00
command: 00 FF 00 00
#
name: Power16
type: parsed
protocol: NECext
address: 83 7A 00 00
command: 08 00 00 00
#
name: Vol_up
type: parsed
protocol: Samsung32
address: 07 00 00 00
command: 07 00 00 00
#
name: Menu
type: parsed
protocol: RC5X
address: 00 00 00 00
command: 12 00 00 00
#
name: Sony
type: parsed
protocol: SIRC
address: 01 00 00 00
command: 15 00 00 00
#
name: Pana
type: parsed
protocol: Kaseikyo
address: 80 02 20 00
command: D0 03 00 00
#
name: Rca
type: parsed
protocol: RCA
address: 0F 00 00 00
command: 54 00 00 00
#
name: Long
type: parsed
protocol: NEC42
address: 01 00 00 00
command: 02 00 00 00
#
name: Raw
type: raw
frequency: 38000
duty_cycle: 0.330000
data: 9024 4512 564 564 566
#
name: power
type: raw
frequency: 36000
duty_cycle: 0.33
data: 889 889 1778
)";

TEST(CollectionCodes, AliasesHexAndIrFilesPlayTheCodesTheRulesGive) {
  std::string error;
  // The readings: NECext 04 B9 / 00 FF is NEC1 4.185:0, 83 7A / 08 00
  // (no complement) NEC1-f16 131.122:8; Samsung32 07/07 NECx2 7.7:7; RC5X
  // 0/0x12 RC5 0:82; SIRC 1/0x15 Sony12 1:21; Kaseikyo 80 02 20 00 / D0 03
  // Panasonic 128.0:61; RCA 0F/54 (bits reversed) RCA 15:42.
  const std::vector<OwnedIrCode> expected = played(
      {"--code", "nec1:4.185:0", "--code", "nec1-f16:131.122:8", "--code", "necx2:7.7:7", "--code",
       "rc5:0:82", "--code", "sony12:1:21", "--code", "panasonic:128.0:61", "--code", "rca:15:42"},
      &error);
  ASSERT_EQ(expected.size(), 7u) << error;

  const std::vector<OwnedIrCode> typed =
      played({"--code", "necext:0xb904:0xff00", "--code", "NECext:0x83.0x7A:0x0008", "--code",
              "samsung32:7:0x07", "--code", "rc5x:0:0X12", "--code", "sirc:0x1:21"},
             &error);
  expectSameCodes(typed, {expected.begin(), expected.begin() + 5});
  EXPECT_TRUE(error.empty()) << error;

  const std::string remote = writeFile("remote.ir", kRemote);
  const std::vector<OwnedIrCode> read =
      played({"--ir", remote, "power16", "VOL_UP", "menu", "sony", "pana", "rca"}, &error);
  expectSameCodes(read, {expected.begin() + 1, expected.end()});
  EXPECT_TRUE(error.empty()) << error;

  // A name names every signal that has it, in any case: a parsed and a raw
  // one. Raw durations round to 10 us units, the last one ending the code.
  const std::vector<OwnedIrCode> powers = played({"--ir", remote, "POWER", "raw"}, &error);
  ASSERT_EQ(powers.size(), 3u) << error;
  expectSameCodes({powers[0]}, {expected[0]});
  EXPECT_EQ(powers[1].carrierHz, 36000u);
  EXPECT_EQ(powers[1].timings, (std::vector<int32_t>{89, 89, 178, 0}));
  EXPECT_EQ(powers[2].carrierHz, 38000u);
  EXPECT_EQ(powers[2].timings, (std::vector<int32_t>{902, 451, 56, 56, 57, 0}));

  // Signal names follow their file until the next option; all signals when
  // none is named (here one does not convert, and says so).
  EXPECT_EQ(played({"--ir", remote, "raw", "--code", "nec1:4:8", "sony"}, &error).size(), 3u)
      << error;
  EXPECT_TRUE(played({"--ir", remote}, &error).empty());
  EXPECT_EQ(error, remote +
                       ":46: signal \"Long\": protocol \"NEC42\" is not one irwav-play "
                       "converts");
}

TEST(CollectionCodes, BadAliasesAndBadFilesAreRefusedNamingTheFault) {
  const std::pair<const char*, const char*> badCodes[] = {
      {"necext:0x10000:0", "NECext address 0x10000 is out of range 0..65535"},
      {"necext:256.1:0", "NECext device 256 is out of range 0..255"},
      {"samsung32:7.7:2", "Samsung32 has no subdevice"},
      {"rc5x:0:64", "RC5X command 64 is out of range 0..63"},
      {"nec1:0x:8", "NEC1 device \"0x\" is not a number"},
      {"nec1:4:0x1G", "NEC1 function \"0x1G\" is not a number"},
      {"nec1:0x100:8", "NEC1 device 0x100 is out of range 0..255"},
      {"nec9:4:8", "and the aliases NEC NECext Samsung32 SIRC SIRC15 SIRC20 RC5X"},
  };
  std::string error;
  for (const auto& [code, expected] : badCodes) {
    SCOPED_TRACE(code);
    EXPECT_TRUE(played({"--code", code}, &error).empty());
    EXPECT_NE(error.find(expected), std::string::npos) << error;
  }

  const std::string head = "Filetype: IR signals file\nVersion: 1\nname: A\n";
  const std::string parsed = head + "type: parsed\nprotocol: NEC\n";
  const std::pair<std::string, std::string> badFiles[] = {
      {"", ":0: the file is empty"},
      {"Filetype: something else\n", ":1: not an IR signals file"},
      {"Filetype: IR signals file\nVersion: 2\n", ":2: version 2 is not known"},
      {head + "type: parsed\nprotocol: NEC\naddress: 04 00\ncommand: 08 00 00 00\n",
       ":6: address \"04 00\" is not 4 hexadecimal bytes"},
      {parsed + "address: 04 00 00 00\n", ":3: signal \"A\" has no command:"},
      {parsed + "address: 04 00 00 00\naddress: 04 00 00 00\n", ":7: \"address:\" is given twice"},
      {parsed + "address: 04 00 00 00\ncommand: 08 00 00 00\ndata: 1\n",
       ":8: \"data:\" does not belong in a parsed signal"},
      {parsed + "address: 04 00 00 00\ncommand: 00 01 00 00\n",
       ":3: signal \"A\": NEC command 256 is out of range 0..255"},
      {head + "type: parsed\nprotocol: Kaseikyo\naddress: 80 14 63 00\ncommand: 00 00 00 00\n",
       ":3: signal \"A\": Kaseikyo maker bytes 20 99 are not read"},
      {head + "type: raw\nfrequency: 38000\ndata: 100 x 100\n",
       ":6: data value 2 \"x\" is not a duration"},
      {head + "type: raw\nfrequency: 38000\ndata: 100 0 100\n",
       ":6: data value 2 (0) is a duration of 0"},
      {head + "type: raw\nfrequency: 38000\ndata: 9000000 9000000\n",
       ":6: the data last more than 10 seconds"},
      {head + "type: raw\nfrequency: 38000\nduty_cycle: 1.5\ndata: 1\n", ":6: duty_cycle \"1.5\""},
      {head + "type: raw\nfrequency: 1000\ndata: 100\n", ":6: the carrier of 1000 Hz is outside"},
      {head + "type: sideways\n", ":4: type \"sideways\" is neither parsed nor raw"},
      {"Filetype: IR signals file\nVersion: 1\ntype: raw\n", ":3: \"type:\" comes before"},
      {"Filetype: IR signals file\nVersion: 1\nname: A\njunk\n", ":4: \"junk\" is not a line"},
  };
  for (size_t i = 0; i < std::size(badFiles); ++i) {
    const auto& [text, expected] = badFiles[i];
    SCOPED_TRACE(text);
    const std::string path = writeFile("bad" + std::to_string(i) + ".ir", text);
    EXPECT_TRUE(played({"--ir", path}, &error).empty());
    EXPECT_EQ(error.find(path + expected), 0u) << error;
  }

  const std::string remote = writeFile("remote.ir", kRemote);
  EXPECT_TRUE(played({"--ir", remote, "power", "nope"}, &error).empty());
  EXPECT_EQ(error, remote +
                       ": no signal named \"nope\"; its signals: \"Power\" \"Power16\" "
                       "\"Vol_up\" \"Menu\" \"Sony\" \"Pana\" \"Rca\" \"Long\" \"Raw\" "
                       "\"power\"");
  EXPECT_TRUE(played({"--ir", remote + ".missing"}, &error).empty());
  EXPECT_EQ(error.find("cannot read \"" + remote + ".missing\": "), 0u) << error;
}

}  // namespace
