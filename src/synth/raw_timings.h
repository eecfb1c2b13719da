#ifndef IRWAV_SYNTH_RAW_TIMINGS_H_
#define IRWAV_SYNTH_RAW_TIMINGS_H_

#include <cstdint>
#include <vector>

/// A mark or space of `us` microseconds in timing units (kTimingUnitUs),
/// to the nearest, a half rounding up; 0 for less than half a unit.
/// Durations at the top of the range keep their magnitude (no overflow).
uint64_t timingUnits(uint64_t us);

/// Ends a raw list of marks and spaces in timing units that begins with a
/// mark: a final space becomes the terminating 0 (a capture's last space is
/// the silence after it, which the renderer's closing gap stands for), and
/// a final mark gets a terminating 0 after it. An empty list stays empty.
void terminateRawTimings(std::vector<int32_t>* timings);

#endif  // IRWAV_SYNTH_RAW_TIMINGS_H_
