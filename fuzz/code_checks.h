#ifndef IRWAV_FUZZ_CODE_CHECKS_H_
#define IRWAV_FUZZ_CODE_CHECKS_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "synth/ir_protocol.h"

/// Stops the fuzzer, naming `what`, unless `condition` holds.
inline void fuzzCheck(bool condition, const char* fuzzer, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "%s: %s\n", fuzzer, what);
  std::abort();
}

/// Stops the fuzzer on an accepted code whose list renderCode would misread:
/// an odd length, a 0 before the terminator, a negative value, a value
/// whose microseconds overflow 32 bits, no terminator. A carrier of 0 is a
/// protocol sent without one (Barco), which the player skips.
inline void fuzzCheckCode(const OwnedIrCode& code, const char* fuzzer) {
  const std::vector<int32_t>& t = code.timings;
  fuzzCheck(t.size() >= 2 && t.size() % 2 == 0, fuzzer,
            "a list that is not whole mark-space pairs");
  fuzzCheck(t.back() == 0, fuzzer, "a list without its terminator");
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    fuzzCheck(t[i] > 0, fuzzer, "a duration of 0 or below before the terminator");
    fuzzCheck(t[i] <= INT32_MAX / 10, fuzzer, "a duration whose microseconds overflow");
  }
}

#endif  // IRWAV_FUZZ_CODE_CHECKS_H_
