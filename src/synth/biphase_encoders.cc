// Bi-phase (Manchester) protocols: every bit is two equal halves of
// opposite level, most significant bit first; halves of the same level that
// meet merge. A held key sends the same frame, toggle unchanged, again.

#include "synth/ir_encoders.h"

namespace {

// RC5: a 0 is mark then space, a 1 space then mark, 889 µs each; frames of
// 114 ms.
constexpr int32_t kRc5HalfUs = 889;
constexpr int64_t kRc5FrameUs = 114000;
constexpr BitCoding kRc5Bits = {{kRc5HalfUs, -kRc5HalfUs}, {-kRc5HalfUs, kRc5HalfUs}};

// RC6: the opposite sense, 444 µs halves; the toggle bit has double-length
// halves; frames of 107 ms.
constexpr int32_t kRc6UnitUs = 444;
constexpr int64_t kRc6FrameUs = 107000;
constexpr BitCoding kRc6Bits = {{-kRc6UnitUs, kRc6UnitUs}, {kRc6UnitUs, -kRc6UnitUs}};
constexpr BitCoding kRc6ToggleBits = {{-2 * kRc6UnitUs, 2 * kRc6UnitUs},
                                      {2 * kRc6UnitUs, -2 * kRc6UnitUs}};

}  // namespace

void encodeRc5(const IrFields& f, TimingBuilder* out) {
  const uint32_t function = static_cast<uint32_t>(f.function);
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->beginFrame();
    // The first start bit's second half; the second start bit carries the
    // inverse of F's bit 6.
    out->mark(kRc5HalfUs);
    out->sendBits(~function >> 6 & 1, 1, BitOrder::kMsbFirst, kRc5Bits);
    out->sendBits(static_cast<uint32_t>(f.toggle), 1, BitOrder::kMsbFirst, kRc5Bits);
    out->sendBits(static_cast<uint32_t>(f.device), 5, BitOrder::kMsbFirst, kRc5Bits);
    out->sendBits(function, 6, BitOrder::kMsbFirst, kRc5Bits);
    out->extent(kRc5FrameUs);
  }
}

void encodeRc6(const IrFields& f, TimingBuilder* out) {
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->beginFrame();
    out->mark(6 * kRc6UnitUs);
    out->space(2 * kRc6UnitUs);
    out->sendBits(1, 1, BitOrder::kMsbFirst, kRc6Bits);  // start bit
    out->sendBits(0, 3, BitOrder::kMsbFirst, kRc6Bits);  // mode 0
    out->sendBits(static_cast<uint32_t>(f.toggle), 1, BitOrder::kMsbFirst, kRc6ToggleBits);
    out->sendBits(static_cast<uint32_t>(f.device), 8, BitOrder::kMsbFirst, kRc6Bits);
    out->sendBits(static_cast<uint32_t>(f.function), 8, BitOrder::kMsbFirst, kRc6Bits);
    out->extent(kRc6FrameUs);
  }
}
