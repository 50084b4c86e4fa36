#include "tone/tone_filters.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace fw {
namespace {

constexpr int kBlock = 220;
constexpr float kLevel = 1000.0f;

struct Buffers {
  std::array<float, kBlock> work{};
  std::array<float, kBlock> side{};
  void Fill(float v) { work.fill(v); }
};

// One second of a constant input through a running stage; the last sample of
// the last block is what the stage settles to.
template <class Stage>
float SettleOnConstant(Buffers& b, Stage stage) {
  for (int block = 0; block < 100; ++block) {
    b.Fill(kLevel);
    stage(b);
  }
  return b.work[kBlock - 1];
}

// A constant input settles within 1e-3 of its level (the slowest section, the
// fixed one at 50 Hz, has decayed far below that after one second).
constexpr float kSettledTolerance = 1.0e-3f * kLevel;

TEST(ToneFilters, ConstantInputSettlesToZeroThroughTheHighPassStages) {
  auto f = std::make_unique<ToneFilters>();
  Buffers b;
  EXPECT_NEAR(SettleOnConstant(b, [&](Buffers& x) { f->Fvc3Filter(x.work.data(), kBlock); }), 0.0f,
              kSettledTolerance);
  EXPECT_NEAR(SettleOnConstant(b, [&](Buffers& x) { f->FixedSection(x.work.data(), kBlock); }), 0.0f,
              kSettledTolerance);
  EXPECT_NEAR(SettleOnConstant(b, [&](Buffers& x) { f->Fvc2Stage(x.work.data(), kBlock); }), kLevel,
              kSettledTolerance);
}

TEST(ToneFilters, Fvc1FillsSideBufferWithTheRemovedLowPartInverted) {
  auto f = std::make_unique<ToneFilters>();
  f->Fvc1Gain.store(2.0f);
  Buffers b;
  const float settled =
      SettleOnConstant(b, [&](Buffers& x) { f->Fvc1Filter(x.work.data(), x.side.data(), kBlock); });
  EXPECT_NEAR(settled, 0.0f, kSettledTolerance);
  EXPECT_NEAR(b.side[kBlock - 1], -kLevel * 2.0f, 2.0f * kSettledTolerance);
  // Every sample: side = (y - x) * gain and work = y * gain, so side = work - x * gain.
  b.Fill(-300.0f);
  f->Fvc1Filter(b.work.data(), b.side.data(), kBlock);
  for (int i = 0; i < kBlock; ++i) EXPECT_NEAR(b.side[i], b.work[i] + 600.0f, 1.0e-3f) << i;
}

TEST(ToneFilters, Fvc3AppliesItsGainAndFvc2ItsMix) {
  auto plain = std::make_unique<ToneFilters>();
  auto gained = std::make_unique<ToneFilters>();
  gained->Fvc3Gain.store(7.0f);
  gained->Fvc2Mix.store(3.0f);
  plain->Fvc2Mix.store(1.0f);
  Buffers a;
  Buffers b;
  for (int i = 0; i < kBlock; ++i) a.work[i] = b.work[i] = static_cast<float>((i * 37) % 101 - 50);
  const std::array<float, kBlock> input = a.work;
  plain->Fvc3Filter(a.work.data(), kBlock);
  gained->Fvc3Filter(b.work.data(), kBlock);
  for (int i = 0; i < kBlock; ++i) EXPECT_FLOAT_EQ(b.work[i], a.work[i] * 7.0f);

  a.work = input;
  b.work = input;
  plain->Fvc2Stage(a.work.data(), kBlock);
  gained->Fvc2Stage(b.work.data(), kBlock);
  for (int i = 0; i < kBlock; ++i) {
    const float highPart = a.work[i] - input[i];
    EXPECT_NEAR(b.work[i], input[i] + highPart * 3.0f, 1.0e-3f) << i;
  }
}

TEST(ToneFilters, FixedHighPassIsSilentUntilItsGainIsSet) {
  auto f = std::make_unique<ToneFilters>();
  Buffers b;
  for (int i = 0; i < kBlock; ++i) b.work[i] = static_cast<float>(i * i);
  f->FixedHighPass(b.work.data(), kBlock);
  for (const float v : b.work) EXPECT_EQ(v, 0.0f);
}

// d = previous - x, times the gain; the previous input carries across blocks.
TEST(ToneFilters, FixedHighPassIsTheNegatedFirstDifference) {
  auto f = std::make_unique<ToneFilters>();
  f->HiPassGain.store(3.0f);
  float first[3] = {10.0f, 4.0f, 4.0f};
  f->FixedHighPass(first, 3);
  EXPECT_EQ(first[0], -30.0f);
  EXPECT_EQ(first[1], 18.0f);
  EXPECT_EQ(first[2], 0.0f);
  float second[1] = {-6.0f};
  f->FixedHighPass(second, 1);
  EXPECT_EQ(second[0], 30.0f);
}

TEST(ToneFilters, HighPreEqualiserRunsTwoOnePoleHighPassesThenTheGain) {
  auto f = std::make_unique<ToneFilters>();
  f->HiPreCoefficient.store(0.25f);
  f->HiPreGain.store(2.0f);
  float work[2] = {8.0f, 8.0f};
  f->HiPreSectionA(work, 2);
  EXPECT_EQ(work[0], 6.0f);  // lA = 2
  EXPECT_EQ(work[1], 4.5f);  // lA = 3.5
  f->HiPreSectionB(work, 2);
  EXPECT_EQ(work[0], 9.0f);  // lB = 1.5, (6 - 1.5) * 2
  EXPECT_EQ(work[1], 4.5f);  // lB = 2.25, (4.5 - 2.25) * 2
}

TEST(ToneFilters, SecondLowPassPassesAtCoefficientOneAndSmoothsBelow) {
  auto f = std::make_unique<ToneFilters>();
  float work[3] = {5.0f, -2.0f, 9.0f};
  f->LowPass2(work, 3);
  EXPECT_EQ(work[0], 5.0f);
  EXPECT_EQ(work[1], -2.0f);
  EXPECT_EQ(work[2], 9.0f);

  f->LowPass2Coefficient.store(0.5f);
  float step[3] = {1.0f, 1.0f, 1.0f};
  f->LowPass2(step, 3);  // continues from l = 9
  EXPECT_EQ(step[0], 5.0f);
  EXPECT_EQ(step[1], 3.0f);
  EXPECT_EQ(step[2], 2.0f);
}

// Fvc1Step runs FVC1's own section: the chain's FVC1 stage continues from the
// state the steps left, exactly as if the samples had come through the stage.
TEST(ToneFilters, Fvc1StepSharesTheFvc1Section) {
  auto stepped = std::make_unique<ToneFilters>();
  auto filtered = std::make_unique<ToneFilters>();
  float side[4];
  float viaStage[4] = {120.0f, -250.0f, 37.0f, 0.0f};
  filtered->Fvc1Filter(viaStage, side, 3);
  EXPECT_EQ(stepped->Fvc1Step(120), viaStage[0]);
  EXPECT_EQ(stepped->Fvc1Step(-250), viaStage[1]);
  EXPECT_EQ(stepped->Fvc1Step(37), viaStage[2]);

  float a[1] = {500.0f};
  float b[1] = {500.0f};
  stepped->Fvc1Filter(a, side, 1);
  filtered->Fvc1Filter(b, side, 1);
  EXPECT_EQ(a[0], b[0]);
}

TEST(ToneFilters, DesignsReadTheirWordsAtTheGivenRate) {
  auto f = std::make_unique<ToneFilters>();
  f->Fvc1Cutoff.store(12500.0f);
  DesignFvc1(*f, 44100.0f);
  const HighPassDesign expected = DesignHighPass(12500.0, static_cast<double>(1.41f), 44100.0);
  EXPECT_EQ(f->fvc1.Coefficients().a0, expected.a0);
  EXPECT_EQ(f->fvc1.Coefficients().a1, expected.a1);
  EXPECT_EQ(f->fvc1.Coefficients().a2, expected.a2);

  f->Fvc3Damping.store(0.141f);
  DesignFvc3(*f, kFilterDesignRate);
  EXPECT_EQ(f->fvc3.Coefficients().a0, DesignHighPass(100.0, static_cast<double>(0.141f), 22050.0).a0);

  DesignFixedSection(*f, kFilterDesignRate);
  EXPECT_NEAR(f->fixedSection.Coefficients().a0, 1.010095, 1.0e-6);
}

}  // namespace
}  // namespace fw
