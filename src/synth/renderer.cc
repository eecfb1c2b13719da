#include "synth/renderer.h"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

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

/// Writes frames at the sink's cursor. The cursor, the block end and the
/// format live in locals while frames go out: samples are stored through a
/// byte pointer, which may alias the sink's own fields, so working on the
/// fields directly would reload them after every byte. The sink's cursor is
/// brought up to date before each flush and when the writer goes away.
class FrameWriter {
 public:
  explicit FrameWriter(WaveSink& sink)
      : sink_(sink),
        cursor_(sink.cursor),
        blockEnd_(sink.blockEnd),
        wide_(sink.bytesPerSample == 2),
        stereo_(sink.channels == 2),
        halted_(sink.halted()) {}
  ~FrameWriter() { sink_.cursor = cursor_; }
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  /// Stores one frame and hands the block on when it is full. Returns false
  /// once the sink has halted: nothing more need be rendered.
  bool frame(int16_t left, int16_t right) {
    sample(left);
    if (stereo_) sample(right);
    if (cursor_ >= blockEnd_) flush();
    return !halted_;
  }

  /// Stores `frames` silent frames, as many at once as the block has room
  /// for, handing each block on the moment it is full.
  void silence(uint32_t frames) {
    const uint8_t silent = wide_ ? 0 : 0x80;
    const size_t frameBytes = size_t{wide_ ? 2u : 1u} * (stereo_ ? 2u : 1u);
    while (frames > 0 && !halted_) {
      // Frames until the cursor reaches the block end: at least one, as a
      // frame at a time would write.
      const size_t room =
          cursor_ < blockEnd_
              ? (static_cast<size_t>(blockEnd_ - cursor_) + frameBytes - 1) / frameBytes
              : 1;
      const uint32_t n = frames < room ? frames : static_cast<uint32_t>(room);
      std::memset(cursor_, silent, n * frameBytes);
      cursor_ += n * frameBytes;
      frames -= n;
      if (cursor_ >= blockEnd_) flush();
    }
  }

 private:
  /// Stores one sample in the sink's sample width.
  void sample(int16_t value) {
    const uint16_t bits = static_cast<uint16_t>(value);
    if (wide_) {
      cursor_[0] = static_cast<uint8_t>(bits);
      cursor_[1] = static_cast<uint8_t>(bits >> 8);
      cursor_ += 2;
    } else {
      // Unsigned 8-bit: the high byte, offset so that 128 is silence.
      *cursor_++ = static_cast<uint8_t>((bits >> 8) ^ 0x80);
    }
  }

  void flush() {
    sink_.cursor = cursor_;
    sink_.flush();
    cursor_ = sink_.cursor;
    blockEnd_ = sink_.blockEnd;
    halted_ = sink_.halted();
  }

  WaveSink& sink_;
  uint8_t* cursor_;
  uint8_t* blockEnd_;
  const bool wide_;
  const bool stereo_;
  bool halted_;  ///< as the sink was at the start or the last flush
};

/// The phase advance a frame for a half carrier of `halfCarrierHz` at
/// `sampleRate`: 0 when the rate is 0.
double phaseStepFor(uint32_t halfCarrierHz, uint32_t sampleRate) {
  return sampleRate == 0
             ? 0.0
             : static_cast<double>(halfCarrierHz) * kTwoPi / static_cast<double>(sampleRate);
}

/// Walks the frames of a burst of `halfCycles` half-cycles at `step` as
/// emitCarrier describes, calling `frame` with each frame's phase until it
/// returns false, and returns the phase after the last frame, less kTwoPi. emitCarrier and the
/// frame count share this one walk, so they cannot disagree by a frame.
template <typename Frame>
double walkCarrier(double step, uint32_t halfCycles, Frame frame) {
  // Without a phase advance the sine would never reach its limit; the cycle
  // then ends after its one frame.
  const bool advances = step > 0;
  double phase = 0;
  uint64_t i = 0;
  do {
    const double limit = i + 1 == halfCycles ? kPi : kTwoPi;
    do {
      if (!frame(phase)) return phase;
      phase += step;
    } while (advances && phase < limit);
    phase -= kTwoPi;
    i += 2;
  } while (i < halfCycles);
  return phase;
}

/// The frames renderSlot writes for `value` in `role`, walking each distinct
/// burst length once: a code repeats a handful of lengths many times.
class SlotCounter {
 public:
  SlotCounter(uint32_t halfCarrierHz, uint32_t sampleRate)
      : halfCarrierHz_(halfCarrierHz),
        sampleRate_(sampleRate),
        step_(phaseStepFor(halfCarrierHz, sampleRate)) {}

  uint64_t frames(int32_t value, SlotRole role) {
    const int64_t d = static_cast<int64_t>(value) * (role == SlotRole::kMark ? 10 : -10);
    if (d < 0) return scaleCount(sampleRate_, static_cast<uint64_t>(-d), 1000000);
    if (d == 0) return 0;
    const uint32_t halfCycles = scaleCount(halfCarrierHz_, static_cast<uint64_t>(d), 500000);
    for (const auto& known : bursts_) {
      if (known.first == halfCycles) return known.second;
    }
    uint64_t n = 0;
    walkCarrier(step_, halfCycles, [&n](double) { return ++n != 0; });
    if (bursts_.size() < kRemembered) bursts_.emplace_back(halfCycles, n);
    return n;
  }

 private:
  static constexpr size_t kRemembered = 16;
  const uint32_t halfCarrierHz_;
  const uint32_t sampleRate_;
  const double step_;
  std::vector<std::pair<uint32_t, uint64_t>> bursts_;
};

}  // namespace

void renderCode(const IrCode* code, WaveSink& sink) {
  sink.phase = 0;
  sink.halfCarrierHz = code->carrierHz >> 1;
  sink.phaseStep = phaseStepFor(sink.halfCarrierHz, sink.sampleRate);

  const int32_t* t = code->timings;
  const size_t count = code->timingCount;
  size_t i = 0;
  // A halted sink takes nothing more: the code ends at the block where it
  // halted instead of rendering frames that would be thrown away.
  for (; i + 1 < count && t[i + 1] != 0; i += 2) {
    renderSlot(sink, t[i], SlotRole::kMark);
    renderSlot(sink, t[i + 1], SlotRole::kSpace);
    if (sink.halted()) return;
  }
  if (i < count) renderSlot(sink, t[i], SlotRole::kMark);
  if (sink.halted()) return;

  emitSilence(sink, scaleCount(sink.sampleRate, kTrailingGapUs, 1000000));
}

uint64_t renderedFrameCount(const IrCode& code, uint32_t sampleRate) {
  SlotCounter counter(code.carrierHz >> 1, sampleRate);
  const int32_t* t = code.timings;
  const size_t count = code.timingCount;
  uint64_t frames = 0;
  size_t i = 0;
  for (; i + 1 < count && t[i + 1] != 0; i += 2) {
    frames += counter.frames(t[i], SlotRole::kMark);
    frames += counter.frames(t[i + 1], SlotRole::kSpace);
  }
  if (i < count) frames += counter.frames(t[i], SlotRole::kMark);
  return frames + scaleCount(sampleRate, kTrailingGapUs, 1000000);
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
  FrameWriter out(sink);
  sink.phase = walkCarrier(sink.phaseStep, halfCycles, [&out](double phase) {
    return out.frame(toSample(std::sin(phase)), toSample(std::sin(phase + kPi)));
  });
}

void emitSilence(WaveSink& sink, uint32_t frames) { FrameWriter(sink).silence(frames); }
