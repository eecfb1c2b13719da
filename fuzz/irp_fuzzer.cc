// Fuzzes the IRP parser and engine as --irp takes them: the input's first
// line is the IRP, each further line one NAME=VALUE assignment.
//
// Besides the sanitizers' findings it stops on: a refusal without a
// message, and an accepted code whose list renderCode would misread (an odd
// length, a 0 before the terminator, a negative value, a value whose
// microseconds overflow 32 bits, no terminator).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"

namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "irp_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

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
  if (!encodeIrpCode(lines[0], assignments, &code, &error)) {
    check(!error.empty(), "a refusal without a message");
    return 0;
  }
  const std::vector<int32_t>& t = code.timings;
  check(t.size() >= 2 && t.size() % 2 == 0, "a list that is not whole mark-space pairs");
  check(t.back() == 0, "a list without its terminator");
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    check(t[i] > 0, "a duration of 0 or below before the terminator");
    check(t[i] <= INT32_MAX / 10, "a duration whose microseconds overflow");
  }
  return 0;
}
