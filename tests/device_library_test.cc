// The library by device kind: every row of every data file is a code that
// plays or says why not, the TV table's corrections, the TV sweep with the
// universal lists, every key family reachable by --code, and a projector's
// confirming second press.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library/device_library.h"
#include "library/key_codes.h"

namespace {

/// The reasons a row of the data may give for not playing; anything else
/// is a fault of the reader or the encoder.
bool knownReason(const std::string& why) {
  for (const char* reason : {"no power code of ", "it is sent without a carrier",
                             "its sources do not give every field", "Sony15 device "}) {
    if (why.compare(0, std::string(reason).size(), reason) == 0) return true;
  }
  return false;
}

TEST(DeviceLibraryTest, EveryDataRowPlaysOrSaysWhy) {
  // Rows of each file: data/power-codes*.csv with the TV corrections' new
  // row, and the key tables.
  const std::map<DeviceKind, std::pair<size_t, size_t>> rows = {
      {DeviceKind::kTv, {430, 2245}},
      {DeviceKind::kAudio, {628, 2707}},
      {DeviceKind::kProjector, {199, 809}},
      {DeviceKind::kBox, {333, 3088}}};
  for (DeviceKind kind : kDeviceKinds) {
    SCOPED_TRACE(kindName(kind));
    const std::vector<LibraryCode>& codes = libraryCodes(kind);
    EXPECT_EQ(codes.size(), rows.at(kind).first);
    size_t playing = 0;
    for (const LibraryCode& row : codes) {
      EXPECT_EQ(row.kind, kind);
      if (row.unplayable.empty()) {
        ++playing;
        // The protocol's carrier; the tables give it or the captures' own,
        // a few per cent apart.
        EXPECT_NEAR(row.code.carrierHz, row.carrierHz, row.carrierHz / 20.0) << row.name;
        EXPECT_GT(row.code.timings.size(), 2u) << row.name;
      } else {
        EXPECT_TRUE(row.code.timings.empty()) << row.name;
        EXPECT_TRUE(knownReason(row.unplayable)) << row.name << ": " << row.unplayable;
      }
    }
    EXPECT_GT(playing * 100, codes.size() * 85);  // the unplayable are few
    EXPECT_TRUE(keyTableFaults(kind).empty());
    size_t keyRows = 0;
    for (const TvKeyFamily& family : keyFamilies(kind)) {
      EXPECT_EQ(family.kind, kind);
      for (const TvKeyCode& code : family.codes) {
        ++keyRows;
        OwnedIrCode encoded;
        std::string why;
        if (!encodeKeyCode(family, code, &encoded, &why)) {
          EXPECT_TRUE(knownReason(why)) << family.name() << " " << code.key << ": " << why;
        }
      }
    }
    EXPECT_EQ(keyRows, rows.at(kind).second);
  }
  // Rows that cannot be what they say are named, not played: 48-NEC1
  // without its E, Nokia32 without its X, Sony15 devices above 255.
  const auto reasonOf = [](DeviceKind kind, const std::string& name) {
    for (const LibraryCode& row : libraryCodes(kind))
      if (row.name == name) return row.unplayable;
    return std::string("no such row");
  };
  EXPECT_EQ(reasonOf(DeviceKind::kProjector, "nec 48-nec1:24.247:136"),
            "its sources do not give every field 48-NEC1 sends");
  EXPECT_EQ(reasonOf(DeviceKind::kBox, "kathrein nokia32:34.144:12"),
            "its sources do not give every field Nokia32 sends");
  EXPECT_EQ(reasonOf(DeviceKind::kBox, "foxtel nokia32:33.160:12:e=38"), "");
  EXPECT_EQ(reasonOf(DeviceKind::kProjector, "sony sony15:3738:47"),
            "Sony15 device 3738 is out of range 0..255");
  // A Kaseikyo key takes its maker bytes and E from the row's extra
  // fields ("M=67 N=83 E=10"); a Nokia32 key its X.
  for (const auto& [protocol, device] :
       {std::pair<const char*, int32_t>{"Kaseikyo", 0}, {"Nokia32", 33}}) {
    bool found = false;
    for (DeviceKind kind : kDeviceKinds) {
      for (const TvKeyFamily& family : keyFamilies(kind)) {
        if (family.protocol != protocol || family.device != device) continue;
        found = true;
        OwnedIrCode encoded;
        std::string why;
        EXPECT_TRUE(encodeKeyCode(family, family.codes.front(), &encoded, &why)) << why;
        EXPECT_NE(keyCodeText(family, family.codes.front()).find(":e="), std::string::npos);
      }
    }
    EXPECT_TRUE(found) << protocol;
  }

  // The universal lists: played as stored, at the stored carrier.
  const std::vector<UniversalEntry>& entries = universalEntries();
  ASSERT_EQ(entries.size(), 292u);
  size_t silent = 0;
  for (const UniversalEntry& entry : entries) {
    if (entry.carrierHz == 0) {
      ++silent;
      EXPECT_EQ(entry.unplayable, kNoCarrierReason) << entry.name;
      continue;
    }
    EXPECT_EQ(entry.unplayable, "") << entry.name;
    EXPECT_EQ(entry.code.carrierHz, entry.carrierHz) << entry.name;
  }
  EXPECT_EQ(silent, 18u);
  // The first entry, code_na000 at 38400 Hz: Sony12 1/21 as the list
  // stores it, twice, each frame ending in a 27 ms space (in 10 µs units;
  // the last space is the renderer's closing silence).
  const std::vector<int32_t> frame = {240, 60, 120, 60,  60, 60, 120, 60, 60, 60, 120, 60, 60,
                                      60,  60, 60,  120, 60, 60, 60,  60, 60, 60, 60,  60};
  std::vector<int32_t> twice = frame;
  twice.push_back(2700);
  twice.insert(twice.end(), frame.begin(), frame.end());
  twice.push_back(0);
  EXPECT_EQ(entries[0].name, "universal na1 sony12:1:21");
  EXPECT_EQ(entries[0].code.carrierHz, 38400u);
  EXPECT_EQ(entries[0].code.timings, twice);
}

TEST(DeviceLibraryTest, AStoredPressBecomesOneCode) {
  // Two spaces in a row across frames are one; a duration of 0 is none; a
  // leading space is nothing to send; no carrier is a reason.
  const char* const lines[] = {
      "list,position,source_name,carrier_hz,protocol,device,subdevice,function,toggle_or_extra,"
      "raw_us,in_power_codes",
      "na,1,a,36000,,,,,,-50 +100 -200 | -300 +400 -500 0,", "na,2,b,0,,,,,,+100 -200,",
      "eu,1,c,38000,NEC1,4,,8,,+9000 -4500 +560,\"lg,NEC1,4,,8\"", nullptr};
  std::vector<UniversalEntry> entries;
  std::string error;
  ASSERT_TRUE(readUniversalEntries(lines, &entries, &error)) << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].code.timings, (std::vector<int32_t>{10, 50, 40, 0}));
  EXPECT_EQ(entries[0].name, "universal na1");
  EXPECT_EQ(entries[1].unplayable, kNoCarrierReason);
  EXPECT_EQ(entries[2].name, "universal eu1 nec1:4:8");
  EXPECT_EQ(entries[2].signal, signalKey("NEC2", IrFields{4, 251, 8}));
  EXPECT_EQ(entries[2].inPowerCodes, "lg,NEC1,4,,8");
  const char* const bad[] = {lines[0], "na,1,a,36000,,,,,,+100 -x,", nullptr};
  EXPECT_FALSE(readUniversalEntries(bad, &entries, &error));
  EXPECT_EQ(error, "line 2: the durations are not signed microseconds in frames");
}

TEST(DeviceLibraryTest, TheTvTableTakesItsCorrections) {
  const std::vector<LibraryCode>& tv = libraryCodes();
  const auto at = [&](const std::string& name) {
    return std::find_if(tv.begin(), tv.end(), [&](const LibraryCode& r) { return r.name == name; });
  };
  ASSERT_NE(at("magnavox nec1:131.122:8"), tv.end());
  EXPECT_EQ(at("magnavox nec1:131.122:8")->notes.compare(0, 10, "CORRECTION"), 0);
  EXPECT_EQ(at("magnavox nec1-f16:131.122:8"), tv.end());
  // The new row goes after its brand's.
  const auto fetch = at("fetch nec1:100.70:93");
  ASSERT_NE(fetch, tv.end());
  EXPECT_EQ(std::prev(fetch)->name, "fetch nec1:100.70:1");

  std::vector<LibraryCode> codes = tv;
  LibraryCode stray = *fetch;
  stray.notes = "CORRECTION: replaces nothing";
  stray.fields.function = 200;
  std::string error;
  EXPECT_FALSE(applyLibraryAdditions({stray}, &codes, &error));
  EXPECT_NE(error.find("finds no row to replace"), std::string::npos) << error;
}

TEST(DeviceLibraryTest, TheTvSweepAddsTheUniversalListsAsStoredNothingTwice) {
  for (PowerKey power : {PowerKey::kToggle, PowerKey::kOff, PowerKey::kOn}) {
    SCOPED_TRACE(static_cast<int>(power));
    const std::vector<SweepItem> sweep = sweepItems(power);
    std::set<std::string> documentedSignals;
    std::vector<const UniversalEntry*> universal;
    bool guesses = false;
    for (const SweepItem& s : sweep) {
      if (s.item.libraryRow) {
        // Documented codes keep their place at the front.
        EXPECT_TRUE(universal.empty() && !guesses) << s.item.name;
        documentedSignals.insert(signalKey(s.item.libraryRow->protocol, s.item.libraryRow->fields));
      } else if (s.item.universalEntry) {
        EXPECT_FALSE(guesses) << s.item.name;
        universal.push_back(s.item.universalEntry);
        const IrCode played = s.item.code();
        EXPECT_EQ(std::vector<int32_t>(played.timings, played.timings + played.timingCount),
                  s.item.universalEntry->code.timings);
      } else if (s.remotes == 0) {
        guesses = true;
      }
    }
    if (power == PowerKey::kOn) {
      EXPECT_TRUE(universal.empty());
      continue;
    }
    ASSERT_GT(universal.size(), 100u);
    const std::vector<std::string> lists = {"na", "eu", "flipper-universal"};
    for (size_t i = 0; i < universal.size(); ++i) {
      const UniversalEntry& e = *universal[i];
      EXPECT_EQ(documentedSignals.count(e.signal), 0u) << e.name;  // "" when not decoded
      EXPECT_NE(e.carrierHz, 0u) << e.name;
      for (size_t j = 0; j < i; ++j) EXPECT_FALSE(sameSignal(*universal[j], e)) << e.name;
      if (i > 0) {
        // The lists' own order.
        const UniversalEntry& before = *universal[i - 1];
        const auto list = [&](const UniversalEntry& x) {
          return std::find(lists.begin(), lists.end(), x.list) - lists.begin();
        };
        EXPECT_TRUE(list(before) < list(e) ||
                    (list(before) == list(e) && before.position < e.position))
            << e.name;
      }
    }
    std::vector<std::string> names;
    for (const UniversalEntry* e : universal) names.push_back(e->name);
    const auto has = [&](const char* name) {
      return std::find(names.begin(), names.end(), name) != names.end();
    };
    // na1 is Sony's documented toggle; na25 Sony's discrete off code, which
    // the off sweep plays as documented; the EU list's na000 is na1 again.
    EXPECT_FALSE(has("universal na1 sony12:1:21"));
    EXPECT_EQ(has("universal na25 sony12:1:47"), power == PowerKey::kToggle);
    EXPECT_TRUE(has("universal na9 nec2:113:74"));
  }
}

TEST(DeviceLibraryTest, APowerKeyTheFilesCallOnPlaysWhereItOutweighsTheToggle) {
  // Epson's NEC2 131.85 power key: 25 remotes, mostly named "Power", some
  // "ON", so the data calls it an on code; the family's toggle is one
  // InFocus file's. Epson's list and the projector sweep play it, before
  // its off code; the off sweep plays the off code only.
  std::vector<PlayItem> items;
  ASSERT_TRUE(appendBrandCodes("epson", &items, PowerKey::kToggle, DeviceKind::kProjector));
  std::vector<std::string> names;
  for (const PlayItem& item : items) names.push_back(item.name);
  EXPECT_EQ(names, (std::vector<std::string>{"epson nec2:131.85:144", "epson nec2:131.85:145"}));
  const std::vector<SweepItem> sweep = sweepItems(PowerKey::kToggle, DeviceKind::kProjector);
  const auto at = [&](const std::string& name) {
    return std::find_if(sweep.begin(), sweep.end(),
                        [&](const SweepItem& s) { return s.item.name == name; }) -
           sweep.begin();
  };
  EXPECT_LT(at("epson nec2:131.85:144"), at("epson nec2:131.85:145"));
  EXPECT_LT(at("epson nec2:131.85:145"), at("infocus nec2:131.85:132"));
  EXPECT_LT(at("infocus nec2:131.85:132"), static_cast<long>(sweep.size()));
  items.clear();
  ASSERT_TRUE(appendBrandCodes("epson", &items, PowerKey::kOff, DeviceKind::kProjector));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].name, "epson nec2:131.85:145");
}

TEST(DeviceLibraryTest, EveryFamilyOfEveryKindIsReachedByCodeWithItsKind) {
  for (DeviceKind kind : kDeviceKinds) {
    for (const TvKeyFamily& family : keyFamilies(kind)) {
      const std::string text = family.name() + ":" + family.codes.front().key;
      std::string protocol;
      IrFields fields;
      std::string error;
      const TvKeyFamily* found = nullptr;
      const TvKeyCode* key = nullptr;
      ASSERT_TRUE(readCodeOrKey(text, &protocol, &fields, &error, kind, &found, &key))
          << text << ": " << error;
      EXPECT_EQ(found, &family) << text;
      EXPECT_EQ(key, &family.codes.front()) << text;
    }
  }
}

TEST(DeviceLibraryTest, AProjectorsPowerOffIsOfferedASecondPress) {
  std::map<ConfirmPress, size_t> counts;
  for (const LibraryCode& row : libraryCodes(DeviceKind::kProjector)) {
    ++counts[row.confirm];
    if (row.key == PowerKey::kOn) {
      EXPECT_EQ(row.confirm, ConfirmPress::kNone) << row.name;
    }
  }
  // The one code whose sources say it is sent twice: JVC 115/6.
  EXPECT_EQ(counts[ConfirmPress::kDocumented], 1u);
  EXPECT_GT(counts[ConfirmPress::kOffered], 100u);
  for (const LibraryCode& row : libraryCodes(DeviceKind::kAudio))
    EXPECT_EQ(row.confirm, ConfirmPress::kNone);
  const TvKeyFamily* jvc = findKeyFamily("JVC", IrFields{115}, DeviceKind::kProjector);
  ASSERT_NE(jvc, nullptr);
  EXPECT_EQ(familyConfirm(*jvc), ConfirmPress::kDocumented);
  ASSERT_NE(familyPowerKeys(*jvc).off, nullptr);
  EXPECT_EQ(familyPowerKeys(*jvc).off->function, 6);

  OwnedIrCode once;
  std::string error;
  ASSERT_TRUE(encodeIrCode("JVC", IrFields{115, -1, 6}, &once, &error)) << error;
  const OwnedIrCode twice = confirmedCode(once);
  ASSERT_EQ(twice.timings.size(), once.timings.size() * 2);
  EXPECT_TRUE(std::equal(once.timings.begin(), once.timings.end() - 1, twice.timings.begin()));
  EXPECT_EQ(twice.timings[once.timings.size() - 1], 1500 * 1000 / kTimingUnitUs);
  EXPECT_TRUE(std::equal(once.timings.begin(), once.timings.end(),
                         twice.timings.begin() + static_cast<long>(once.timings.size())));
}

}  // namespace
