#ifndef IRWAV_SYNTH_IR_CODE_H_
#define IRWAV_SYNTH_IR_CODE_H_

#include <cstddef>
#include <cstdint>

/// Timing values count in units of 10 microseconds.
constexpr int32_t kTimingUnitUs = 10;

/// One remote-control code: a carrier frequency and a list of mark and space
/// durations in units of kTimingUnitUs. The list alternates mark, space,
/// mark, space, ... and ends at the first space that is 0; the mark paired
/// with that terminator is the last one and is rendered.
struct IrCode {
  uint32_t carrierHz;
  const int32_t* timings;
  /// Number of values in `timings`, terminator included. Nothing at or past
  /// this index is read, so a list that lacks its terminator still ends.
  size_t timingCount;
};

#endif  // IRWAV_SYNTH_IR_CODE_H_
