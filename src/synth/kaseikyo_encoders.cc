// The Kaseikyo family: a 3456 µs mark and a 1728 µs space, six bytes least
// significant bit first (two maker bytes, then the code and its checks), a
// stop mark and a fixed space. A held key sends the whole frame again.

#include "synth/ir_encoders.h"

namespace {

constexpr int32_t kUnitUs = 432;
constexpr BitCoding kBits = {{kUnitUs, -kUnitUs}, {kUnitUs, -3 * kUnitUs}};

/// Trailing spaces after the stop mark, in units.
constexpr int32_t kKaseikyoTrailUnits = 173;
constexpr int32_t kFujitsuTrailUnits = 110;

/// The XOR of a byte's two nibbles.
uint32_t foldNibbles(uint32_t byte) { return (byte ^ (byte >> 4)) & 0xF; }

void sendFrames(TimingBuilder* out, const uint32_t (&bytes)[6], int32_t trailUnits) {
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->mark(8 * kUnitUs);
    out->space(4 * kUnitUs);
    for (uint32_t byte : bytes) out->sendBits(byte, 8, BitOrder::kLsbFirst, kBits);
    out->mark(kUnitUs);
    out->space(trailUnits * kUnitUs);
  }
}

}  // namespace

void encodePanasonic(const IrFields& f, TimingBuilder* out) {
  const uint32_t d = static_cast<uint32_t>(f.device);
  const uint32_t s = static_cast<uint32_t>(f.subdevice);
  const uint32_t fn = static_cast<uint32_t>(f.function);
  sendFrames(out, {0x02, 0x20, d, s, fn, d ^ s ^ fn}, kKaseikyoTrailUnits);
}

void encodeKaseikyo(const IrFields& f, TimingBuilder* out) {
  const uint32_t m = static_cast<uint32_t>(f.oem1);
  const uint32_t n = static_cast<uint32_t>(f.oem2);
  const uint32_t d = static_cast<uint32_t>(f.device);
  const uint32_t s = static_cast<uint32_t>(f.subdevice);
  const uint32_t fn = static_cast<uint32_t>(f.function);
  const uint32_t e = static_cast<uint32_t>(f.extra);
  // X checks the maker bytes, C the code: each is the XOR of the nibbles.
  const uint32_t x = foldNibbles(m ^ n);
  const uint32_t c = foldNibbles(d ^ s ^ fn ^ (e << 4));
  sendFrames(out, {m, n, x | d << 4, s, fn, e | c << 4}, kKaseikyoTrailUnits);
}

void encodeFujitsu(const IrFields& f, TimingBuilder* out) {
  const uint32_t e = static_cast<uint32_t>(f.extra);
  sendFrames(out,
             {0x14, 0x63, e << 4, static_cast<uint32_t>(f.device),
              static_cast<uint32_t>(f.subdevice), static_cast<uint32_t>(f.function)},
             kFujitsuTrailUnits);
}
