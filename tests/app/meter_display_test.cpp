// A level meter as the window shows it: a block that reaches the limit lights the
// clip indicator for two seconds of the loop's clock, and the peak is held.
#include "app/tuner/meter_display.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(MeterDisplay, TheLimitLightsTheClipIndicatorForTwoSeconds) {
  LevelMeter meter;
  MeterDisplay display(meter);
  const std::int16_t below[] = {100, 31999, -16000};
  meter.Take(below, 3, kOutputClipLimit);
  display.Poll(0);
  EXPECT_FALSE(display.ClipLit());
  EXPECT_NEAR(display.PeakDb(), -0.21, 0.01);

  const std::int16_t limited[] = {100, -32000};
  meter.Take(limited, 2, kOutputClipLimit);
  display.Poll(40);
  EXPECT_TRUE(display.ClipLit());
  const std::int16_t quiet[] = {1000};
  meter.Take(quiet, 1, kOutputClipLimit);
  display.Poll(80);
  EXPECT_NEAR(display.PeakDb(), -30.3, 0.1);
  EXPECT_NEAR(display.HoldDb(), -0.21, 0.01);  // held
  display.Poll(2039);
  EXPECT_TRUE(display.ClipLit());
  EXPECT_EQ(display.HoldDb(), MeterDisplay::kFloorDb);  // the peak hold ends before the clip light
  display.Poll(2040);
  EXPECT_FALSE(display.ClipLit());
}

}  // namespace
}  // namespace fw
