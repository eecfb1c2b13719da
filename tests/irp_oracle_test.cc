// The IRP engine against the hand-written encoders it replaces: every code
// of the built-in table and of the brand library, and a sweep over each
// protocol's fields, must come out with the same carrier and timings.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/ir_codes.h"
#include "app/power_library.h"
#include "synth/ir_protocol.h"
#include "synth/legacy_ir_protocol.h"

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

std::string fieldsText(const std::string& protocol, const IrFields& f) {
  std::ostringstream out;
  out << protocol << ' ' << f.device << ' ' << f.subdevice << ' ' << f.function << ' ' << f.toggle
      << ' ' << f.oem1 << ' ' << f.oem2 << ' ' << f.extra;
  return out.str();
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

/// Encodes through the engine and through the hand-written encoders and
/// fails where the two differ; returns the legacy code's digest.
uint64_t compare(const std::string& protocol, const IrFields& fields, size_t* compared) {
  OwnedIrCode engine;
  OwnedIrCode legacy;
  std::string engineError;
  std::string legacyError;
  const bool engineOk = encodeIrCode(protocol, fields, &engine, &engineError);
  const bool legacyOk = legacyEncodeIrCode(protocol, fields, &legacy, &legacyError);
  EXPECT_EQ(engineOk, legacyOk) << fieldsText(protocol, fields) << ": " << engineError << " / "
                                << legacyError;
  if (!engineOk || !legacyOk) return 0;
  ++*compared;
  EXPECT_EQ(engine.carrierHz, legacy.carrierHz) << fieldsText(protocol, fields);
  EXPECT_EQ(engine.timings, legacy.timings) << fieldsText(protocol, fields);
  return digest(legacy);
}

TEST(IrpOracle, EveryCodeRendersAsTheHandWrittenEncodersRenderedIt) {
  size_t compared = 0;
  std::ostringstream fixture;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    const IrCodeOrigin& o = kIrCodeOrigins[i];
    if (*o.protocol == '\0') continue;
    IrFields f;
    f.device = o.device;
    f.subdevice = o.subdevice;
    f.function = o.function;
    fixture << "code " << fieldsText(o.protocol, f) << ' ' << compare(o.protocol, f, &compared)
            << '\n';
  }
  for (const LibraryCode& row : libraryCodes()) {
    if (row.protocol.empty() || row.protocol == kRawProtocol) continue;
    // The library's rows of protocols that only the engine knows have no
    // oracle.
    OwnedIrCode legacy;
    std::string legacyError;
    if (!legacyEncodeIrCode(row.protocol, row.fields, &legacy, &legacyError) &&
        legacyError.rfind("unknown protocol", 0) == 0)
      continue;
    fixture << "code " << fieldsText(row.protocol, row.fields) << ' '
            << compare(row.protocol, row.fields, &compared) << '\n';
  }
  for (const SweepRanges& r : kSweeps) {
    uint64_t h = 1469598103934665603ull;
    size_t count = 0;
    for (const IrFields& f : sweep(r)) {
      OwnedIrCode legacy;
      std::string error;
      compare(r.protocol, f, &compared);
      if (legacyEncodeIrCode(r.protocol, f, &legacy, &error)) {
        h = digest(legacy, h);
        ++count;
      }
    }
    fixture << "sweep " << r.protocol << ' ' << count << ' ' << h << '\n';
  }
  std::printf("compared %zu codes\n", compared);
  if (const char* path = std::getenv("IRWAV_WRITE_LEGACY_ENCODINGS")) {
    std::ofstream(path) << fixture.str();
  }
}

}  // namespace
