// Protocols of their own that code each bit as a mark followed by a space
// whose length tells 0 from 1 (Zenith: one or two marks). Unless noted, a
// held key sends the whole frame again.

#include "synth/ir_encoders.h"

namespace {

/// The usual pulse-distance bits: a 0 is one unit of mark and space, a 1 a
/// unit of mark and three of space.
constexpr BitCoding oneThree(int32_t unitUs) { return {{unitUs, -unitUs}, {unitUs, -3 * unitUs}}; }

uint32_t low(int32_t value, int bits) {
  return static_cast<uint32_t>(value) & ((uint32_t{1} << bits) - 1);
}
uint32_t inverted(int32_t value, int bits) { return ~static_cast<uint32_t>(value) & low(-1, bits); }

/// Frames of a lead-in, D, F, ~D and ~F, a stop mark and a fixed space,
/// sent kShortPressFrames times: RCA, Panasonic_Old and Emerson.
struct ComplementFrame {
  int32_t unitUs;
  int32_t leadMarkUnits;
  int32_t leadSpaceUnits;
  BitCoding bits;
  BitOrder order;
  int deviceBits;
  int functionBits;
  int32_t trailUs;
};

void sendComplementFrames(const ComplementFrame& p, const IrFields& f, TimingBuilder* out) {
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->mark(p.leadMarkUnits * p.unitUs);
    out->space(p.leadSpaceUnits * p.unitUs);
    out->sendBits(low(f.device, p.deviceBits), p.deviceBits, p.order, p.bits);
    out->sendBits(low(f.function, p.functionBits), p.functionBits, p.order, p.bits);
    out->sendBits(inverted(f.device, p.deviceBits), p.deviceBits, p.order, p.bits);
    out->sendBits(inverted(f.function, p.functionBits), p.functionBits, p.order, p.bits);
    out->mark(p.unitUs);
    out->space(p.trailUs);
  }
}

// clang-format off
//                                       unit lead-in bits                           order                device function trailing space
constexpr ComplementFrame kRca =          {460, 8, 8, {{460, -920}, {460, -1840}}, BitOrder::kMsbFirst, 4, 8, 16 * 460};
constexpr ComplementFrame kPanasonicOld = {833, 4, 4, oneThree(833),                BitOrder::kLsbFirst, 5, 6, 44000};
constexpr ComplementFrame kEmerson =      {872, 4, 4, oneThree(872),                BitOrder::kLsbFirst, 6, 6, 39 * 872};
// clang-format on

// Sharp: no lead-in; a normal frame (extra bits 1) then an inverted one
// (~F, extra bits 2), each padded to 67 ms. Remotes send the pair.
constexpr int32_t kSharpUnitUs = 264;
constexpr BitCoding kSharpBits = {{kSharpUnitUs, -3 * kSharpUnitUs},
                                  {kSharpUnitUs, -7 * kSharpUnitUs}};

void sendSharpFrame(uint32_t device, uint32_t function, uint32_t extra, TimingBuilder* out) {
  out->beginFrame();
  out->sendBits(device, 5, BitOrder::kLsbFirst, kSharpBits);
  out->sendBits(function, 8, BitOrder::kLsbFirst, kSharpBits);
  out->sendBits(extra, 2, BitOrder::kLsbFirst, kSharpBits);
  out->mark(kSharpUnitUs);
  out->extent(67000);
}

// JVC: the first frame has a lead-in and lasts 59.08 ms; repeats have none
// and last 46.42 ms.
constexpr int32_t kJvcUnitUs = 527;

void sendJvcFrame(const IrFields& f, bool leadIn, int64_t frameUs, TimingBuilder* out) {
  out->beginFrame();
  if (leadIn) {
    out->mark(16 * kJvcUnitUs);
    out->space(8 * kJvcUnitUs);
  }
  out->sendBits(low(f.device, 8), 8, BitOrder::kLsbFirst, oneThree(kJvcUnitUs));
  out->sendBits(low(f.function, 8), 8, BitOrder::kLsbFirst, oneThree(kJvcUnitUs));
  out->mark(kJvcUnitUs);
  out->extent(frameUs);
}

// Zenith: symbol 0 is a mark and 10 units of space, symbol 1 two marks with
// 1 and then 8 units of space. After the start symbol S, each of the low
// `device` bits of F (most significant first) goes out as two symbols: 0, 1
// for a 0 and 1, 0 for a 1.
constexpr int32_t kZenithUnitUs = 520;
constexpr BitCoding kZenithSymbols = {
    {kZenithUnitUs, -10 * kZenithUnitUs},
    {kZenithUnitUs, -kZenithUnitUs, kZenithUnitUs, -8 * kZenithUnitUs}};

}  // namespace

void encodeRca(const IrFields& f, TimingBuilder* out) { sendComplementFrames(kRca, f, out); }

void encodePanasonicOld(const IrFields& f, TimingBuilder* out) {
  sendComplementFrames(kPanasonicOld, f, out);
}

void encodeEmerson(const IrFields& f, TimingBuilder* out) {
  sendComplementFrames(kEmerson, f, out);
}

void encodeSharp(const IrFields& f, TimingBuilder* out) {
  const uint32_t device = low(f.device, 5);
  sendSharpFrame(device, low(f.function, 8), 1, out);
  sendSharpFrame(device, inverted(f.function, 8), 2, out);
}

void encodeJvc(const IrFields& f, TimingBuilder* out) {
  sendJvcFrame(f, true, 59080, out);
  sendJvcFrame(f, false, 46420, out);
}

void encodeProton(const IrFields& f, TimingBuilder* out) {
  constexpr int32_t kUnitUs = 500;
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->beginFrame();
    out->mark(16 * kUnitUs);
    out->space(8 * kUnitUs);
    out->sendBits(low(f.device, 8), 8, BitOrder::kLsbFirst, oneThree(kUnitUs));
    out->mark(kUnitUs);
    out->space(8 * kUnitUs);
    out->sendBits(low(f.function, 8), 8, BitOrder::kLsbFirst, oneThree(kUnitUs));
    out->mark(kUnitUs);
    out->extent(63000);
  }
}

void encodeThomson(const IrFields& f, TimingBuilder* out) {
  constexpr int32_t kUnitUs = 500;
  constexpr BitCoding kBits = {{kUnitUs, -4 * kUnitUs}, {kUnitUs, -9 * kUnitUs}};
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->beginFrame();
    out->sendBits(low(f.device, 4), 4, BitOrder::kLsbFirst, kBits);
    out->sendBits(low(f.toggle, 1), 1, BitOrder::kLsbFirst, kBits);
    out->sendBits(low(f.device >> 4, 1), 1, BitOrder::kLsbFirst, kBits);
    out->sendBits(low(f.function, 6), 6, BitOrder::kLsbFirst, kBits);
    out->mark(kUnitUs);
    out->extent(80000);
  }
}

void encodeRecs80(const IrFields& f, TimingBuilder* out) {
  constexpr int32_t kUnitUs = 158;
  constexpr BitCoding kBits = {{kUnitUs, -31 * kUnitUs}, {kUnitUs, -47 * kUnitUs}};
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->sendBits(1, 1, BitOrder::kMsbFirst, kBits);
    out->sendBits(low(f.toggle, 1), 1, BitOrder::kMsbFirst, kBits);
    out->sendBits(low(f.device, 3), 3, BitOrder::kMsbFirst, kBits);
    out->sendBits(low(f.function, 6), 6, BitOrder::kMsbFirst, kBits);
    out->mark(kUnitUs);
    out->space(45000);
  }
}

// Dish_Network: a lone mark and space, then a group that is sent at least
// once (here kShortPressFrames times): F most significant bit first, S and
// D least significant first, a mark and a space. A 1 is the shorter space.
void encodeDishNetwork(const IrFields& f, TimingBuilder* out) {
  constexpr int32_t kUnitUs = 406;
  constexpr BitCoding kBits = {{kUnitUs, -7 * kUnitUs}, {kUnitUs, -4 * kUnitUs}};
  out->mark(kUnitUs);
  out->space(15 * kUnitUs);
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->sendBits(low(f.function, 6), 6, BitOrder::kMsbFirst, kBits);
    out->sendBits(low(f.subdevice, 5), 5, BitOrder::kLsbFirst, kBits);
    out->sendBits(low(f.device, 5), 5, BitOrder::kLsbFirst, kBits);
    out->mark(kUnitUs);
    out->space(15 * kUnitUs);
  }
}

void encodeZenith(const IrFields& f, TimingBuilder* out) {
  // Here `device` is the number of bits of F that are sent and `subdevice`
  // the start symbol.
  for (int i = 0; i < kShortPressFrames; ++i) {
    out->sendBits(low(f.subdevice, 1), 1, BitOrder::kMsbFirst, kZenithSymbols);
    for (int bit = f.device - 1; bit >= 0; --bit) {
      const uint32_t symbols = (static_cast<uint32_t>(f.function) >> bit & 1) != 0 ? 2 : 1;
      out->sendBits(symbols, 2, BitOrder::kMsbFirst, kZenithSymbols);
    }
    out->space(90000);
  }
}
