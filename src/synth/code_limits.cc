#include "synth/code_limits.h"

#include <cstddef>
#include <cstdlib>

namespace {

/// `us` as seconds, exact, without trailing zeros: "10 s", "10.000011 s".
std::string seconds(uint64_t us) {
  std::string text = std::to_string(us / 1000000);
  if (us % 1000000 != 0) {
    std::string fraction = std::to_string(us % 1000000);
    fraction.insert(0, 6 - fraction.size(), '0');
    fraction.erase(fraction.find_last_not_of('0') + 1);
    text += "." + fraction;
  }
  return text + " s";
}

}  // namespace

uint64_t codeDurationUs(const OwnedIrCode& code) {
  const std::vector<int32_t>& t = code.timings;
  uint64_t units = 0;
  size_t i = 0;
  for (; i + 1 < t.size() && t[i + 1] != 0; i += 2) {
    units += static_cast<uint64_t>(std::llabs(t[i])) + static_cast<uint64_t>(std::llabs(t[i + 1]));
  }
  if (i < t.size()) units += static_cast<uint64_t>(std::llabs(t[i]));
  return units * kTimingUnitUs;
}

bool checkCodeDuration(uint64_t us, std::string* error) {
  if (us <= kMaxCodeDurationUs) return true;
  *error = "the code lasts " + seconds(us) + "; one code may last at most " +
           seconds(kMaxCodeDurationUs);
  return false;
}

bool checkCodeLimits(const OwnedIrCode& code, std::string* error) {
  if (code.carrierHz != 0 && (code.carrierHz < kMinCarrierHz || code.carrierHz > kMaxCarrierHz)) {
    *error = "the carrier of " + std::to_string(code.carrierHz) + " Hz is outside " +
             std::to_string(kMinCarrierHz) + " to " + std::to_string(kMaxCarrierHz) +
             " Hz, the carriers an IR receiver takes";
    return false;
  }
  return checkCodeDuration(codeDurationUs(code), error);
}
