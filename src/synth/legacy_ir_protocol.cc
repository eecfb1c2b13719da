// The hand-written encoders' table, kept while the IRP engine is checked against it.

#include <algorithm>
#include <iterator>

#include "synth/ir_encoders.h"
#include "synth/legacy_ir_protocol.h"
#include "synth/name_match.h"

namespace {

struct FieldRange {
  int32_t min;
  int32_t max;
  [[nodiscard]] bool used() const { return min <= max; }
};
enum class SubdeviceRule { kNone, kComplement, kSameAsDevice, kRequired };
struct IrProtocolInfo {
  const char* name;
  uint32_t carrierHz;
  IrEncoder encode;
  FieldRange device;
  FieldRange subdevice;
  SubdeviceRule subdeviceRule;
  FieldRange function;
  bool functionWidthIsDevice;
  FieldRange toggle;
  FieldRange oem;
  FieldRange extra;
};
std::string outOfRangeError(const IrProtocolInfo& p, const char* field, const std::string& value,
                            FieldRange range) {
  return std::string(p.name) + " " + field + " " + value + " is out of range " +
         std::to_string(range.min) + ".." + std::to_string(range.max);
}

constexpr FieldRange kNo = {0, -1};
constexpr FieldRange kBit = {0, 1};
constexpr FieldRange kNibble = {0, 15};
constexpr FieldRange kByte = {0, 255};
constexpr FieldRange k3Bits = {0, 7};
constexpr FieldRange k5Bits = {0, 31};
constexpr FieldRange k6Bits = {0, 63};
constexpr FieldRange k7Bits = {0, 127};
constexpr FieldRange k16Bits = {0, 65535};
constexpr FieldRange kZenithWidth = {5, 8};

constexpr SubdeviceRule kNone = SubdeviceRule::kNone;
constexpr SubdeviceRule kComplement = SubdeviceRule::kComplement;
constexpr SubdeviceRule kSame = SubdeviceRule::kSameAsDevice;
constexpr SubdeviceRule kRequired = SubdeviceRule::kRequired;

// Carriers are the protocols' nominal ones. "Kloss" is the stored capture
// of the one Kloss code, which follows no protocol and has no fields.
// clang-format off
constexpr IrProtocolInfo kProtocols[] = {
//   name             carrier  encoder             device        subdevice         function width  toggle oem    extra
    {"NEC1",          38400, encodeNec1,         kByte,        kByte,  kComplement, kByte,   false, kNo,   kNo,   kNo},
    {"NEC2",          38400, encodeNec2,         kByte,        kByte,  kComplement, kByte,   false, kNo,   kNo,   kNo},
    {"NECx1",         38400, encodeNecx1,        kByte,        kByte,  kComplement, kByte,   false, kNo,   kNo,   kNo},
    {"NECx2",         38400, encodeNecx2,        kByte,        kByte,  kComplement, kByte,   false, kNo,   kNo,   kNo},
    {"NEC1-f16",      38400, encodeNec1F16,      kByte,        kByte,  kComplement, k16Bits, false, kNo,   kNo,   kNo},
    {"Pioneer",       40000, encodePioneer,      kByte,        kByte,  kComplement, kByte,   false, kNo,   kNo,   kNo},
    {"Sony12",        40000, encodeSony12,       k5Bits,       kNo,    kNone,       k7Bits,  false, kNo,   kNo,   kNo},
    {"RC5",           36000, encodeRc5,          k5Bits,       kNo,    kNone,       k7Bits,  false, kBit,  kNo,   kNo},
    {"RC6",           36000, encodeRc6,          kByte,        kNo,    kNone,       kByte,   false, kBit,  kNo,   kNo},
    {"RCA",           58000, encodeRca,          kNibble,      kNo,    kNone,       kByte,   false, kNo,   kNo,   kNo},
    {"RCA-38",        38700, encodeRca,          kNibble,      kNo,    kNone,       kByte,   false, kNo,   kNo,   kNo},
    {"Panasonic",     37000, encodePanasonic,    kByte,        kByte,  kRequired,   kByte,   false, kNo,   kNo,   kNo},
    {"Kaseikyo",      37000, encodeKaseikyo,     kNibble,      kByte,  kRequired,   kByte,   false, kNo,   kByte, kNibble},
    {"Fujitsu",       37000, encodeFujitsu,      kByte,        kByte,  kSame,       kByte,   false, kNo,   kNo,   kNibble},
    {"Panasonic_Old", 57600, encodePanasonicOld, k5Bits,       kNo,    kNone,       k6Bits,  false, kNo,   kNo,   kNo},
    {"Sharp",         38000, encodeSharp,        k5Bits,       kNo,    kNone,       kByte,   false, kNo,   kNo,   kNo},
    {"JVC",           37900, encodeJvc,          kByte,        kNo,    kNone,       kByte,   false, kNo,   kNo,   kNo},
    {"Proton",        38500, encodeProton,       kByte,        kNo,    kNone,       kByte,   false, kNo,   kNo,   kNo},
    {"Zenith",        40000, encodeZenith,       kZenithWidth, kBit,   kRequired,   kByte,   true,  kNo,   kNo,   kNo},
    {"Emerson",       36700, encodeEmerson,      k6Bits,       kNo,    kNone,       k6Bits,  false, kNo,   kNo,   kNo},
    {"Thomson",       33000, encodeThomson,      k5Bits,       kNo,    kNone,       k6Bits,  false, kBit,  kNo,   kNo},
    {"RECS80",        38000, encodeRecs80,       k3Bits,       kNo,    kNone,       k6Bits,  false, kBit,  kNo,   kNo},
    {"Dish_Network",  57600, encodeDishNetwork,  k5Bits,       k5Bits, kRequired,   k6Bits,  false, kNo,   kNo,   kNo},
    {"Kloss",         38029, encodeKlossRaw,     kNo,          kNo,    kNone,       kNo,     false, kNo,   kNo,   kNo},
};
// clang-format on

/// Checks `value` of a field the protocol has; *error names it when out of range.
bool inRange(const IrProtocolInfo& p, const char* field, int32_t value, FieldRange range,
             std::string* error) {
  if (value >= range.min && value <= range.max) return true;
  *error = outOfRangeError(p, field, std::to_string(value), range);
  return false;
}

/// Checks `in` against the protocol's ranges and fills in the defaults.
bool resolveFields(const IrProtocolInfo& p, const IrFields& in, IrFields* out, std::string* error) {
  *out = in;
  if (p.device.used() && !inRange(p, "device", in.device, p.device, error)) return false;
  switch (p.subdeviceRule) {
    case SubdeviceRule::kNone:
      break;
    case SubdeviceRule::kComplement:
      if (in.subdevice == -1) out->subdevice = 255 - in.device;
      break;
    case SubdeviceRule::kSameAsDevice:
      if (in.subdevice == -1) out->subdevice = in.device;
      break;
    case SubdeviceRule::kRequired:
      if (in.subdevice == -1) {
        *error = std::string(p.name) + " needs a subdevice (" + std::to_string(p.subdevice.min) +
                 ".." + std::to_string(p.subdevice.max) + ")";
        return false;
      }
      break;
  }
  if (p.subdevice.used() && !inRange(p, "subdevice", out->subdevice, p.subdevice, error))
    return false;
  FieldRange function = p.function;
  if (p.functionWidthIsDevice) function.max = (1 << in.device) - 1;
  if (p.function.used() && !inRange(p, "function", in.function, function, error)) return false;
  if (p.toggle.used() && !inRange(p, "toggle", in.toggle, p.toggle, error)) return false;
  if (p.oem.used()) {
    if (in.oem1 == -1 || in.oem2 == -1) {
      *error = std::string(p.name) + " needs both maker bytes, M and N (0..255 each)";
      return false;
    }
    if (!inRange(p, "maker byte M", in.oem1, p.oem, error)) return false;
    if (!inRange(p, "maker byte N", in.oem2, p.oem, error)) return false;
  }
  return !p.extra.used() || inRange(p, "extra nibble E", in.extra, p.extra, error);
}

const IrProtocolInfo* findIrProtocol(const std::string& name) {
  const IrProtocolInfo* found =
      std::find_if(std::begin(kProtocols), std::end(kProtocols),
                   [&name](const IrProtocolInfo& p) { return sameNameIgnoringCase(name, p.name); });
  return found == std::end(kProtocols) ? nullptr : found;
}

}  // namespace

bool legacyEncodeIrCode(const std::string& protocol, const IrFields& fields, OwnedIrCode* code,
                        std::string* error) {
  const IrProtocolInfo* p = findIrProtocol(protocol);
  if (p == nullptr) {
    *error = "unknown protocol";
    return false;
  }
  IrFields resolved;
  if (!resolveFields(*p, fields, &resolved, error)) return false;
  TimingBuilder builder;
  p->encode(resolved, &builder);
  builder.finish(p->carrierHz, code);
  return true;
}
