#include "tone/highpass_section.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fw {
namespace {

// The reference coefficients have seven significant digits.
constexpr double kReferenceCoefficientTolerance = 1.0e-6;

TEST(HighPassSection, DesignMatchesReferenceCoefficientsAt22050) {
  const HighPassDesign at150 = DesignHighPass(150.0, 1.41, 22050.0);
  EXPECT_NEAR(at150.a0, 1.030595, kReferenceCoefficientTolerance);
  EXPECT_NEAR(at150.a1, -1.999543, kReferenceCoefficientTolerance);
  EXPECT_NEAR(at150.a2, 0.9703186, kReferenceCoefficientTolerance);

  const HighPassDesign at50 = DesignHighPass(50.0, 1.41, 22050.0);
  EXPECT_NEAR(at50.a0, 1.010095, kReferenceCoefficientTolerance);
  EXPECT_NEAR(at50.a1, -1.999949, kReferenceCoefficientTolerance);
  EXPECT_NEAR(at50.a2, 0.990006, kReferenceCoefficientTolerance);
}

// a1 is t^2 - 2 (not 2t^2 - 2): a0 + a1 + a2 = 3t^2 and the gain at half the
// rate is 4 / (t^2 + 4).
TEST(HighPassSection, DesignKeepsItsOwnMiddleCoefficient) {
  const double t = std::tan(3.141592653589 * 1000.0 / 22050.0);
  const HighPassDesign d = DesignHighPass(1000.0, 0.7, 22050.0);
  EXPECT_NEAR(d.a1, t * t - 2.0, 1.0e-6);
  HighPassSection section;
  section.SetCoefficients(d);
  EXPECT_NEAR(section.Magnitude(11025.0, 22050.0), 4.0 / (t * t + 4.0), 1.0e-5);
  EXPECT_NEAR(section.Magnitude(0.0, 22050.0), 0.0, 1.0e-9);
}

// Measured sine amplitude against the analytic response, within 0.5 %.
TEST(HighPassSection, SineResponseFollowsAnalyticMagnitude) {
  for (const double frequency : {40.0, 150.0, 600.0, 4000.0}) {
    HighPassSection section;
    section.Design(150.0, 1.41, 22050.0);
    const double omega = 2.0 * std::numbers::pi * frequency / 22050.0;
    double peak = 0.0;
    for (int i = 0; i < 88200; ++i) {
      const float y = section.Step(static_cast<float>(10000.0 * std::sin(omega * i)));
      if (i >= 66150) peak = std::max(peak, std::fabs(static_cast<double>(y)));
    }
    EXPECT_NEAR(peak / 10000.0, section.Magnitude(frequency, 22050.0),
                0.005 * section.Magnitude(frequency, 22050.0))
        << frequency << " Hz";
  }
}

// The step is computed in 32-bit floats in the written order, and a redesign
// keeps the state: the output right after it continues from the old samples.
TEST(HighPassSection, RedesignReplacesCoefficientsAndKeepsState) {
  HighPassSection section;
  section.Design(150.0, 1.41, 22050.0);
  const float y1 = section.Step(1000.0f);
  const float y2 = section.Step(-500.0f);
  section.Design(50.0, 1.41, 22050.0);
  const HighPassDesign c = section.Coefficients();
  const float x = 250.0f;
  const float expected = (x - 2.0f * -500.0f + 1000.0f - (c.a1 * y2 + c.a2 * y1)) / c.a0;
  EXPECT_EQ(section.Step(x), expected);
}

}  // namespace
}  // namespace fw
