#ifndef IRWAV_SYNTH_CODE_LIMITS_H_
#define IRWAV_SYNTH_CODE_LIMITS_H_

#include <cstdint>
#include <string>

#include "synth/ir_protocol.h"

/// The carriers an IR receiver takes: a user's code outside them is refused.
constexpr uint32_t kMinCarrierHz = 15000;
constexpr uint32_t kMaxCarrierHz = 500000;

/// The longest a user's code may last, its marks and spaces summed: 10 s.
constexpr uint64_t kMaxCodeDurationUs = 10000000;

/// The duration of `code`'s marks and spaces as renderCode reads them (up
/// to the terminating 0 space or the end of the list), in microseconds,
/// each value counted by its magnitude; the closing silence not included.
uint64_t codeDurationUs(const OwnedIrCode& code);

/// Whether a code lasting `us` microseconds is within kMaxCodeDurationUs.
/// Returns false with a message giving both durations in *error otherwise.
bool checkCodeDuration(uint64_t us, std::string* error);

/// Whether a user's `code` is one to render: a carrier from kMinCarrierHz
/// to kMaxCarrierHz, or 0 (a code without a carrier, which the player skips
/// as it does today), and a duration of at most kMaxCodeDurationUs. Returns
/// false with a message naming the bad value in *error otherwise.
bool checkCodeLimits(const OwnedIrCode& code, std::string* error);

#endif  // IRWAV_SYNTH_CODE_LIMITS_H_
