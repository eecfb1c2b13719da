// The brand library read from its data file, and what --brand makes of it.
// The expected values are read by hand from data/power-codes.csv.

#include "library/brands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "library/ir_codes.h"
#include "library/power_choice.h"
#include "library/power_library.h"

namespace {

std::vector<std::string> namesOf(const std::string& brand, PowerKey power = PowerKey::kToggle) {
  std::vector<PlayItem> items;
  EXPECT_TRUE(appendBrandCodes(brand, &items, power)) << brand;
  std::vector<std::string> names;
  for (const PlayItem& item : items) names.push_back(item.name);
  return names;
}

const LibraryCode* findRow(const std::string& name) {
  for (const LibraryCode& row : libraryCodes())
    if (row.name == name) return &row;
  return nullptr;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(PowerLibraryTest, EveryRowOfTheDataFileIsACodeOrSaysWhyNot) {
  const std::vector<LibraryCode>& rows = libraryCodes();
  ASSERT_EQ(rows.size(), 430u);  // with the corrections' new row
  std::set<std::string> brands;
  std::set<std::string> unplayable;
  for (const LibraryCode& row : rows) {
    brands.insert(row.brand);
    if (!row.unplayable.empty()) {
      unplayable.insert(row.name);
      EXPECT_TRUE(row.code.timings.empty()) << row.name;
    } else {
      EXPECT_EQ(row.code.carrierHz, row.carrierHz) << row.name;
      EXPECT_FALSE(row.code.timings.empty()) << row.name;
    }
  }
  EXPECT_EQ(brands.size(), 229u);
  EXPECT_EQ(brandNames().size(), 229u);  // every built-in brand is a library brand too

  // The Fire TV sets' subdevice is 125; Magnavox's NEC1-f16 file is read as
  // NEC1, and says that this is inferred.
  for (const char* name :
       {"toshiba nec1:2.125:70", "insignia nec1:2.125:70", "westinghouse nec1:2.125:70"})
    EXPECT_NE(findRow(name), nullptr) << name;
  EXPECT_EQ(findRow("toshiba nec1:2:70"), nullptr);
  ASSERT_NE(findRow("philips rc5:16:12"), nullptr);
  EXPECT_EQ(findRow("philips rc5:16:12")->remotes, 1u);
  const LibraryCode* magnavox = findRow("magnavox nec1:131.122:8");
  ASSERT_NE(magnavox, nullptr);
  EXPECT_NE(magnavox->notes.find("(inferred)"), std::string::npos);
  const LibraryCode* sony = findRow("sony sony12:1:46");
  ASSERT_NE(sony, nullptr);
  EXPECT_EQ(sony->key, PowerKey::kOn);
  EXPECT_EQ(sony->remotes, 8u);
  const LibraryCode* kaseikyo = findRow("sharp kaseikyo:8.18:22:m=170:n=90:e=1");
  ASSERT_NE(kaseikyo, nullptr);
  // The raw row: its stored durations at the capture's carrier, in 10 µs.
  const LibraryCode* raw = findRow("samsung raw");
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(raw->code.carrierHz, 38000u);
  ASSERT_GT(raw->code.timings.size(), 4u);
  EXPECT_EQ(std::vector<int32_t>(raw->code.timings.begin(), raw->code.timings.begin() + 4),
            (std::vector<int32_t>{450, 447, 57, 166}));
  EXPECT_EQ(raw->code.timings.back(), 0);

  // What cannot be played, and the brands with nothing documented.
  ASSERT_NE(findRow("seleco barco:0:1"), nullptr);
  EXPECT_NE(findRow("seleco barco:0:1")->unplayable.find("without a carrier"), std::string::npos);
  ASSERT_NE(findRow("sampo"), nullptr);
  EXPECT_EQ(findRow("sampo")->remotes, 0u);
  // Every other row plays: Sony15, Mitsubishi, Blaupunkt, MCE and the rest
  // included.
  std::set<std::string> expected = {"seleco barco:0:1"};
  for (const LibraryCode& row : rows)
    if (row.protocol.empty()) expected.insert(row.name);
  EXPECT_EQ(unplayable, expected);

  std::vector<LibraryCode> read;
  std::string error;
  EXPECT_FALSE(readLibrary("brand,protocol\nsony,Sony12\n", &read, &error));
}

TEST(BrandsTest, DocumentedCodesMostWidelyDocumentedFirstThenBestGuesses) {
  // hitachi's NEC1 80/23 (8 remotes) is what hitachi, hitachi2 and hitachi3
  // carry; hitachi4 is a guess. NEC1 80.173's on and off codes (2 remotes
  // each) outweigh its toggle (1): they play, the on code first.
  EXPECT_EQ(namesOf("Hitachi"),
            (std::vector<std::string>{
                "hitachi", "hitachi2", "hitachi3", "hitachi rc5:3:12", "hitachi nec1:80.173:1",
                "hitachi nec1:80.173:2", "hitachi nec1:80.173:0", "hitachi nec1:12.251:149",
                "hitachi nec1:80:18", "hitachi mitsubishi:71:2", "hitachi4"}));
  // The table's "thompson" is the thomson brand: its RCA 15/42 has 2
  // remotes, Thomson 12/46 has 3.
  const std::vector<std::string> thomson = {"thomson thomson:12:46", "thompson",
                                            "thomson recs80:7:29", "thomson rc5:0:12",
                                            "thomson thomson:0:48"};
  EXPECT_EQ(namesOf("THOMSON"), thomson);
  EXPECT_EQ(namesOf("thompson"), thomson);
  EXPECT_EQ(namesOf("grundig"),
            (std::vector<std::string>{"grundig blaupunkt:0:2", "grundig rc5:0:12"}));
  // Only guesses: it plays them and says so; nothing at all: it says why.
  EXPECT_EQ(namesOf("sampo"), std::vector<std::string>{"sampo"});
  EXPECT_NE(brandRemarks("sampo", PowerKey::kToggle).at(0).find("best guesses"), std::string::npos);
  EXPECT_TRUE(namesOf("aiwa").empty());
  EXPECT_NE(brandRemarks("aiwa", PowerKey::kToggle).at(0).find("cannot be decoded"),
            std::string::npos);
  EXPECT_TRUE(brandRemarks("sony", PowerKey::kToggle).empty());
  EXPECT_EQ(
      brandRemarks("seleco", PowerKey::kToggle),
      std::vector<std::string>{"seleco barco:0:1 is not played: it is sent without a carrier, "
                               "which an emitter on a sound card cannot do"});
  std::vector<PlayItem> items;
  for (const char* unknown : {"nosuch", "hitachi2", "", "al"})
    EXPECT_FALSE(appendBrandCodes(unknown, &items)) << unknown;
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(unknownBrandMessage("xyz"),
            "no brand named \"xyz\": irwav-play knows 229 brands (irwav-play --brands lists "
            "them); --brand all plays every code");
}

TEST(BrandsTest, TheSweepPlaysEachCodeOnceMostCommonFirstAndNeverOnAfterOff) {
  for (PowerKey power : {PowerKey::kToggle, PowerKey::kOff, PowerKey::kOn}) {
    const std::vector<SweepItem> sweep = sweepItems(power);
    std::set<size_t> tableSeen;
    bool guessSeen = false;
    for (size_t i = 0; i < sweep.size(); ++i) {
      const SweepItem& s = sweep[i];
      if (i > 0 && s.remotes > 0) {
        EXPECT_LE(s.remotes, sweep[i - 1].remotes) << s.item.name;
      }
      if (s.remotes == 0) guessSeen = true;
      EXPECT_EQ(s.remotes > 0, !guessSeen) << s.item.name;
      if (s.item.tableIndex != kNotInTable) {
        EXPECT_TRUE(tableSeen.insert(s.item.tableIndex).second);
      } else {
        // A library code keeps its row, which --list --format describes it
        // by; a universal list's entry its entry.
        EXPECT_TRUE((s.item.libraryRow != nullptr) != (s.item.universalEntry != nullptr))
            << s.item.name;
      }
      for (size_t j = 0; j < i; ++j) {
        const IrCode a = s.item.code();
        const IrCode b = sweep[j].item.code();
        const bool same = a.carrierHz == b.carrierHz && a.timingCount == b.timingCount &&
                          std::equal(a.timings, a.timings + a.timingCount, b.timings);
        EXPECT_FALSE(same) << s.item.name << " again after " << sweep[j].item.name;
      }
    }
    // Which discrete codes each sweep holds: never an on code with an off
    // code or a toggle of its family before it.
    std::vector<std::string> names;
    for (const SweepItem& s : sweep) names.push_back(s.item.name);
    const bool toggle = power == PowerKey::kToggle;
    EXPECT_EQ(contains(names, "sony"), toggle);  // Sony12 1/21, the table's sony
    EXPECT_EQ(contains(names, "sony sony12:1:47"), power == PowerKey::kOff);
    EXPECT_EQ(contains(names, "sony sony12:1:46"), power == PowerKey::kOn);
    EXPECT_TRUE(contains(names, "lg nec1:1.1:28"));  // a toggle of a family without discrete codes
    // JVC 31 has no toggle: its off code plays unless on codes are asked.
    EXPECT_EQ(contains(names, "jvc jvc:31:218"), power != PowerKey::kOn);
    EXPECT_EQ(contains(names, "jvc jvc:31:221"), power == PowerKey::kOn);
    if (toggle) {
      EXPECT_EQ(names.front(), "sony");
      EXPECT_EQ(sweep.front().remotes,
                116u);                   // Sony12 1/21 of sony, sceptre, aeg, mirai, westinghouse
      EXPECT_EQ(names.back(), "kloss");  // the last of the best guesses
    }
  }
}

}  // namespace
