// Fuzzes the IRP parser and engine as --irp takes them: the input's first
// line is the IRP, each further line one NAME=VALUE assignment.
//
// Besides the sanitizers' findings it stops on: a refusal without a
// message, and an accepted code whose list renderCode would misread (an odd
// length, a 0 before the terminator, a negative value, a value whose
// microseconds overflow 32 bits, no terminator).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "code_checks.h"
#include "synth/ir_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  const std::vector<std::string> assignments(lines.begin() + 1, lines.end());
  OwnedIrCode code;
  std::string error;
  if (encodeIrpCode(lines[0], assignments, &code, &error)) {
    fuzzCheckCode(code, "irp_fuzzer");
  } else {
    fuzzCheck(!error.empty(), "irp_fuzzer", "a refusal without a message");
  }
  return 0;
}
