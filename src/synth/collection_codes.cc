// The field-conversion rules of the handheld-remote collections' files.
// The RCA address reversal and the Kaseikyo reading are inferred from the
// collections' data (the Kaseikyo one checked on Panasonic codes only, so
// other maker bytes are refused rather than guessed).

#include "synth/collection_codes.h"

#include <algorithm>
#include <iterator>

#include "synth/name_match.h"

namespace {

// clang-format off
constexpr CollectionProtocol kProtocols[] = {
//   name         address     command split alias
    {"NEC",       0xFF,       0xFF,   0,    true},
    {"NECext",    0xFFFF,     0xFFFF, 8,    true},
    {"Samsung32", 0xFF,       0xFF,   0,    true},
    {"SIRC",      0x1F,       0x7F,   0,    true},
    {"SIRC15",    0xFF,       0x7F,   0,    true},
    {"SIRC20",    0x1FFF,     0x7F,   5,    true},
    {"RC5X",      0x1F,       0x3F,   0,    true},
    {"RC5",       0x1F,       0x7F,   0,    false},
    {"RC6",       0xFF,       0xFF,   0,    false},
    {"Pioneer",   0xFF,       0xFF,   0,    false},
    {"RCA",       0x0F,       0xFF,   0,    false},
    {"Kaseikyo",  0x03FFFFFF, 0x3FF,  0,    false},
};
// clang-format on

/// The low `width` bits of `value` in the opposite order.
uint32_t reversed(uint32_t value, int width) {
  uint32_t result = 0;
  for (int i = 0; i < width; ++i) result |= ((value >> i) & 1) << (width - 1 - i);
  return result;
}

bool inRange(const CollectionProtocol& p, const char* what, uint32_t value, uint32_t max,
             std::string* error) {
  if (value <= max) return true;
  *error = std::string(p.name) + " " + what + " " + std::to_string(value) + " is out of range 0.." +
           std::to_string(max);
  return false;
}

}  // namespace

const CollectionProtocol* findCollectionProtocol(const std::string& name, bool aliasesOnly) {
  const CollectionProtocol* found =
      std::find_if(std::begin(kProtocols), std::end(kProtocols), [&](const CollectionProtocol& p) {
        return (p.alias || !aliasesOnly) && sameNameIgnoringCase(name, p.name);
      });
  return found == std::end(kProtocols) ? nullptr : found;
}

std::string collectionAliasNames() {
  std::string names;
  for (const CollectionProtocol& p : kProtocols) {
    if (p.alias) names += std::string(names.empty() ? "" : " ") + p.name;
  }
  return names;
}

bool convertCollectionCode(const CollectionProtocol& p, uint32_t address, uint32_t command,
                           bool hasCommand, std::string* protocol, IrFields* fields,
                           std::string* error) {
  if (!inRange(p, "address", address, p.maxAddress, error)) return false;
  if (hasCommand && !inRange(p, "command", command, p.maxCommand, error)) return false;
  const std::string name = p.name;
  IrFields f = *fields;
  f.device = static_cast<int32_t>(address);
  f.subdevice = -1;
  f.function = static_cast<int32_t>(command);
  *protocol = name;
  if (name == "NEC") {
    *protocol = "NEC1";
  } else if (name == "NECext") {
    // The bytes on air are the address's low and high byte, then the command's.
    f.device = static_cast<int32_t>(address & 0xFF);
    f.subdevice = static_cast<int32_t>(address >> 8);
    const uint32_t low = command & 0xFF;
    const bool complemented = command >> 8 == (0xFF ^ low);
    *protocol = !hasCommand || complemented ? "NEC1" : "NEC1-f16";
    if (complemented) f.function = static_cast<int32_t>(low);
  } else if (name == "Samsung32") {
    *protocol = "NECx2";
    f.subdevice = f.device;
  } else if (name == "SIRC") {
    *protocol = "Sony12";
  } else if (name == "SIRC15") {
    *protocol = "Sony15";
  } else if (name == "SIRC20") {
    *protocol = "Sony20";
    f.device = static_cast<int32_t>(address & 0x1F);
    f.subdevice = static_cast<int32_t>(address >> 5);
  } else if (name == "RC5X") {
    // The extended command: the second start bit is 0.
    *protocol = "RC5";
    f.function = static_cast<int32_t>(command + 64);
  } else if (name == "RCA") {
    f.device = static_cast<int32_t>(reversed(address, 4));
    f.function = static_cast<int32_t>(reversed(command, 8));
  } else if (name == "Kaseikyo") {
    // Address bits 8..23 are the maker bytes, bits 4..7 and 0..3 the high
    // nibble of the third byte and the low one of the fourth; the command's
    // bits 0..3 are the fourth byte's high nibble and bits 4..9, with
    // address bits 24..25 above them, the fifth byte.
    const uint32_t makers = address >> 8 & 0xFFFF;
    if (makers != 0x2002) {
      *error = "Kaseikyo maker bytes " + std::to_string(makers & 0xFF) + " " +
               std::to_string(makers >> 8) +
               " are not read: only Panasonic's (2 32) are known to convert";
      return false;
    }
    *protocol = "Panasonic";
    f.device = static_cast<int32_t>(address & 0xF0);
    f.subdevice = static_cast<int32_t>((address & 0x0F) | (command & 0x0F) << 4);
    f.function = static_cast<int32_t>((command >> 4 & 0x3F) + 64 * (address >> 24 & 3));
  }
  *fields = f;
  return true;
}
