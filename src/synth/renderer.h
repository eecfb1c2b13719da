#ifndef IRWAV_SYNTH_RENDERER_H_
#define IRWAV_SYNTH_RENDERER_H_

#include <cstddef>
#include <cstdint>

#include "output/wave_sink.h"
#include "synth/ir_code.h"

/// 3.1415927 as the nearest double: the phase constants are fixed at this
/// eight-digit value so every build produces the same frames.
constexpr double kPi = 3.1415927;
constexpr double kTwoPi = 6.2831854;

/// Peak sample value of a burst.
constexpr double kAmplitude = 32000.0;

/// Silence that closes every code.
constexpr uint32_t kTrailingGapUs = 30000;

/// Whether a timing value stands where a mark or where a space belongs.
enum class SlotRole { kMark, kSpace };

/// Renders `code` into the open `sink`: each mark as a burst of half-carrier
/// sine, the channels in antiphase, each space as silence, then
/// kTrailingGapUs of silence. Reads the list up to its terminating 0 space
/// or to timingCount, whichever comes first. Ends early, within the block
/// where it happened, once the sink has halted (a stop or a failure).
void renderCode(const IrCode* code, WaveSink& sink);

/// The frames renderCode writes for `code` into a sink at `sampleRate`,
/// the closing kTrailingGapUs included, counted without rendering: the same
/// walk through the list and through each burst's phase, less the sines.
uint64_t renderedFrameCount(const IrCode& code, uint32_t sampleRate);

/// The number of marks renderCode reads from `code`'s list, the last one
/// (paired with the terminating 0) included.
size_t countMarks(const IrCode* code);

/// Renders one timing value. A positive value in a mark position, or a
/// negative one in a space position, is a burst of that many carrier
/// periods' worth of time; the opposite signs are silence; 0 renders
/// nothing.
void renderSlot(WaveSink& sink, int32_t value, SlotRole role);

/// Writes `halfCycles` half-cycles of a sine whose phase advances by
/// sink.phaseStep a frame (renderCode sets it from sink.halfCarrierHz), the
/// left channel at the phase and the right in antiphase: whole cycles, then
/// a half-cycle when the count is odd. The first cycle starts at phase 0 and
/// takes the frames whose phase is below kTwoPi (below kPi for the closing
/// half-cycle); each further cycle goes on from where the last one overshot,
/// less kTwoPi, so the burst keeps its frequency instead of restarting at 0.
/// Every cycle has at least one frame, so 0 gives one whole cycle; with no
/// phase advance (a carrier below 2 Hz) each cycle is one frame. Leaves the
/// phase after the last frame, less kTwoPi, in sink.phase. Ends early once
/// the sink has halted.
void emitCarrier(WaveSink& sink, uint32_t halfCycles);

/// Writes `frames` silent frames, fewer once the sink has halted.
void emitSilence(WaveSink& sink, uint32_t frames);

#endif  // IRWAV_SYNTH_RENDERER_H_
