// How soon each kind's sweep reaches the remote files that its library
// counts: the start of each code at the sweep's default gaps, from the
// codes' own durations, against the times the TV sweep is meant to keep.

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
  double halfS = -1;    ///< when the code of half the counted remote files first plays
  double ninetyS = -1;  ///< of 90 % of them
  double totalS = 0;    ///< when the sweep ends
  size_t codes = 0;     ///< codes played
};

/// Plays a kind's sweep in thought at `rate`, with the gaps the player puts
/// between its codes. Each code counts the remote files that send it; a
/// code the rate cannot carry takes no time and reaches nobody, but its
/// files count among all.
Reach reachAt(DeviceKind kind, uint32_t rate) {
  const std::vector<SweepItem> sweep = sweepItems(PowerKey::kToggle, kind);
  PlayerOptions options;
  options.gapMs = kSweepGapMs;
  options.familyGaps = true;
  uint64_t files = 0;
  for (const SweepItem& s : sweep) files += s.remotes;
  Reach reach;
  uint64_t atUs = 0;
  uint64_t reached = 0;
  const PlayItem* previous = nullptr;
  for (const SweepItem& s : sweep) {
    const IrCode code = s.item.code();
    if (!canRender(code.carrierHz, maxCarrierFor(rate))) continue;
    if (previous) atUs += gapBetween(options, *previous, s.item) * 1000u;
    previous = &s.item;
    ++reach.codes;
    reached += s.remotes;
    const double startS = static_cast<double>(atUs) / 1e6;
    if (reach.halfS < 0 && reached * 2 >= files) reach.halfS = startS;
    if (reach.ninetyS < 0 && reached * 10 >= files * 9) reach.ninetyS = startS;
    atUs += durationUs(code);
  }
  reach.totalS = static_cast<double>(atUs) / 1e6;
  return reach;
}

TEST(PowerSweepTest, TheTvSweepReachesHalfTheRemotesInThreeSecondsAndNinetyPercentInThirty) {
  for (DeviceKind kind : kDeviceKinds) {
    for (uint32_t rate : {48000u, 96000u}) {
      const Reach reach = reachAt(kind, rate);
      std::cout << kindName(kind) << " at " << rate << " Hz: " << reach.codes << " codes, "
                << reach.totalS << " s; half the remote files reached at " << reach.halfS
                << " s, 90 % at " << reach.ninetyS << " s\n";
      if (kind != DeviceKind::kTv) continue;
      EXPECT_GE(reach.halfS, 0);
      EXPECT_LE(reach.halfS, 3.0);
      EXPECT_GE(reach.ninetyS, 0);
      EXPECT_LE(reach.ninetyS, 30.0);
      EXPECT_LE(reach.totalS, 240.0);
    }
  }
}

}  // namespace
