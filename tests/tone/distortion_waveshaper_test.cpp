#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tone/distortions.h"

namespace fw {
namespace {

// The curve in double, straight from its definition.
double ShaperReference(double x, double a, double b, double k, double e, double drive = 1.0) {
  const double s1 = b / a;
  const double s2 = (32767.0 - b) / (32767.0 - a);
  const double c2 = b - (32767.0 - b) * a / (32767.0 - a);
  const auto w = [&](double u) { return 0.5 + std::atan(k * (u - a)) / std::numbers::pi; };
  const auto line = [&](double u, double blend) { return (s1 - (s1 - s2) * blend) * u + c2 * blend; };
  const double top = line(32767.0, w(32768.0));
  const double bottom = c2 * w(0.0);
  const double scale = e * 32767.0 / (top - bottom);
  const double u = std::fabs(x) * drive;
  const double y = line(u, w(u)) * scale - bottom * scale;
  return x < 0 ? -y : y;
}

struct ShaperFixture {
  Distortions d;

  float Shape(float x) {
    float work[1] = {x};
    d.Waveshaper(work, 1);
    return work[0];
  }
};

// The reference outputs have one decimal: within 0.06 of them; within 0.02 of the
// double-precision curve (the stage computes in 32-bit floats).
TEST(Waveshaper, TransferTableOfTheThreeTypes) {
  struct Row {
    int type;
    float input;
    double expected;
  };
  const Row rows[] = {
      {1, 100, 490.0}, {1, 1000, 4885.5}, {1, 5000, 6304.7}, {1, 32767, 16055.8},
      {2, 100, 442.2}, {2, 1000, 3748.9}, {2, 5000, 7218.3}, {2, 32767, 7946.1},
      {3, 100, 757.3}, {3, 1000, 3434.9}, {3, 5000, 3567.3}, {3, 32767, 3855.0},
  };
  for (const Row& r : rows) {
    ShaperFixture f;
    f.d.LoadShaperType(r.type);
    const ShaperTypeSet& set = kShaperTypeSets[static_cast<std::size_t>(r.type - 1)];
    const double reference = ShaperReference(r.input, set.kneeIn, set.kneeOut,
                                             static_cast<double>(set.smooth), static_cast<double>(set.level));
    const double out = static_cast<double>(f.Shape(r.input));
    EXPECT_NEAR(out, reference, 0.02) << "type " << r.type << " input " << r.input;
    EXPECT_NEAR(out, r.expected, 0.06) << "type " << r.type << " input " << r.input;
  }
}

TEST(Waveshaper, CurveIsOddAndPassesThroughZero) {
  ShaperFixture f;
  for (int type = 1; type <= 3; ++type) {
    f.d.LoadShaperType(type);
    EXPECT_EQ(f.Shape(0.0f), 0.0f);
    for (const float x : {1.0f, 450.0f, 2999.5f, 32767.0f, 60000.0f}) EXPECT_EQ(f.Shape(-x), -f.Shape(x));
  }
}

TEST(Waveshaper, DriveScalesTheInputMagnitude) {
  ShaperFixture f;
  f.d.ShaperDrive.store(0.25f);
  EXPECT_NEAR(f.Shape(4000.0f), ShaperReference(4000.0, 1000, 10000, 0.1, 0.49, 0.25), 0.02);
  EXPECT_FLOAT_EQ(f.Shape(4000.0f), f.Shape(1000.0f * 1.0f / 0.25f));
  ShaperFixture plain;
  EXPECT_FLOAT_EQ(f.Shape(4000.0f), plain.Shape(1000.0f));
}

// The chain-facing call passes the knee words as they stand; the distortion
// itself takes them as arguments.
TEST(Waveshaper, ChainCallUsesTheCurrentKneeWords) {
  ShaperFixture f;
  f.d.ShaperKneeIn.store(300);
  f.d.ShaperKneeOut.store(20000);
  f.d.ShaperSmooth.store(0.01f);
  f.d.ShaperLevel.store(0.3f);
  float direct[1] = {2500.0f};
  f.d.WaveshaperDistortion(direct, 300, 20000, 1, 0.01f, 0.3f);
  EXPECT_EQ(f.Shape(2500.0f), direct[0]);
  // 32-bit arithmetic: within 1e-5 of the double-precision curve, relatively.
  const double reference =
      ShaperReference(2500.0, 300, 20000, static_cast<double>(0.01f), static_cast<double>(0.3f));
  EXPECT_NEAR(direct[0], reference, 1.0e-5 * reference);
}

TEST(Waveshaper, TypeZeroLoadsNothing) {
  ShaperFixture f;
  f.d.LoadShaperType(3);
  f.d.LoadShaperType(0);
  EXPECT_EQ(f.d.ShaperKneeIn.load(), 400);
  EXPECT_EQ(f.d.ShaperKneeOut.load(), 29800);
  EXPECT_EQ(f.d.ShaperSmooth.load(), 0.0028f);
  EXPECT_EQ(f.d.ShaperLevel.load(), 0.117649f);
}

}  // namespace
}  // namespace fw
