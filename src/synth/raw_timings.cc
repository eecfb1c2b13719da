#include "synth/raw_timings.h"

#include "synth/ir_code.h"

uint64_t timingUnits(uint64_t us) {
  return us / kTimingUnitUs + (us % kTimingUnitUs >= kTimingUnitUs / 2 ? 1 : 0);
}

void terminateRawTimings(std::vector<int32_t>* timings) {
  if (timings->empty()) return;
  if (timings->size() % 2 == 1)
    timings->push_back(0);
  else
    timings->back() = 0;
}
