// The brand library and what --brand makes of it. The expected lists are
// worked out by hand from the library's source data.

#include "app/brands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/brand_codes.h"

namespace {

std::vector<std::string> namesOf(const std::string& brand) {
  std::vector<PlayItem> items;
  EXPECT_TRUE(appendBrandCodes(brand, &items)) << brand;
  std::vector<std::string> names;
  for (const PlayItem& item : items) names.push_back(item.name);
  return names;
}

TEST(BrandCodesTest, EveryDocumentedRowEncodesAtItsCarrier) {
  for (const BrandCode& row : kBrandCodes) {
    if (row.remotes == 0) {
      EXPECT_STREQ(row.protocol, "") << row.brand;
      continue;
    }
    OwnedIrCode code;
    std::string error;
    EXPECT_TRUE(encodeIrCode(row.protocol, row.fields, &code, &error))
        << row.brand << ": " << error;
    EXPECT_EQ(code.carrierHz, row.carrierHz) << row.brand << " " << row.protocol;
  }
}

TEST(BrandsTest, TableEntriesFirstThenTheLibraryCodesTheTableDoesNotCarry) {
  // hitachi's NEC1 80/23, its most documented code, is the table's hitachi.
  EXPECT_EQ(namesOf("Hitachi"),
            (std::vector<std::string>{"hitachi", "hitachi2", "hitachi3", "hitachi4",
                                      "hitachi rc5:3:12", "hitachi nec1:80.173:0",
                                      "hitachi nec1:12.251:149", "hitachi nec1:80:18"}));
  // The table's "thompson" is the thomson brand and carries its RCA 15/42.
  const std::vector<std::string> thomson = {"thompson", "thomson thomson:12:46",
                                            "thomson recs80:7:29", "thomson rc5:0:12"};
  EXPECT_EQ(namesOf("THOMSON"), thomson);
  EXPECT_EQ(namesOf("thompson"), thomson);
  EXPECT_EQ(namesOf("lg"), (std::vector<std::string>{"lg nec1:4:8", "lg nec1:4.244:8",
                                                     "lg nec1:1.1:28", "lg nec1:105.105:1"}));
  EXPECT_EQ(namesOf("sampo"), std::vector<std::string>{"sampo"});  // nothing documented
  std::vector<PlayItem> items;
  for (const char* unknown : {"nosuch", "hitachi2", "", "al"})
    EXPECT_FALSE(appendBrandCodes(unknown, &items)) << unknown;
  EXPECT_TRUE(items.empty());
}

TEST(BrandsTest, AllPlaysEveryTableEntryOnceAndEachOtherCodeOnce) {
  const std::vector<std::string> all = namesOf("all");
  std::vector<int> tableSeen(kIrCodeCount);
  std::vector<PlayItem> items;
  appendBrandCodes("all", &items);
  for (const PlayItem& item : items) {
    if (item.tableIndex != kNotInTable) ++tableSeen[item.tableIndex];
    for (const PlayItem& other : items) {
      if (&other == &item || other.tableIndex != kNotInTable || item.tableIndex != kNotInTable)
        continue;
      EXPECT_FALSE(other.built.timings == item.built.timings) << item.name << " " << other.name;
    }
  }
  EXPECT_EQ(tableSeen, std::vector<int>(kIrCodeCount, 1));
  // LG's NEC1 4/8 is the table's goldstar; sceptre's second code is its own.
  EXPECT_EQ(std::find(all.begin(), all.end(), "lg nec1:4:8"), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), "sceptre sony12:1:109"), all.end());
}

}  // namespace
