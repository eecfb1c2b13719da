// The NEC family: a lead-in, the bytes D, S, F and a fourth byte (~F, or
// F's high byte for a 16-bit function), least significant bit first, a stop
// mark, and the frame padded to 108 ms. A held key sends a short repeat
// frame (NEC1, NECx1) or the whole frame again (NEC2, NECx2, Pioneer).

#include "synth/ir_encoders.h"

namespace {

constexpr int32_t kUnitUs = 564;
constexpr int64_t kFrameUs = 108000;
constexpr BitCoding kBits = {{kUnitUs, -kUnitUs}, {kUnitUs, -3 * kUnitUs}};

/// Lead-in marks: 9 ms for NEC and Pioneer, 4.5 ms for NECx.
constexpr int32_t kLongLeadUnits = 16;
constexpr int32_t kShortLeadUnits = 8;

/// Sends one frame: the lead-in, D, S, then the two bytes of `lastBytes`
/// (low byte first), a stop mark, padded to the frame length.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): lead-in units, then the bytes.
void sendFrame(TimingBuilder* out, int32_t leadUnits, uint32_t lastBytes, const IrFields& f) {
  out->beginFrame();
  out->mark(leadUnits * kUnitUs);
  out->space(8 * kUnitUs);
  out->sendBits(static_cast<uint32_t>(f.device), 8, BitOrder::kLsbFirst, kBits);
  out->sendBits(static_cast<uint32_t>(f.subdevice), 8, BitOrder::kLsbFirst, kBits);
  out->sendBits(lastBytes, 16, BitOrder::kLsbFirst, kBits);
  out->mark(kUnitUs);
  out->extent(kFrameUs);
}

void sendStandardFrame(TimingBuilder* out, int32_t leadUnits, const IrFields& f) {
  const uint32_t function = static_cast<uint32_t>(f.function);
  sendFrame(out, leadUnits, function | (~function & 0xFF) << 8, f);
}

/// The ditto: a 9 ms mark, a 2.25 ms space and a stop mark.
void sendDitto(TimingBuilder* out) {
  out->beginFrame();
  out->mark(16 * kUnitUs);
  out->space(4 * kUnitUs);
  out->mark(kUnitUs);
  out->extent(kFrameUs);
}

void sendWholeFrames(TimingBuilder* out, int32_t leadUnits, const IrFields& f) {
  for (int i = 0; i < kShortPressFrames; ++i) sendStandardFrame(out, leadUnits, f);
}

}  // namespace

void encodeNec1(const IrFields& f, TimingBuilder* out) {
  sendStandardFrame(out, kLongLeadUnits, f);
  sendDitto(out);
}

void encodeNec2(const IrFields& f, TimingBuilder* out) { sendWholeFrames(out, kLongLeadUnits, f); }

void encodeNecx1(const IrFields& f, TimingBuilder* out) {
  sendStandardFrame(out, kShortLeadUnits, f);
  // The repeat: the lead-in, one bit holding the inverse of D's bit 0, a stop mark.
  out->beginFrame();
  out->mark(kShortLeadUnits * kUnitUs);
  out->space(8 * kUnitUs);
  out->sendBits(~static_cast<uint32_t>(f.device) & 1, 1, BitOrder::kLsbFirst, kBits);
  out->mark(kUnitUs);
  out->extent(kFrameUs);
}

void encodeNecx2(const IrFields& f, TimingBuilder* out) {
  sendWholeFrames(out, kShortLeadUnits, f);
}

void encodeNec1F16(const IrFields& f, TimingBuilder* out) {
  const uint32_t function = static_cast<uint32_t>(f.function);
  sendFrame(out, kLongLeadUnits, function, f);
  sendDitto(out);
}

void encodePioneer(const IrFields& f, TimingBuilder* out) {
  sendWholeFrames(out, kLongLeadUnits, f);
}
