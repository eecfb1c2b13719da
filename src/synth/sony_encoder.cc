// Sony12: a 2.4 ms lead-in, then 7 bits of F and 5 bits of D, least
// significant first, each a 600 µs space after a mark that is 600 µs for a 0
// and 1200 µs for a 1; the frame padded to 45 ms and sent again while the
// key is held.

#include "synth/ir_encoders.h"

namespace {

constexpr int32_t kUnitUs = 600;
constexpr int64_t kFrameUs = 45000;
constexpr BitCoding kBits = {{kUnitUs, -kUnitUs}, {2 * kUnitUs, -kUnitUs}};

}  // namespace

void encodeSony12(const IrFields& f, TimingBuilder* out) {
  for (int i = 0; i < kSonyShortPressFrames; ++i) {
    out->beginFrame();
    out->mark(4 * kUnitUs);
    out->space(kUnitUs);
    out->sendBits(static_cast<uint32_t>(f.function), 7, BitOrder::kLsbFirst, kBits);
    out->sendBits(static_cast<uint32_t>(f.device), 5, BitOrder::kLsbFirst, kBits);
    out->extent(kFrameUs);
  }
}
