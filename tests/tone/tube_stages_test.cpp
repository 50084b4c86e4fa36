#include "tone/tube_stages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/tube_voicings.h"
#include "support/realtime_guard.h"
#include "tone/graphic_equalisers.h"

namespace fw {
namespace {

// Printed transfer values, within 0.005 (two printed decimals). Negative values are
// said to mirror the positive ones, but the rules test v >= thr and v < -thr: +200
// folds to 197.5 while -200 passes unchanged. The rules hold.
TEST(TubeFold, TransferValuesAtThreshold200) {
  const float l = 200.0f / 16000.0f;
  const struct {
    float in, out;
  } points[] = {
      {100, 100}, {200, 197.5f}, {1000, 187.5f},         {8000, 100},   {16000, 0},        {32767, 104.79f},
      {0, 0},     {-200, -200},  {-200.5f, -197.49375f}, {-8000, -100}, {-32767, -104.79f}};
  for (const auto& p : points) EXPECT_NEAR(FoldBandValue(p.in, 200.0f, l), p.out, 0.005f) << p.in;
  // Just below the threshold passes unchanged; just below 16000 it is near 0.
  EXPECT_EQ(FoldBandValue(199.5f, 200.0f, l), 199.5f);
  EXPECT_NEAR(FoldBandValue(15999.0f, 200.0f, l), 0.0125f, 1e-4f);
}

// Printed references at 22050, seven significant digits: tolerance half a unit of
// the last digit plus 1e-6 relative.
void ExpectBand(const TubeStages& tube, int band, double A, double B, double E, double lastDigit) {
  const BandpassCoefficients c = tube.foldCoefficients.Get(band);
  EXPECT_NEAR(c.A, A, lastDigit / 2 + 1e-6 * std::abs(A)) << "band " << band;
  EXPECT_NEAR(c.B, B, lastDigit / 2 + 1e-6 * std::abs(B)) << "band " << band;
  EXPECT_NEAR(c.E, E, lastDigit / 2 + 1e-6 * std::abs(E)) << "band " << band;
}

TEST(TubeFoldDesign, ReferenceCoefficientsWithWidthFactorHalf) {
  auto tube = std::make_unique<TubeStages>();
  tube->DesignFoldBank(0, 3.0f, 3.0f, 0.5f, 22050);
  EXPECT_NEAR(tube->FoldCentre[0].load(), 44.19f, 0.005f);
  EXPECT_NEAR(tube->FoldWidth[0].load(), 22.10f, 0.005f);
  ExpectBand(*tube, 0, 318.631, -635.214, 316.631, 1e-3);
  ExpectBand(*tube, 7, 29.0631, -55.5927, 27.0631, 1e-4);
  ExpectBand(*tube, 15, 3.80959, 3.88251, 1.80959, 1e-5);
  EXPECT_NEAR(tube->FoldWidth[15].load(), 2400.0f, 0.001f);  // band 15 always 0.3 x centre
}

TEST(TubeFoldDesign, ReferenceCoefficientsWithWidthFactor095) {
  auto tube = std::make_unique<TubeStages>();
  tube->DesignFoldBank(1, 3.0f, 1.0f, 0.95f, 22050);
  ExpectBand(*tube, 7, 15.7537, -29.2755, 13.7537, 1e-4);
}

TEST(TubeFoldDesign, HalfOctaveCentresRoundedStepByStep) {
  auto tube = std::make_unique<TubeStages>();
  tube->DesignFoldBank(0, 3.0f, 1.0f, 0.5f, 44100);
  const double printed[16] = {44.19, 62.50, 88.39, 125.0, 176.8, 250.0, 353.6, 500.0,
                              707.1, 1000,  1414,  2000,  2828,  4000,  5657,  8000};
  float centre = 31.25f;
  for (int b = 0; b < 16; ++b) {
    centre = static_cast<float>(centre * std::sqrt(2.0));
    EXPECT_EQ(tube->FoldCentre[b].load(), centre);
    EXPECT_NEAR(tube->FoldCentre[b].load(), printed[b],
                0.5 * std::pow(10.0, std::floor(std::log10(printed[b])) - 3));
  }
  for (int b = 0; b < 16; ++b) EXPECT_GE(tube->foldCoefficients.Get(b).A, 2.0f);
}

// The fold-back bank written out plainly, band by band, from the same coefficients.
struct PlainFoldBank {
  float s1[16][4] = {};  // x1 x2 y1 y2, first level
  float s2[16][4] = {};

  static float Section(float (&s)[4], BandpassCoefficients c, float x) {
    const float y = (x - s[1] - c.B * s[2] - c.E * s[3]) / c.A;
    s[1] = s[0], s[0] = x, s[3] = s[2], s[2] = y;
    return y;
  }
  float Run(const TubeStages& tube, float x) {
    const float thr = tube.FoldThreshold.load();
    const float l = thr / 16000.0f;
    double sum = 0.0;
    for (int b = 0; b < 16; ++b) {
      const BandpassCoefficients c = tube.foldCoefficients.Get(b);
      const float u = tube.FoldCascade.load() == 1 ? Section(s1[b], c, x) : x;
      float v = Section(s2[b], c, u);
      if (v >= 16000) {
        v = 0.5f * l * (v - 16000);
      } else if (v >= thr) {
        v = thr - l * v;
      }
      if (v < -16000) {
        v = 0.5f * l * (v + 16000);
      } else if (v < -thr) {
        v = -thr - l * v;
      }
      if (b >= 1 && b <= 6) v = v * tube.FoldLowWeight.load();
      sum += v;
    }
    return static_cast<float>(sum);
  }
};

std::vector<float> LoudBlock(int n, int seed) {
  std::vector<float> block(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    block[static_cast<size_t>(i)] =
        30000.0f * static_cast<float>(std::sin(0.05 * (i + seed) + 0.001 * (i + seed) * (i + seed)));
  }
  return block;
}

void ExpectFoldMatchesPlain(TubeStages& tube) {
  PlainFoldBank plain;
  for (int round = 0; round < 6; ++round) {
    const int n = round == 3 ? 1001 : 220;  // one block longer than the bank's pass
    std::vector<float> block = LoudBlock(n, round * 1000);
    std::vector<float> expected(block);
    for (float& v : expected) v = plain.Run(tube, v);
    tube.FoldBank(block.data(), n);
    ASSERT_EQ(block, expected) << "block " << round;
  }
}

TEST(TubeFoldBank, MatchesThePlainBankInCascade) {
  auto engine = MakeEngine();  // program start: cascade, width 0.95, low weight 1.0
  ASSERT_EQ(engine->tube.FoldCascade.load(), 1);
  ExpectFoldMatchesPlain(engine->tube);
}

TEST(TubeFoldBank, MatchesThePlainBankWithoutCascade) {
  auto engine = MakeEngine();
  DesignTubeVoicing2(*engine);
  ASSERT_EQ(engine->tube.FoldCascade.load(), 0);
  ExpectFoldMatchesPlain(engine->tube);
}

TEST(TubeVoiceBank, MatchesThePlainBankWithItsWeights) {
  auto engine = MakeEngine();
  TubeStages& tube = engine->tube;
  tube.DesignVoiceBank(2.5f, 1.5f, 22050);
  tube.VoiceBand6Gain.store(4.0f);
  float s[9][4] = {};
  for (int round = 0; round < 4; ++round) {
    std::vector<float> block = LoudBlock(220, round * 220);
    std::vector<float> expected(block);
    for (float& x : expected) {
      double sum = 0.0;
      for (int b = 0; b < 9; ++b) {
        const BandpassCoefficients c = tube.voiceCoefficients.Get(b);
        float y = PlainFoldBank::Section(s[b], c, x);
        if (b == 6) y = y * 4.0f;
        if (b == 1 || b == 2) y = y * 2.5f;
        sum += y;
      }
      x = static_cast<float>(sum * 1.5);
    }
    tube.VoiceBank(block.data(), 220);
    ASSERT_EQ(block, expected) << "block " << round;
  }
}

TEST(TubeDesign, ProgramStartDesign) {
  auto engine = MakeEngine();
  const TubeStages& t = engine->tube;
  EXPECT_EQ(t.FoldBandCount.load(), 16);
  EXPECT_EQ(t.FoldThreshold.load(), 200.0f);
  EXPECT_EQ(t.VoiceLowGain.load(), 1.0f);
  EXPECT_EQ(t.VoiceOutputGain.load(), 3.0f);
  EXPECT_EQ(t.VoiceBand6Gain.load(), 3.0f);
  EXPECT_EQ(t.FoldLowWeight.load(), 1.0f);
  EXPECT_EQ(t.FoldWidthFactor.load(), 0.95f);
  EXPECT_EQ(t.FoldCascade.load(), 1);
  EXPECT_EQ(engine->eq.post.EqOutputGain.load(), 0.1f);
  EXPECT_EQ(engine->eq.pre.coefficients.Get(0).A, DesignBandpass(62, 40, 22050).A);
}

TEST(TubeDesign, VoicingsSetTheirFieldsAndRedesignTheEqualisersAtTheEngineRate) {
  auto engine = MakeEngine();
  engine->params.EngineSampleRate.store(44100);
  engine->eq.SetPostBandGain(4, 90);
  DesignTubeVoicing1(*engine);
  const TubeStages& t = engine->tube;
  EXPECT_EQ(t.VoiceLowGain.load(), 3.0f);
  EXPECT_EQ(t.VoiceOutputGain.load(), 3.0f);
  EXPECT_EQ(t.VoiceBand6Gain.load(), 3.0f);
  EXPECT_EQ(t.FoldLowWeight.load(), 1.0f);
  EXPECT_EQ(t.FoldWidthFactor.load(), 0.95f);
  EXPECT_EQ(t.FoldCascade.load(), 0);
  EXPECT_EQ(engine->eq.post.BandGain[4].load(), 10.0f);
  EXPECT_EQ(engine->eq.pre.coefficients.Get(8).A, DesignBandpass(8000, 3500, 44100).A);
  EXPECT_EQ(t.voiceCoefficients.Get(8).A, DesignBandpass(8000, 3500, 44100).A);

  DesignTubeVoicing2(*engine);
  EXPECT_EQ(t.VoiceLowGain.load(), 1.0f);
  EXPECT_EQ(t.FoldLowWeight.load(), 3.0f);
  EXPECT_EQ(t.FoldWidthFactor.load(), 0.5f);
  EXPECT_EQ(t.FoldCascade.load(), 0);
}

TEST(TubeRealtime, ManyBlocksWithoutAllocationOrLocks) {
  auto engine = MakeEngine();
  std::vector<float> block = LoudBlock(368, 0);
  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    for (int round = 0; round < 2000; ++round) {
      engine->tube.FoldBank(block.data(), 368);
      engine->tube.VoiceBank(block.data(), 368);
    }
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
}

}  // namespace
}  // namespace fw
