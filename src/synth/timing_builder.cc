#include "synth/timing_builder.h"

#include "synth/ir_code.h"

void TimingBuilder::send(int32_t us) {
  if (us == 0) return;
  // A leading space has nothing to separate and is dropped.
  if (durations_.empty() && us < 0) return;
  elapsedUs_ += us > 0 ? us : -us;
  if (!durations_.empty() && (durations_.back() > 0) == (us > 0)) {
    durations_.back() += us;
  } else {
    durations_.push_back(us);
  }
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): value, then width, as D:8 reads.
void TimingBuilder::sendBits(uint32_t value, int width, BitOrder order, const BitCoding& coding) {
  for (int i = 0; i < width; ++i) {
    const int bit = order == BitOrder::kLsbFirst ? i : width - 1 - i;
    const int32_t* symbol = ((value >> bit) & 1) != 0 ? coding.one : coding.zero;
    for (int k = 0; k < 4; ++k) send(symbol[k]);
  }
}

void TimingBuilder::extent(int64_t frameUs) {
  const int64_t frameSoFar = elapsedUs_ - frameStartUs_;
  if (frameSoFar < frameUs) space(static_cast<int32_t>(frameUs - frameSoFar));
}

void TimingBuilder::finish(uint32_t carrierHz, OwnedIrCode* code) const {
  code->carrierHz = carrierHz;
  code->timings.clear();
  for (int64_t us : durations_) {
    const int64_t magnitude = us > 0 ? us : -us;
    code->timings.push_back(static_cast<int32_t>((magnitude + kTimingUnitUs / 2) / kTimingUnitUs));
  }
  if (code->timings.size() % 2 == 0 && !code->timings.empty()) {
    code->timings.back() = 0;
  } else {
    code->timings.push_back(0);
  }
}
