#include "tone/bandpass_section.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bandpass_sine_measure.h"
#include "tone/graphic_equalisers.h"

namespace fw {
namespace {

// The reference coefficients are rounded to seven significant digits: tolerance 1e-6
// relative plus half a unit of their last digit.
void ExpectCoefficients(BandpassCoefficients c, double A, double B, double E, double lastDigit) {
  EXPECT_NEAR(c.A, A, lastDigit / 2 + 1e-6 * std::abs(A));
  EXPECT_NEAR(c.B, B, lastDigit / 2 + 1e-6 * std::abs(B));
  EXPECT_NEAR(c.E, E, lastDigit / 2 + 1e-6 * std::abs(E));
}

TEST(BandpassSection, ReferenceCoefficientsAt22050) {
  ExpectCoefficients(DesignBandpass(62, 40, 22050), 176.4664, -350.8838, 174.4664, 1e-4);
  ExpectCoefficients(DesignBandpass(850, 800, 22050), 9.73539, -17.07159, 7.73539, 1e-5);
  ExpectCoefficients(DesignBandpass(8000, 3500, 22050), 2.836308, 2.722137, 0.8363079, 1e-6);
}

// Gain 1 where cos(w) = D (near the centre; 1689 Hz for this band), zero at 0 Hz;
// measured on the running section (tolerance 0.2 %: the measuring window holds a
// fractional number of periods).
TEST(BandpassSection, UnityAtTheCentreAndNothingAtDc) {
  BandpassBankCoefficients<1> bank;
  bank.Design(0, 1700, 1200, 22050);
  BandpassBankState<1> state;
  auto run = [&](float* buffer, int n) {
    const BandpassBankSnapshot<1> snapshot(bank);
    for (int i = 0; i < n; ++i) {
      BandLanes y[1];
      state.Step(snapshot, buffer[i], y);
      buffer[i] = y[0][0];
    }
  };
  const double flo = (1700 - 600) / 22050.0, fhi = (1700 + 600) / 22050.0;
  const double D = std::cos(std::numbers::pi * (fhi + flo)) / std::cos(std::numbers::pi * (fhi - flo));
  const double peak = 22050 * std::acos(D) / (2 * std::numbers::pi);
  EXPECT_NEAR(test::MeasureGain(run, peak, 22050), 1.0, 0.002);
  EXPECT_LT(test::MeasureGain(run, 1700 + 1200, 22050), 0.75);

  float constant[220];
  for (int block = 0; block < 50; ++block) {
    for (float& v : constant) v = 1000.0f;
    run(constant, 220);
  }
  EXPECT_NEAR(constant[219], 0.0f, 1e-3f);
}

// The four-samples-at-once sum gives exactly the plain double sum in band order,
// for full and partly filled lane vectors and for counts that are not a multiple of four.
TEST(BandpassSection, BandSumKeepsTheBandOrderOfEverySample) {
  constexpr int kVectors = 4;
  BandLanes rows[23][kVectors];
  for (int i = 0; i < 23; ++i) {
    for (int b = 0; b < kVectors * kLanes; ++b) {
      // Values of very different sizes, so that a different order would round differently.
      rows[i][b / kLanes][b % kLanes] =
          static_cast<float>(std::ldexp(1.0 + 0.37 * b + 0.11 * i, (b * 7 + i) % 40 - 20)) *
          ((b + i) % 3 == 0 ? -1.0f : 1.0f);
    }
  }
  for (const int bands : {16, 13, 9, 5}) {
    for (const int count : {23, 20, 3}) {
      float out[23];
      SumBandsInOrder<kVectors>(rows, count, bands, 0.37, out);
      for (int i = 0; i < count; ++i) {
        double s = 0.0;
        for (int b = 0; b < bands; ++b) s += static_cast<double>(rows[i][b / kLanes][b % kLanes]);
        ASSERT_EQ(out[i], static_cast<float>(s * 0.37)) << bands << " bands, sample " << i << " of " << count;
      }
    }
  }
}

}  // namespace
}  // namespace fw
