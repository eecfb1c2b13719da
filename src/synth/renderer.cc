#include "synth/renderer.h"

#include <cmath>

namespace {

/// Computes value * numerator / denominator, truncated, without an
/// intermediate overflow, saturating at the largest 32-bit count.
uint32_t scaleCount(uint64_t value, uint64_t numerator, uint64_t denominator) {
  const uint64_t whole = value * (numerator / denominator);
  const uint64_t part = value * (numerator % denominator) / denominator;
  const uint64_t count = whole + part;
  return count > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(count);
}

/// Converts a sine value to a sample, truncating toward zero.
int16_t toSample(double value) { return static_cast<int16_t>(value * kAmplitude); }

/// Stores one sample at the cursor in the sink's sample width.
inline void putSample(WaveSink& sink, int16_t sample) {
  const uint16_t bits = static_cast<uint16_t>(sample);
  if (sink.bytesPerSample == 2) {
    sink.cursor[0] = static_cast<uint8_t>(bits);
    sink.cursor[1] = static_cast<uint8_t>(bits >> 8);
    sink.cursor += 2;
  } else {
    // Unsigned 8-bit: the high byte, offset so that 128 is silence.
    *sink.cursor++ = static_cast<uint8_t>((bits >> 8) ^ 0x80);
  }
}

/// Stores one frame and hands the block on when it is full.
inline void putFrame(WaveSink& sink, int16_t left, int16_t right) {
  putSample(sink, left);
  if (sink.channels == 2) putSample(sink, right);
  if (sink.cursor >= sink.blockEnd) sink.flush();
}

}  // namespace

void renderCode(const IrCode* code, WaveSink& sink) {
  sink.phase = 0;
  sink.halfCarrierHz = code->carrierHz >> 1;
  sink.phaseStep = sink.sampleRate == 0 ? 0.0
                                        : static_cast<double>(sink.halfCarrierHz) * kTwoPi /
                                              static_cast<double>(sink.sampleRate);

  const int32_t* t = code->timings;
  const size_t count = code->timingCount;
  size_t i = 0;
  for (; i + 1 < count && t[i + 1] != 0; i += 2) {
    renderSlot(sink, t[i], SlotRole::kMark);
    renderSlot(sink, t[i + 1], SlotRole::kSpace);
  }
  if (i < count) renderSlot(sink, t[i], SlotRole::kMark);

  emitSilence(sink, scaleCount(sink.sampleRate, kTrailingGapUs, 1000000));
}

size_t countMarks(const IrCode* code) {
  const int32_t* t = code->timings;
  const size_t count = code->timingCount;
  size_t i = 0;
  while (i + 1 < count && t[i + 1] != 0) i += 2;
  return i / 2 + (i < count ? 1 : 0);
}

void renderSlot(WaveSink& sink, int32_t value, SlotRole role) {
  // 64-bit, so that no timing value can overflow on its way to microseconds.
  const int64_t d = static_cast<int64_t>(value) * (role == SlotRole::kMark ? 10 : -10);
  if (d > 0) {
    emitCarrier(sink, scaleCount(sink.halfCarrierHz, static_cast<uint64_t>(d), 500000));
  } else if (d < 0) {
    emitSilence(sink, scaleCount(sink.sampleRate, static_cast<uint64_t>(-d), 1000000));
  }
}

void emitCarrier(WaveSink& sink, uint32_t halfCycles) {
  sink.phase = 0;
  // Without a phase advance the sine would never reach its limit; the cycle
  // then ends after its one frame.
  const bool advances = sink.phaseStep > 0;
  uint64_t i = 0;
  do {
    const double limit = i + 1 == halfCycles ? kPi : kTwoPi;
    do {
      putFrame(sink, toSample(std::sin(sink.phase)), toSample(std::sin(sink.phase + kPi)));
      sink.phase += sink.phaseStep;
    } while (advances && sink.phase < limit);
    sink.phase -= kTwoPi;
    i += 2;
  } while (i < halfCycles);
}

void emitSilence(WaveSink& sink, uint32_t frames) {
  for (uint32_t f = 0; f < frames; ++f) putFrame(sink, 0, 0);
}
