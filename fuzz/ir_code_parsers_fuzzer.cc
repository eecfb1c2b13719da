// Fuzzes the parsers of a user's own codes. The first input byte chooses
// what the rest is: a Pronto code (even), a code as --code takes it, such
// as "nec1:4:8" (odd, below 128), or fields for encodeIrCode (from 128: the
// next byte picks the protocol, then up to seven little-endian 32-bit
// fields).
//
// Besides the sanitizers' findings it stops on: a refusal without a
// message, and an accepted code whose list renderCode would misread (an
// odd length, a 0 before the terminator, a negative value, a
// value whose microseconds overflow 32 bits, no terminator).

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "code_checks.h"
#include "synth/ir_protocol.h"
#include "synth/pronto.h"

namespace {

IrFields readFields(const uint8_t* data, size_t size) {
  int32_t values[7] = {0, -1, 0, 0, -1, -1, 0};
  for (size_t i = 0; i < 7 && 4 * (i + 1) <= size; ++i) std::memcpy(&values[i], data + 4 * i, 4);
  IrFields f;
  f.device = values[0];
  f.subdevice = values[1];
  f.function = values[2];
  f.toggle = values[3];
  f.oem1 = values[4];
  f.oem2 = values[5];
  f.extra = values[6];
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  OwnedIrCode code;
  std::string error;
  bool accepted = false;
  if (mode >= 128) {
    if (size < 2) return 0;
    const std::vector<std::string>& names = irProtocolNames();
    std::string protocol = names[data[1] % names.size()];
    // Now and then an unknown name, or a known one in another case.
    if (data[1] >= 250) protocol += "x";
    if (data[1] % 3 == 0) {
      for (char& c : protocol) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    accepted = encodeIrCode(protocol, readFields(data + 2, size - 2), &code, &error);
  } else {
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    accepted =
        mode % 2 == 0 ? parsePronto(text, &code, &error) : encodeUserCode(text, &code, &error);
  }
  if (accepted) {
    fuzzCheckCode(code, "ir_code_parsers_fuzzer");
  } else {
    fuzzCheck(!error.empty(), "ir_code_parsers_fuzzer", "a refusal without a message");
  }
  return 0;
}
