// How soon the sweep reaches the TV remote files that the library counts:
// the start of each code at the default gap, from the codes' own
// durations, against the times the sweep is meant to keep.

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <vector>

#include "app/batch_driver.h"
#include "app/player.h"
#include "library/power_choice.h"
#include "synth/renderer.h"

namespace {

/// How long a code plays: its timing list and the silence that ends it.
uint64_t durationUs(const IrCode& code) {
  uint64_t units = 0;
  for (size_t i = 0; i < code.timingCount; ++i) units += static_cast<uint64_t>(code.timings[i]);
  return units * kTimingUnitUs + kTrailingGapUs;
}

struct Reach {
  double halfS;      ///< when half the remote files are reached
  double ninetyS;    ///< when 90 % are
  double totalS;     ///< when the sweep ends
  uint32_t reached;  ///< remote files reached in all
};

/// Plays the sweep in thought at `rate`: codes the rate cannot carry take
/// no time and reach nothing. `files` is the number of TV remote files.
Reach reachAt(uint32_t rate, uint32_t files, uint32_t gapMs) {
  Reach reach{-1, -1, 0, 0};
  uint64_t atUs = 0;
  bool first = true;
  for (const SweepItem& sweep : sweepItems(PowerKey::kToggle)) {
    const IrCode code = sweep.item.code();
    if (!canRender(code.carrierHz, maxCarrierFor(rate))) continue;
    if (!first) atUs += gapMs * 1000u;
    first = false;
    reach.reached += sweep.remotes;
    const double startS = static_cast<double>(atUs) / 1e6;
    if (reach.halfS < 0 && reach.reached * 2 >= files) reach.halfS = startS;
    if (reach.ninetyS < 0 && reach.reached * 10 >= files * 9) reach.ninetyS = startS;
    atUs += durationUs(code);
  }
  reach.totalS = static_cast<double>(atUs) / 1e6;
  return reach;
}

TEST(PowerSweepTest, ReachesHalfTheRemotesInSixSecondsAndNinetyPercentInAMinute) {
  // The TV remote files whose power code decodes, as the data counts them.
  constexpr uint32_t kTvRemoteFiles = 1034;
  for (uint32_t rate : {48000u, 96000u}) {
    const Reach reach = reachAt(rate, kTvRemoteFiles, kSweepGapMs);
    std::cout << "at " << rate << " Hz: half reached at " << reach.halfS << " s, 90 % at "
              << reach.ninetyS << " s, sweep " << reach.totalS << " s, " << reach.reached
              << " remote files counted\n";
    EXPECT_GE(reach.halfS, 0);
    EXPECT_LE(reach.halfS, 6.0);
    EXPECT_GE(reach.ninetyS, 0);
    EXPECT_LE(reach.ninetyS, 60.0);
    EXPECT_LT(reach.totalS, 180.0);
  }
}

}  // namespace
