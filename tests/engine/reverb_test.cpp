#include "engine/reverb.h"

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
constexpr int kAllPassTotal = 2203 + 1511 + 1049 + 787;  // 5550

// The reverb on one block with the all-pass gain g and the second-stage length.
void RunReverbBlock(Reverb& r, float* work, int n, float g, int length2) {
  r.ReverbAllPassGain.store(g);
  r.ReverbDelay2.store(length2);
  r.Process(work, n);
}

std::vector<float> Process(Reverb& r, std::vector<float> signal, float g, int length2) {
  for (std::size_t at = 0; at < signal.size(); at += kBlock) {
    const int n = static_cast<int>(std::min<std::size_t>(kBlock, signal.size() - at));
    RunReverbBlock(r, signal.data() + at, n, g, length2);
  }
  return signal;
}

std::vector<float> Impulse(std::size_t length) {
  std::vector<float> x(length, 0.0f);
  x[0] = 1.0f;
  return x;
}

struct ReverbCase {
  std::unique_ptr<Reverb> reverb = std::make_unique<Reverb>();
  ReverbCase(float brightness, float gain2) {
    reverb->ReverbBrightness.store(brightness);
    reverb->ReverbGain2.store(gain2);
  }
};

TEST(Reverb, WithAllPassGainZeroItIsOneLowPassedEcho5550PlusDelay2Late) {
  ReverbCase c(0.7f, 0.84f);
  const int delay2 = 240;
  const std::vector<float> out = Process(*c.reverb, Impulse(7000), 0.0f, delay2);
  const int first = kAllPassTotal + delay2;
  EXPECT_EQ(out[0], 1.0f);  // the dry signal stays
  for (int i = 1; i < first; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 0.0f) << "at " << i;
  // Then the one-pole low-pass: 0.7 × 0.3^k, times the gain.
  for (int k = 0; k < 6; ++k) {
    EXPECT_NEAR(out[static_cast<std::size_t>(first + k)], 0.84 * 0.7 * std::pow(0.3, k), 1e-6) << "k " << k;
  }
}

TEST(Reverb, ImpulseFirstMovesTheWetOutputWithMinusPoint75ToTheFourth) {
  ReverbCase c(0.7f, 0.84f);
  const int delay2 = 24;
  const std::vector<float> out = Process(*c.reverb, Impulse(2000), 0.75f, delay2);
  for (int i = 1; i < delay2; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 0.0f) << "at " << i;
  // About 0.316 × brightness × gain; the formula gives 0.75^4 = 0.31640625.
  EXPECT_NEAR(out[delay2], 0.31640625 * 0.7 * 0.84, 1e-6);
  EXPECT_NEAR(out[delay2], 0.316 * 0.7 * 0.84, 1e-3);
  EXPECT_EQ(out[0], 1.0f);
}

TEST(Reverb, BrightnessOneIsTransparent) {
  ReverbCase c(1.0f, 1.0f);
  std::mt19937 random(3);
  std::uniform_real_distribution<float> noise(-1000.0f, 1000.0f);
  std::vector<float> input(9000);
  for (float& v : input) v = noise(random);
  const int delay2 = 48;
  const std::vector<float> out = Process(*c.reverb, input, 0.0f, delay2);
  const int lag = kAllPassTotal + delay2;
  // s = s + (v - s) × 1 equals v up to the rounding of the subtraction (2 ulp at this scale).
  for (std::size_t i = static_cast<std::size_t>(lag); i < input.size(); ++i) {
    ASSERT_NEAR(out[i] - input[i], input[i - static_cast<std::size_t>(lag)], 2e-3) << "at " << i;
  }
}

TEST(Reverb, SecondStageLengthsZeroAndOneAreAOneSampleDelay) {
  for (int length : {0, 1}) {
    ReverbCase c(1.0f, 1.0f);
    const std::vector<float> out = Process(*c.reverb, Impulse(6000), 0.0f, length);
    EXPECT_EQ(out[kAllPassTotal], 0.0f) << "length " << length;
    EXPECT_EQ(out[kAllPassTotal + 1], 1.0f) << "length " << length;
    EXPECT_EQ(c.reverb->SecondPosition(), 0) << "length " << length;
  }
}

TEST(Reverb, PositionBeyondAShortenedLengthReturnsToZeroAfterOneSample) {
  ReverbCase c(1.0f, 1.0f);
  Reverb& r = *c.reverb;
  // With an all-pass gain of 0 the sections only delay, so the impulse at 1250 is
  // written to position 2000 of a 2400-sample second stage at 1250 + 5550; after
  // 9200 samples the position is 2000 again.
  std::vector<float> signal(9200, 0.0f);
  signal[1250] = 5.0f;
  Process(r, signal, 0.0f, 2400);
  ASSERT_EQ(r.SecondPosition(), 2000);
  std::vector<float> work(1, 0.0f);
  RunReverbBlock(r, work.data(), 1, 0.0f, 24);
  EXPECT_EQ(work[0], 5.0f);  // the sample at the old position is still read once
  EXPECT_EQ(r.SecondPosition(), 0);
  std::vector<float> more(24, 0.0f);
  RunReverbBlock(r, more.data(), 24, 0.0f, 24);
  EXPECT_EQ(r.SecondPosition(), 0);  // a ring of 24 now
}

TEST(Reverb, ResetSetsTheAllPassPositionsToZeroAndKeepsTheLines) {
  ReverbCase c(0.7f, 0.84f);
  Reverb& r = *c.reverb;
  const std::vector<float> out = Process(r, std::vector<float>(1000, 100.0f), 0.75f, 24);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(r.AllPassPosition(s), 1000 % Reverb::kAllPassLengths[s]);
  const float kept = r.AllPassLineSample(0, 500);
  r.ReverbAllPassGain.store(0.75f);
  SetReverbStartValues(r);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(r.AllPassPosition(s), 0);
  EXPECT_FLOAT_EQ(r.ReverbAllPassGain.load(), 0.26f);
  EXPECT_EQ(r.AllPassLineSample(0, 500), kept);
  EXPECT_NE(kept, 0.0f);
}

TEST(Reverb, AllPassPositionsWrapAtTheirLengths) {
  ReverbCase c(0.7f, 0.84f);
  Reverb& r = *c.reverb;
  Process(r, std::vector<float>(2203 * 3 + 17, 1.0f), 0.5f, 24);
  EXPECT_EQ(r.AllPassPosition(0), 17);
  EXPECT_EQ(r.AllPassPosition(3), (2203 * 3 + 17) % 787);
}

TEST(Reverb, GainForPosition) {
  EXPECT_EQ(ReverbGainForPosition(0), 1.0f);
  EXPECT_EQ(ReverbGainForPosition(-3), 1.0f);
  EXPECT_FLOAT_EQ(ReverbGainForPosition(1), 0.84f);
  // About 0.175: 0.84^10 = 0.17490 (float product within 1e-6).
  EXPECT_NEAR(ReverbGainForPosition(10), std::pow(0.84, 10), 1e-6);
  EXPECT_NEAR(ReverbGainForPosition(10), 0.175, 5e-4);
}

TEST(Reverb, BlocksAllocateAndLockNothing) {
  ReverbCase c(0.7f, 0.84f);
  std::vector<float> block(kBlock, 1000.0f);
  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    for (int b = 0; b < 2000; ++b) RunReverbBlock(*c.reverb, block.data(), kBlock, 0.75f, 2400);
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

}  // namespace
}  // namespace fw
