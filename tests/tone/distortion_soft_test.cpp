#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "tone/distortions.h"

namespace fw {
namespace {

struct SoftFixture {
  Distortions d;

  std::vector<float> Run(std::vector<float> block, float inputGain = 1.0f) {
    d.SoftDistortion(block.data(), static_cast<int>(block.size()), inputGain);
    return block;
  }
};

TEST(SoftDistortion, ArmingSetsPositionsAndParametersButKeepsTheRing) {
  SoftFixture f;
  f.d.SoftDivisor.store(3);
  f.d.SoftSharpness.store(5.0e8f);
  f.Run({1.0f, 2.0f});
  EXPECT_EQ(f.d.SoftDivisor.load(), 15);
  EXPECT_EQ(f.d.SoftSharpness.load(), 1.0e7f);
  EXPECT_EQ(f.d.SoftArmed.load(), 1);
  EXPECT_EQ(f.d.SoftPositions().write, 400);
  EXPECT_EQ(f.d.SoftPositions().centre, 398);
  EXPECT_EQ(f.d.SoftPositions().oldest, 395);
  EXPECT_EQ(f.d.SoftHistory()[399], 1.0f);
  EXPECT_EQ(f.d.SoftHistory()[400], 2.0f);
}

// Re-arming moves the positions back but keeps the ring: the first two outputs
// are the samples the previous run left at positions 397 and 398.
TEST(SoftDistortion, RearmingReadsTheOldRing) {
  SoftFixture f;
  f.d.SoftExponent.store(2.0f);
  std::vector<float> lap(Distortions::kHistoryLength);
  for (std::size_t i = 0; i < lap.size(); ++i) lap[i] = static_cast<float>(i + 1);
  f.Run(lap);  // from write position 399 once round the ring: 397 holds 500, 398 holds 501
  f.d.SoftArmed.store(0);
  const std::vector<float> out = f.Run({0.0f, 0.0f, 0.0f});
  EXPECT_EQ(out[0], 500.0f);
  EXPECT_EQ(out[1], 501.0f);
  EXPECT_EQ(out[2], 0.0f);
}

TEST(SoftDistortion, PositionsWrapAtTheEndOfTheRing) {
  SoftFixture f;
  f.Run(std::vector<float>(103, 0.0f));  // from 398: 103 steps put the write position on 0
  EXPECT_EQ(f.d.SoftPositions().write, 0);
  EXPECT_EQ(f.d.SoftPositions().newest, 0);
  EXPECT_EQ(f.d.SoftPositions().centre, 499);
  EXPECT_EQ(f.d.SoftPositions().oldest, 496);
}

// Exponent 2 makes the gain exactly 1: the output is the level times the input
// two samples earlier.
TEST(SoftDistortion, ExponentTwoIsACleanTwoSampleDelay) {
  SoftFixture f;
  f.d.SoftExponent.store(2.0f);
  f.d.SoftLevel.store(1.5f);
  std::vector<float> input(300);
  for (std::size_t i = 0; i < input.size(); ++i)
    input[i] = static_cast<float>(std::sin(0.05 * static_cast<double>(i)) * 20000.0);
  const std::vector<float> out = f.Run(input);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 0.0f);
  for (std::size_t i = 2; i < input.size(); ++i) EXPECT_FLOAT_EQ(out[i], 1.5f * input[i - 2]) << i;
}

// With L = 15 and B = 1e7 a constant input v settles the envelope at 50 + 5v,
// so avg = (50 + 5v) / 15 and the output over the input is the gain g. The
// reference gains have three or four significant digits: checked within 0.0006;
// the formula in double within 2e-6.
TEST(SoftDistortion, GainsAtTheListedEnvelopeLevels) {
  struct Case {
    double average;
    double expected;
  };
  for (const Case c :
       {Case{100, 0.9993}, Case{1000, 0.925}, Case{3162, 0.567}, Case{10000, 0.182}, Case{30000, 0.086}}) {
    SoftFixture f;
    const float v = static_cast<float>((c.average * 15.0 - 50.0) / 5.0);
    const std::vector<float> out = f.Run(std::vector<float>(20, v));
    const double average = (50.0 + 5.0 * static_cast<double>(v)) / 15.0;
    const double formula = (std::pow(average, 1.75) + 1.0e7) / (average * average + 1.0e7);
    const double gain = static_cast<double>(out[19]) / static_cast<double>(v);
    EXPECT_NEAR(gain, formula, 2.0e-6) << c.average;
    EXPECT_NEAR(gain, c.expected, 6.0e-4) << c.average;
  }
}

TEST(SoftDistortion, SilenceRestsTheEnvelopeOnItsFloor) {
  SoftFixture f;
  f.d.SoftEnvelope.store(0.001f);
  f.Run(std::vector<float>(50, 0.0f));
  EXPECT_EQ(f.d.SoftEnvelope.load(), 50.0f);
}

// L = 1: the gain comes from the centre sample itself, a static curve.
TEST(SoftDistortion, DivisorOneShapesEachSample) {
  SoftFixture f;
  f.Run({0.0f});  // arm first; arming would overwrite the divisor
  f.d.SoftDivisor.store(1);
  f.d.SoftSharpness.store(1.0e7f);
  const std::vector<float> out = f.Run({20000.0f, -3000.0f, 0.0f, 0.0f});
  for (const auto& [index, d] : {std::pair{2, 20000.0}, std::pair{3, -3000.0}}) {
    const double g = (std::pow(std::fabs(d), 1.75) + 1.0e7) / (d * d + 1.0e7);
    EXPECT_NEAR(out[static_cast<std::size_t>(index)], d * g, std::fabs(d * g) * 1.0e-6);
  }
}

// With the live input muted the chain leaves the input gain to the stage.
TEST(SoftDistortion, TheInputGainItIsHandedScalesWhatItReads) {
  SoftFixture f;
  f.d.SoftExponent.store(2.0f);
  const std::vector<float> out = f.Run({10.0f, 0.0f, 0.0f}, 4.0f);
  EXPECT_EQ(out[2], 40.0f);
  const std::vector<float> unmuted = f.Run({10.0f, 0.0f, 0.0f});
  EXPECT_EQ(unmuted[2], 10.0f);
}

}  // namespace
}  // namespace fw
