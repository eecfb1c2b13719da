// The key table and key names in the player: --code FAMILY:KEY, --keys,
// and the CSV reader the table is read with.

#include "library/tv_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/player.h"
#include "library/csv_table.h"

namespace {

/// The timings that --code `text` plays, or an empty code when it is refused.
OwnedIrCode played(const std::string& text, std::string* error = nullptr) {
  PlayerOptions options;
  std::string reason;
  if (!parsePlayerArgs({"--code", text}, &options, &reason) || options.codes.size() != 1) {
    if (error) *error = reason;
    return OwnedIrCode();
  }
  return options.codes[0].built;
}

TEST(CsvTable, QuotedFieldsAndBadRows) {
  CsvTable table;
  std::string error;
  ASSERT_TRUE(readCsv("a,b,c\r\n1,\"x, \"\"y\"\"\",\n,,3\n", &table, &error)) << error;
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0], (std::vector<std::string>{"1", "x, \"y\"", ""}));
  EXPECT_EQ(table.rows[1], (std::vector<std::string>{"", "", "3"}));
  EXPECT_EQ(table.column("c"), 2u);
  EXPECT_EQ(table.column("d"), 3u);

  const std::pair<const char*, const char*> bads[] = {
      {"a,b\n1,2,3\n", "line 2: 3 fields where the header has 2"},
      {"a,b\n1\n", "line 2: 1 fields where the header has 2"},
      {"a,b\n\"1,2\n", "line 2: a quote out of place"},
      {"a,b\n\"1\"x,2\n", "line 2: a quote out of place"},
      {"a,b\n1\"2,3\n", "line 2: a quote out of place"},
  };
  for (const auto& [text, expected] : bads) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(readCsv(text, &table, &error));
    EXPECT_EQ(error, expected);
  }
}

TEST(TvKeys, EveryRowOfTheDataIsReadIntoItsFamily) {
  EXPECT_TRUE(tvKeyTableFaults().empty()) << tvKeyTableFaults().front();
  size_t rows = 0;
  for (const TvKeyFamily& family : tvKeyFamilies()) rows += family.codes.size();
  // data/tv-keys.csv: 2245 rows of 43 families, Sony12 1 the most common.
  EXPECT_EQ(rows, 2245u);
  ASSERT_EQ(tvKeyFamilies().size(), 43u);
  EXPECT_EQ(tvKeyFamilies()[0].name(), "Sony12:1");
  EXPECT_EQ(tvKeyFamilies()[0].files, 122u);
}

TEST(TvKeys, AKeyPlaysTheCodeItsRowGives) {
  // Each pair plays alike: a key, and the code its most common row gives
  // (data/tv-keys.csv), the family written in several ways.
  const std::pair<const char*, const char*> same[] = {
      {"necx2:7.7:volume_up", "necx2:7.7:7"},
      {"NECx2:7.7:VOLUME_UP", "necx2:7.7:7"},
      {"samsung32:7:mute", "necx2:7.7:15"},
      {"sony12:1:mute", "sony12:1:20"},
      {"nec1:4:power", "nec1:4:8"},
      {"nec1:4.251:power", "nec1:4:8"},
      {"nec1:24:menu", "nec1:24:125"},
      {"nec1:24.24:menu", "nec1:24.24:180"},
      {"rc5:0:power:t=1", "rc5:0:12:t=1"},
      // Keys sent with another code than the family's.
      {"sony12:1:red", "sony12:3:76"},
      {"sony12:1:back", "sony15:151:35"},
      {"sirc:1:back", "sony15:151:35"},
      {"panasonic:128.0:stop", "panasonic:144.0:0"},
  };
  for (const auto& [key, code] : same) {
    SCOPED_TRACE(key);
    std::string error;
    const OwnedIrCode byKey = played(key, &error);
    ASSERT_FALSE(byKey.timings.empty()) << error;
    const OwnedIrCode byCode = played(code, &error);
    EXPECT_EQ(byKey.carrierHz, byCode.carrierHz);
    EXPECT_EQ(byKey.timings, byCode.timings);
  }
}

TEST(TvKeys, UnknownKeysAndFamiliesAreRefusedWithWhatThereIs) {
  std::string error;
  EXPECT_TRUE(played("sony12:1:volume", &error).timings.empty());
  EXPECT_NE(error.find("Sony12:1 has no key \"volume\"; its keys: power power_on power_off "
                       "volume_up volume_down mute"),
            std::string::npos)
      << error;
  EXPECT_TRUE(played("nec1:5:power", &error).timings.empty());
  EXPECT_NE(error.find("no key table for NEC1:5; the tv families with keys: Sony12:1 RC5:0 NEC1:4"),
            std::string::npos)
      << error;

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runPlayer({"--code", "rc5:0:blah"}, out, err, nullptr, nullptr), 2);
  EXPECT_EQ(runPlayer({"--keys", "rc5:9"}, out, err, nullptr, nullptr), 2);
  EXPECT_EQ(runPlayer({"--keys", "rc5"}, out, err, nullptr, nullptr), 2);
  EXPECT_NE(err.str().find("option --keys \"rc5:9\": no key table for RC5:9"), std::string::npos)
      << err.str();
  EXPECT_EQ(out.str(), "");
}

TEST(TvKeys, KeysListsEachCodeOfEachKeyWithItsCounts) {
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(runPlayer({"--keys", "sony12:1"}, out, err, nullptr, nullptr), 0) << err.str();
  const std::string text = out.str();
  // Rows of data/tv-keys.csv: power 21 (106 of 114 files), 46 (3), 109
  // (2); back sent as Sony15 D=151 F=35 (19 of 33).
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "Sony12:1 (tv): the keys of 122 remote files; --code plays a key's first code");
  EXPECT_NE(text.find("\npower         21                                    106    114\n"
                      "              46                                      3    114\n"
                      "              109                                     2    114\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nback          sent as Sony15 D=151 F=35              19     33\n"),
            std::string::npos)
      << text;
}

/// The total length of a code's timings in ms.
double lengthMs(const OwnedIrCode& code) {
  int64_t units = 0;
  for (int32_t t : code.timings) units += t;
  return units * kTimingUnitUs / 1000.0;
}

TEST(HeldKeys, AHeldKeySendsItsFrameThenTheRepeatPartForTheHold) {
  PlayerOptions options;
  std::string error;
  // NEC1 4 volume_up (F=2 in data/tv-keys.csv) held 500 ms: the frame of
  // 108 ms, then the ditto (+9024 -2256 +564, to 108 ms) until 500 ms have
  // passed: four of them. A Pronto code repeats its repeat sequence; a
  // built-in code is a power code and stays a short press.
  const char kPronto[] = "0000 006C 0002 0001 015A 00AD 0016 0E6B 0016 0016";
  ASSERT_TRUE(
      parsePlayerArgs({"--code", "nec1:4:volume_up", "--pronto", kPronto, "sony", "--hold", "500"},
                      &options, &error))
      << error;
  ASSERT_EQ(options.codes.size(), 3u);
  const std::vector<int32_t>& held = options.codes[0].built.timings;
  const OwnedIrCode press = played("nec1:4:2");
  ASSERT_EQ(held.size(), 68u + 4 * 4);
  EXPECT_TRUE(std::equal(press.timings.begin(), press.timings.begin() + 68, held.begin()));
  for (size_t i = 68; i < held.size(); i += 4) {
    SCOPED_TRACE(i);
    EXPECT_EQ(held[i], 902);
    EXPECT_EQ(held[i + 1], 226);
    EXPECT_EQ(held[i + 2], 56);
    EXPECT_EQ(held[i + 3], i + 4 == held.size() ? 0 : 9616);
  }
  // Once (9024/4512, 564/96156) then the repeat sequence (564/564 at 38381
  // Hz) again and again until the 500 ms have passed.
  const OwnedIrCode& pronto = options.codes[1].built;
  EXPECT_GE(lengthMs(pronto), 500.0 - 1);
  EXPECT_LT(lengthMs(pronto), 500.0 + 2);
  for (size_t i = 4; i + 2 < pronto.timings.size(); i += 2)
    EXPECT_EQ(pronto.timings[i], pronto.timings[2]) << i;
  EXPECT_EQ(options.codes[2].built.timings.size(), 0u);

  EXPECT_FALSE(parsePlayerArgs({"--hold", "9001"}, &options, &error));
  EXPECT_EQ(error, "option --hold takes milliseconds from 0 to 9000, not \"9001\"");
  // 0, the default, is a short press.
  ASSERT_TRUE(parsePlayerArgs({"--hold=0", "--code", "nec1:4:2"}, &options, &error)) << error;
  EXPECT_EQ(options.codes[0].built.timings, press.timings);
}

}  // namespace
