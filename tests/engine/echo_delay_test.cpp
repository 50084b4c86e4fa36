#include "engine/echo_delay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "support/realtime_guard.h"

namespace fw {
namespace {

constexpr int kBlock = 220;

// Runs a whole signal through the stage in blocks, as a driver does.
std::vector<float> Process(Echo& echo, std::vector<float> signal, int delay, int block = kBlock) {
  for (std::size_t at = 0; at < signal.size(); at += static_cast<std::size_t>(block)) {
    const int n =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), signal.size() - at));
    echo.EchoDelayBlock(signal.data() + at, n, delay);
  }
  return signal;
}

std::vector<float> Impulse(std::size_t length) {
  std::vector<float> x(length, 0.0f);
  x[0] = 1.0f;
  return x;
}

// The activation sequence's echo: spacing position 25 → 6500 samples, decay 0.40, level 0.45, gain 0.6.
std::unique_ptr<Echo> StartUpEcho() {
  auto echo = std::make_unique<Echo>();
  echo->SetTaps(0.45f, 0.40f);
  echo->EchoGain.store(0.6f);
  return echo;
}

TEST(EchoDelay, TapsAreLevelTimesDecayToThePowerK) {
  const auto owner = StartUpEcho();
  Echo& echo = *owner;
  // The reference taps; float products agree to 1e-6 relative.
  const double referenceTaps[] = {0.45, 0.18, 0.072, 0.0288, 0.01152};
  for (int k = 0; k < Echo::kTapCount; ++k) {
    EXPECT_NEAR(echo.taps[k].load(), referenceTaps[k], referenceTaps[k] * 1e-6) << "tap " << k;
    EXPECT_NEAR(echo.taps[k].load(), 0.45 * std::pow(0.4, k), referenceTaps[k] * 1e-6) << "tap " << k;
  }
  EXPECT_FLOAT_EQ(echo.EchoLevel.load(), 0.45f);
  EXPECT_FLOAT_EQ(echo.EchoDecay.load(), 0.40f);
}

TEST(EchoDelay, ImpulseAtSpacing2600GivesFiveDecayingEchoesTimesTheGain) {
  auto echo = StartUpEcho();
  const std::vector<float> out = Process(*echo, Impulse(14000), 2600);
  const double expected[] = {1.0, 0.45, 0.18, 0.072, 0.0288, 0.01152};
  for (int k = 0; k <= 5; ++k) {
    EXPECT_NEAR(out[static_cast<std::size_t>(k * 2600)], 0.6 * expected[k], 1e-6) << "echo " << k;
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i % 2600 == 0 && i <= 13000) continue;
    ASSERT_EQ(out[i], 0.0f) << "at " << i;
  }
}

TEST(EchoDelay, OutputGainScalesDrySignalAndEchoesAlike) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> noise(-20000.0f, 20000.0f);
  std::vector<float> input(30000);
  for (float& v : input) v = noise(random);

  auto full = StartUpEcho();
  full->EchoGain.store(1.0f);
  auto half = StartUpEcho();
  half->EchoGain.store(0.5f);
  const std::vector<float> a = Process(*full, input, 2600);
  const std::vector<float> b = Process(*half, input, 2600);
  for (std::size_t i = 0; i < input.size(); ++i) ASSERT_EQ(b[i], 0.5f * a[i]) << "at " << i;
  EXPECT_EQ(b[0], 0.5f * input[0]);  // before any echo the output is the halved dry signal
}

TEST(EchoDelay, SweepWalksUpTo601DownToMinusOneAndBack) {
  auto echo = std::make_unique<Echo>();
  // The walk runs whether the sweep is on or not.
  std::vector<std::int32_t> walk;
  std::vector<float> block(128, 0.0f);
  for (int step = 0; step < 2 * 1204 + 3; ++step) {
    echo->EchoDelayBlock(block.data(), 128, 2600);
    walk.push_back(echo->sweepOffset.load());
  }
  std::vector<std::int32_t> expected;
  std::int32_t m = 0;
  std::int32_t direction = 1;
  while (expected.size() < walk.size()) {
    m += direction;
    expected.push_back(m);
    if (m > 600) direction = -1;
    if (m < 0) direction = 1;
  }
  EXPECT_EQ(walk, expected);
  EXPECT_EQ(*std::max_element(walk.begin(), walk.end()), 601);
  EXPECT_EQ(*std::min_element(walk.begin(), walk.end()), -1);
  EXPECT_EQ(walk[600], 601);  // 601 steps of 128 samples up
  EXPECT_EQ(walk[1202], -1);  // 602 down
  EXPECT_EQ(walk[1203], 0);   // and one up again: a cycle of 1204 steps
}

TEST(EchoDelay, SweptDelayIsShorterByTheOffset) {
  auto echo = std::make_unique<Echo>();
  echo->SetTaps(1.0f, 0.0f);  // only the first echo
  echo->EchoGain.store(1.0f);
  echo->EchoSweepOn.store(1);
  echo->sweepOffset.store(100);
  echo->sweepCounter.store(1);  // the offset becomes 101 at sample 126 (counter 128)
  const std::vector<float> out = Process(*echo, Impulse(400), 260);
  // r = i - 260 + 101 reaches the impulse at i = 159: the echo 101 samples early.
  for (std::size_t i = 1; i < out.size(); ++i) ASSERT_EQ(out[i], i == 159 ? 1.0f : 0.0f) << "at " << i;
}

TEST(EchoDelay, SweptReadsPastTheRingTakeTheNeverWrittenSpareEntries) {
  auto echo = std::make_unique<Echo>();
  std::fill(echo->line, echo->line + Echo::kRingLength, 7.0f);
  echo->SetTaps(1.0f, 0.0f);
  echo->EchoGain.store(1.0f);
  echo->EchoSweepOn.store(1);
  echo->sweepOffset.store(601);
  echo->sweepDirection.store(-1);
  echo->sweepCounter.store(0);  // no step within the next 127 samples
  echo->writePosition = 133600;
  // First tap: r = w - 260 + 601 = w + 341, ahead of the write position: the oldest input
  // while r < 134000, then the spare entries, which hold 0.
  const std::vector<float> out = Process(*echo, std::vector<float>(120, 0.0f), 260);
  for (int i = 0; i < 120; ++i) {
    const int r = 133600 + i + 341;
    ASSERT_EQ(out[static_cast<std::size_t>(i)], r < Echo::kRingLength ? 7.0f : 0.0f) << "at " << i;
  }
  for (int e = Echo::kRingLength; e < Echo::kLineCapacity; ++e) ASSERT_EQ(echo->line[e], 0.0f);
}

TEST(EchoDelay, WriteAndReadPositionsWrapAroundTheRing) {
  auto echo = StartUpEcho();
  echo->EchoGain.store(1.0f);
  echo->writePosition = Echo::kRingLength - 100;
  const std::vector<float> out = Process(*echo, Impulse(2700), 2600);
  EXPECT_EQ(echo->writePosition, 2600);
  EXPECT_NEAR(out[2600], 0.45f, 1e-7);  // the echo read across the wrap
}

TEST(EchoDelay, SpacingOutsideTheLineIsLimited) {
  std::vector<float> input(4000, 100.0f);
  auto a = StartUpEcho();
  auto b = StartUpEcho();
  a->EchoSweepOn.store(1);
  b->EchoSweepOn.store(1);
  EXPECT_EQ(Process(*a, input, 1000000), Process(*b, input, Echo::kMaxSpacing));
  auto c = StartUpEcho();
  auto d = StartUpEcho();
  c->EchoSweepOn.store(1);
  d->EchoSweepOn.store(1);
  EXPECT_EQ(Process(*c, input, -5), Process(*d, input, Echo::kMinSpacing));
}

TEST(EchoDelay, StartValuesAndSweepReset) {
  auto echo = StartUpEcho();
  echo->EchoSweepOn.store(1);
  std::vector<float> block(1000, 1.0f);
  echo->EchoDelayBlock(block.data(), 1000, 2600);
  echo->ResetSweep();
  EXPECT_EQ(echo->sweepOffset.load(), 0);
  EXPECT_EQ(echo->sweepCounter.load(), 0);
  EXPECT_EQ(echo->sweepDirection.load(), 1);
  EXPECT_EQ(echo->EchoSweepOn.load(), 0);

  SetEchoStartValues(*echo);
  EXPECT_EQ(echo->EchoDelay.load(), 3000);
  EXPECT_FLOAT_EQ(echo->EchoDecay.load(), 0.5f);
  EXPECT_FLOAT_EQ(echo->EchoGain.load(), 0.33f);
  EXPECT_FLOAT_EQ(echo->EchoLevel.load(), 0.0f);
  EXPECT_NEAR(echo->taps[0].load(), 0.45f, 1e-7);  // the taps wait for a tap control to move
}

TEST(EchoDelay, BlocksAllocateAndLockNothing) {
  auto echo = StartUpEcho();
  echo->EchoSweepOn.store(1);
  std::vector<float> block(kBlock, 1000.0f);
  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    for (int b = 0; b < 2000; ++b) echo->EchoDelayBlock(block.data(), kBlock, 6500);
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

}  // namespace
}  // namespace fw
