// The IRP engine against the hand-written encoders it replaced: every code
// of the built-in table and of the brand library of their day, and a sweep
// over each protocol's fields, must come out with the same carrier and
// timings as the digests those encoders gave (tests/data/legacy-encodings.txt).

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"

extern const char kLegacyEncodings[];

namespace {

/// FNV-1a over the carrier and the timing list.
uint64_t digest(const OwnedIrCode& code, uint64_t h = 1469598103934665603ull) {
  auto mix = [&h](uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      h ^= (v >> (8 * i)) & 0xFF;
      h *= 1099511628211ull;
    }
  };
  mix(code.carrierHz);
  mix(static_cast<uint32_t>(code.timings.size()));
  for (int32_t t : code.timings) mix(static_cast<uint32_t>(t));
  return h;
}

/// The values of a field from `min` to `max`: all of them when there are
/// few, else a spread that includes both ends.
std::vector<int32_t> spread(int32_t min, int32_t max, int32_t few) {
  std::vector<int32_t> values;
  const int32_t step = max - min < few ? 1 : (max - min) / few + 1;
  for (int32_t v = min; v <= max; v += step) values.push_back(v);
  if (values.back() != max) values.push_back(max);
  return values;
}

struct SweepRanges {
  const char* protocol;
  int32_t deviceMin, deviceMax;
  int32_t subdevices;  ///< 0: none; else the subdevice's maximum (-1, its default, included)
  bool subdeviceRequired;
  int32_t functionMax;
  bool toggle, oem, extra;
};

// The fields of the protocols the encoders had, as their ranges were.
// clang-format off
const SweepRanges kSweeps[] = {
    {"NEC1", 0, 255, 255, false, 255, false, false, false},
    {"NEC2", 0, 255, 255, false, 255, false, false, false},
    {"NECx1", 0, 255, 255, false, 255, false, false, false},
    {"NECx2", 0, 255, 255, false, 255, false, false, false},
    {"NEC1-f16", 0, 255, 255, false, 65535, false, false, false},
    {"Pioneer", 0, 255, 255, false, 255, false, false, false},
    {"Sony12", 0, 31, 0, false, 127, false, false, false},
    {"RC5", 0, 31, 0, false, 127, true, false, false},
    {"RC6", 0, 255, 0, false, 255, true, false, false},
    {"RCA", 0, 15, 0, false, 255, false, false, false},
    {"RCA-38", 0, 15, 0, false, 255, false, false, false},
    {"Panasonic", 0, 255, 255, true, 255, false, false, false},
    {"Kaseikyo", 0, 15, 255, true, 255, false, true, true},
    {"Fujitsu", 0, 255, 255, false, 255, false, false, true},
    {"Panasonic_Old", 0, 31, 0, false, 63, false, false, false},
    {"Sharp", 0, 31, 0, false, 255, false, false, false},
    {"JVC", 0, 255, 0, false, 255, false, false, false},
    {"Proton", 0, 255, 0, false, 255, false, false, false},
    {"Zenith", 5, 8, 1, true, 255, false, false, false},
    {"Emerson", 0, 63, 0, false, 63, false, false, false},
    {"Thomson", 0, 31, 0, false, 63, true, false, false},
    {"RECS80", 0, 7, 0, false, 63, true, false, false},
    {"Dish_Network", 0, 31, 31, true, 63, false, false, false},
    {"Kloss", 0, 0, 0, false, 0, false, false, false},
};
// clang-format on

/// Every code of the sweep of `r`, in a fixed order.
std::vector<IrFields> sweep(const SweepRanges& r) {
  std::vector<IrFields> codes;
  std::vector<int32_t> subdevices = {-1};
  if (r.subdevices > 0) {
    subdevices = spread(0, r.subdevices, 4);
    if (!r.subdeviceRequired) subdevices.push_back(-1);
  }
  const std::vector<int32_t> toggles = r.toggle ? std::vector<int32_t>{0, 1} : std::vector{0};
  const std::vector<std::pair<int32_t, int32_t>> oems =
      r.oem ? std::vector<std::pair<int32_t, int32_t>>{{170, 90}, {2, 32}, {0, 255}, {255, 0}}
            : std::vector<std::pair<int32_t, int32_t>>{{-1, -1}};
  const std::vector<int32_t> extras = r.extra ? std::vector<int32_t>{0, 1, 13, 15} : std::vector{0};
  for (int32_t d : spread(r.deviceMin, r.deviceMax, 40)) {
    const int32_t functionMax = r.deviceMin == 5 ? (1 << d) - 1 : r.functionMax;  // Zenith
    for (int32_t f : spread(0, functionMax, r.functionMax > 255 ? 60 : 40)) {
      for (int32_t s : subdevices) {
        for (int32_t t : toggles) {
          for (const auto& [m, n] : oems) {
            for (int32_t e : extras) {
              IrFields fields;
              fields.device = d;
              fields.subdevice = s;
              fields.function = f;
              fields.toggle = t;
              fields.oem1 = m;
              fields.oem2 = n;
              fields.extra = e;
              codes.push_back(fields);
            }
          }
        }
      }
    }
  }
  return codes;
}

/// The engine's digest of a code, 0 for a code it refuses.
uint64_t engineDigest(const std::string& protocol, const IrFields& fields) {
  OwnedIrCode code;
  std::string error;
  return encodeIrCode(protocol, fields, &code, &error) ? digest(code) : 0;
}

TEST(IrpOracle, EveryCodeRendersAsTheHandWrittenEncodersRenderedIt) {
  std::istringstream lines(kLegacyEncodings);
  size_t codes = 0;
  size_t sweeps = 0;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::string kind;
    std::string protocol;
    if (!(in >> kind) || kind[0] == '#') continue;
    in >> protocol;
    uint64_t expected = 0;
    if (kind == "code") {
      IrFields f;
      in >> f.device >> f.subdevice >> f.function >> f.toggle >> f.oem1 >> f.oem2 >> f.extra >>
          expected;
      ASSERT_TRUE(in) << line;
      EXPECT_EQ(engineDigest(protocol, f), expected) << line;
      ++codes;
      continue;
    }
    size_t count = 0;
    in >> count >> expected;
    ASSERT_TRUE(in && kind == "sweep") << line;
    const SweepRanges* ranges = nullptr;
    for (const SweepRanges& r : kSweeps) {
      if (protocol == r.protocol) ranges = &r;
    }
    ASSERT_NE(ranges, nullptr) << line;
    uint64_t h = 1469598103934665603ull;
    size_t encoded = 0;
    for (const IrFields& f : sweep(*ranges)) {
      OwnedIrCode code;
      std::string error;
      if (!encodeIrCode(protocol, f, &code, &error)) continue;
      h = digest(code, h);
      ++encoded;
    }
    EXPECT_EQ(encoded, count) << protocol;
    EXPECT_EQ(h, expected) << protocol;
    codes += encoded;
    ++sweeps;
  }
  // Every built-in code with a protocol and every library row of the day,
  // and a sweep for each protocol the encoders had.
  EXPECT_EQ(codes, 169613u);
  EXPECT_EQ(sweeps, std::size(kSweeps));
}

}  // namespace
