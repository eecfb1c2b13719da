#include "synth/code_limits.h"

#include <gtest/gtest.h>

namespace {

OwnedIrCode code(uint32_t carrierHz, std::vector<int32_t> timings) {
  OwnedIrCode c;
  c.carrierHz = carrierHz;
  c.timings = std::move(timings);
  return c;
}

TEST(CodeLimitsTest, CarrierBoundsNameTheValue) {
  std::string error;
  EXPECT_TRUE(checkCodeLimits(code(15000, {100, 0}), &error));
  EXPECT_TRUE(checkCodeLimits(code(500000, {100, 0}), &error));
  EXPECT_TRUE(checkCodeLimits(code(0, {100, 0}), &error));  // no carrier: skipped later
  EXPECT_FALSE(checkCodeLimits(code(14999, {100, 0}), &error));
  EXPECT_NE(error.find("14999 Hz"), std::string::npos) << error;
  EXPECT_FALSE(checkCodeLimits(code(500001, {100, 0}), &error));
  EXPECT_NE(error.find("500001 Hz"), std::string::npos) << error;
}

TEST(CodeLimitsTest, DurationCountsWhatIsRenderedByMagnitude) {
  std::string error;
  // 10 s exactly, half of it in a negative (swapped) value: accepted.
  EXPECT_EQ(codeDurationUs(code(38000, {500000, -500000, 0})), 10000000u);
  EXPECT_TRUE(checkCodeLimits(code(38000, {500000, -500000, 0}), &error));
  // Nothing after the terminator counts.
  EXPECT_TRUE(checkCodeLimits(code(38000, {500000, 0, 500000, 500000}), &error));
  EXPECT_FALSE(checkCodeLimits(code(38000, {500000, 500001, 1, 0}), &error));
  EXPECT_NE(error.find("lasts 10.00002 s"), std::string::npos) << error;
  EXPECT_NE(error.find("at most 10 s"), std::string::npos) << error;
  EXPECT_FALSE(checkCodeLimits(code(38000, {INT32_MIN, INT32_MIN, INT32_MIN, 0}), &error));
  EXPECT_NE(error.find("lasts 64424.50944 s"), std::string::npos) << error;
}

}  // namespace
