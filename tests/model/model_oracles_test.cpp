// The reference model against reference values for its stages. The reference values
// are rounded; the tolerances below sit a little above their last digit.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "model/reference_chain.h"

namespace model {
namespace {

TEST(ModelOracles, HighPassDesignMatchesReferenceCoefficients) {
  HighPassSection s;
  s.Design(150.0f, 1.41f, 22050.0f);
  EXPECT_NEAR(s.a0, 1.030595, 2e-6);
  EXPECT_NEAR(s.a1, -1.999543, 2e-6);
  EXPECT_NEAR(s.a2, 0.9703186, 2e-7);
  s.Design(50.0f, 1.41f, 22050.0f);
  EXPECT_NEAR(s.a0, 1.010095, 2e-6);
  EXPECT_NEAR(s.a1, -1.999949, 2e-6);
  EXPECT_NEAR(s.a2, 0.990006, 2e-6);
}

TEST(ModelOracles, BandPassDesignMatchesReferenceCoefficients) {
  Equaliser eq;
  eq.Design(22050.0f);
  EXPECT_NEAR(eq.bands[0].A, 176.4664, 2e-4);
  EXPECT_NEAR(eq.bands[0].B, -350.8838, 2e-4);
  EXPECT_NEAR(eq.bands[0].E, 174.4664, 2e-4);
  EXPECT_NEAR(eq.bands[4].A, 9.73539, 2e-5);
  EXPECT_NEAR(eq.bands[4].B, -17.07159, 2e-5);
  EXPECT_NEAR(eq.bands[4].E, 7.73539, 2e-5);
  EXPECT_NEAR(eq.bands[8].A, 2.836308, 2e-6);
  EXPECT_NEAR(eq.bands[8].B, 2.722137, 2e-6);
  EXPECT_NEAR(eq.bands[8].E, 0.8363079, 2e-7);
}

TEST(ModelOracles, FoldBankCentresAndCoefficients) {
  TubeBanks t;
  t.DesignFoldBank(0, 3.0f, 3.0f, 0.5f, 22050.0f);
  const double centres[16] = {44.19, 62.50, 88.39, 125.0, 176.8, 250.0, 353.6, 500.0,
                              707.1, 1000,  1414,  2000,  2828,  4000,  5657,  8000};
  for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(t.centre[i], centres[i], 0.51) << "band " << i;
  EXPECT_NEAR(t.first[0].A, 318.631, 2e-3);
  EXPECT_NEAR(t.first[0].B, -635.214, 2e-3);
  EXPECT_NEAR(t.first[0].E, 316.631, 2e-3);
  EXPECT_NEAR(t.first[7].A, 29.0631, 2e-4);
  EXPECT_NEAR(t.first[7].B, -55.5927, 2e-4);
  EXPECT_NEAR(t.first[7].E, 27.0631, 2e-4);
  EXPECT_NEAR(t.first[15].A, 3.80959, 2e-5);
  EXPECT_NEAR(t.first[15].B, 3.88251, 2e-5);
  EXPECT_NEAR(t.first[15].E, 1.80959, 2e-5);
  t.DesignFoldBank(0, 3.0f, 3.0f, 0.95f, 22050.0f);
  EXPECT_NEAR(t.first[7].A, 15.7537, 2e-4);
  EXPECT_NEAR(t.first[7].B, -29.2755, 2e-4);
  EXPECT_NEAR(t.first[7].E, 13.7537, 2e-4);
}

float Shape(int type, float x) {
  ReferenceChain chain;
  chain.Set("RadioGroup_HDistort", type);
  float v = x;
  WaveshaperDistortion(chain.shaper.kneeIn, chain.shaper.kneeOut, 1, chain.shaper.smooth, chain.shaper.level,
                       1.0f, &v);
  return v;
}

TEST(ModelOracles, WaveshaperReferenceValues) {
  const float inputs[4] = {100, 1000, 5000, 32767};
  const double expected[3][4] = {
      {490.0, 4885.5, 6304.7, 16055.8}, {442.2, 3748.9, 7218.3, 7946.1}, {757.3, 3434.9, 3567.3, 3855.0}};
  for (int type = 1; type <= 3; ++type)
    for (size_t i = 0; i < 4; ++i)
      // 0.06: the curve in 32-bit floats lands 0.059 above the reference 7946.1 for type 2 at
      // full scale (the same formula in double gives 7946.145).
      EXPECT_NEAR(Shape(type, inputs[i]), expected[type - 1][i], 0.06)
          << "type " << type << " x " << inputs[i];
  EXPECT_EQ(Shape(1, 0.0f), 0.0f);
  EXPECT_EQ(Shape(2, -1000.0f), -Shape(2, 1000.0f));
}

TEST(ModelOracles, SoftDistortionGainCurve) {
  // g = (avg^P + B) / (avg^2 + B) with L = 15, B = 1e7, P = 1.75.
  const double avg[5] = {100, 1000, 3162, 10000, 30000};
  const double g[5] = {0.9993, 0.925, 0.567, 0.182, 0.086};
  for (size_t i = 0; i < 5; ++i) {
    const double value = (std::pow(avg[i], 1.75) + 1e7) / (avg[i] * avg[i] + 1e7);
    EXPECT_NEAR(value, g[i], 0.0006) << "avg " << avg[i];
  }
}

TEST(ModelOracles, SoftDistortionWithExponentTwoIsDelayedCopy) {
  SoftDistortion s;
  s.exponent = 2.0f;
  float buf[8] = {1000, -2000, 3000, 4000, 0, 0, 0, 0};
  s.Process(buf, 8, 1.001f, 1.0f);
  EXPECT_EQ(buf[2], 1000.0f);
  EXPECT_EQ(buf[3], -2000.0f);
  EXPECT_EQ(buf[4], 3000.0f);
  EXPECT_EQ(buf[5], 4000.0f);
}

double EllipticMagnitude(const Elliptic& e, double f, double fs) {
  const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
  std::complex<double> num = 0, den = 0, zk = 1;
  for (int k = 0; k <= e.order; ++k) {
    num += static_cast<double>(e.b[static_cast<size_t>(k)]) * zk;
    den += (k == 0 ? 1.0 : static_cast<double>(e.a[static_cast<size_t>(k)])) * zk;
    zk *= z;
  }
  return std::abs(num / den);
}

TEST(ModelOracles, EllipticGainsAndMagnitudes) {
  const double dc[5] = {1.000, 1.000, 0.972, 1.000, 0.944};
  const double freqs[8] = {1000, 1500, 2000, 2500, 3500, 4000, 6000, 8000};
  const double dB[5][8] = {{-0.2, -49.2, -55.9, -36.5, -33.7, -34.1, -37.6, -42.7},
                           {-0.7, -2.6, -28.9, -54.6, -71.4, -60.5, -54.0, -57.5},
                           {0.0, -0.2, 0.1, -11.5, -34.4, -34.1, -50.5, -36.3},
                           {-0.4, -0.5, -0.2, 0.1, -2.1, -34.4, -40.1, -37.6},
                           {-0.4, -0.3, -0.1, 0.0, -0.1, -0.4, -8.4, -38.4}};
  for (int index = 0; index < 5; ++index) {
    Elliptic e;
    e.Select(index);
    EXPECT_NEAR(EllipticMagnitude(e, 0.0, 22050.0), dc[index], 0.0015) << "set " << index;
    for (size_t j = 0; j < 8; ++j) {
      const double level = 20.0 * std::log10(EllipticMagnitude(e, freqs[j], 22050.0));
      EXPECT_NEAR(level, dB[index][j], 0.051) << "set " << index << " at " << freqs[j] << " Hz";
    }
  }
}

double BankMagnitude(const Equaliser& eq, double f, double fs) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
  const std::complex<double> z2 = z1 * z1;
  std::complex<double> sum = 0;
  for (size_t j = 0; j < 9; ++j) {
    const BandPassSection& s = eq.bands[j];
    const std::complex<double> h = (1.0 - z2) / (static_cast<double>(s.A) + static_cast<double>(s.B) * z1 +
                                                 static_cast<double>(s.E) * z2);
    sum += h * static_cast<double>(eq.gain[j]);
  }
  return std::abs(sum * static_cast<double>(eq.outputGain));
}

TEST(ModelOracles, EqualiserBankMagnitudes) {
  const double freqs[7] = {30, 62, 250, 850, 3400, 8000, 10000};
  // Two reference magnitudes disagree with the formulas in the last digit: the neutral
  // bank gives 1.6347 at 62 Hz (reference 1.64) and the reset bank 2.3047 at 850 Hz
  // (reference 2.31). The formulas hold; those two points get a wider margin.
  const double neutral[7] = {0.93, 1.64, 2.00, 1.60, 1.79, 1.49, 0.86};
  const double reset[7] = {1.23, 2.18, 2.88, 2.31, 2.57, 2.15, 1.24};
  const double neutralMargin[7] = {0.0051, 0.0056, 0.0051, 0.0051, 0.0051, 0.0051, 0.0051};
  const double resetMargin[7] = {0.0051, 0.0051, 0.0051, 0.0056, 0.0051, 0.0051, 0.0051};
  Equaliser eq;
  eq.Design(22050.0f);
  for (size_t j = 0; j < 7; ++j)
    EXPECT_NEAR(BankMagnitude(eq, freqs[j], 22050.0), neutral[j], neutralMargin[j]) << freqs[j];
  eq.SetOutputGain(51);
  for (int k = 1; k <= 8; ++k) eq.SetBandGain(k, 51);
  EXPECT_FLOAT_EQ(eq.gain[1], 12.0f);
  EXPECT_FLOAT_EQ(eq.outputGain, 0.12f);
  for (size_t j = 0; j < 7; ++j)
    EXPECT_NEAR(BankMagnitude(eq, freqs[j], 22050.0), reset[j], resetMargin[j]) << freqs[j];
}

TEST(ModelOracles, FoldBackTransferValues) {
  // A single band with a pass-through section is not available, so check the fold rule
  // through a bank whose sections see the value directly: band values are folded in FoldBank.
  const float thr = 200.0f, l = thr / 16000.0f;
  auto fold = [&](float v) {
    if (v >= 16000.0f)
      v = 0.5f * l * (v - 16000.0f);
    else if (v >= thr)
      v = thr - l * v;
    if (v < -16000.0f)
      v = 0.5f * l * (v + 16000.0f);
    else if (v < -thr)
      v = -thr - l * v;
    return v;
  };
  EXPECT_FLOAT_EQ(fold(100), 100.0f);
  EXPECT_FLOAT_EQ(fold(200), 197.5f);
  EXPECT_FLOAT_EQ(fold(1000), 187.5f);
  EXPECT_FLOAT_EQ(fold(8000), 100.0f);
  EXPECT_FLOAT_EQ(fold(16000), 0.0f);
  EXPECT_NEAR(fold(32767), 104.79, 0.005);
  EXPECT_FLOAT_EQ(fold(-1000), -187.5f);
}

TEST(ModelOracles, StartUpValuesOfTheTimeEffects) {
  ReferenceChain chain;
  chain.Activate(nullptr);
  EXPECT_EQ(chain.p.echoDelay, 6500);
  EXPECT_FLOAT_EQ(chain.echo.gain, 0.6f);
  const double taps[5] = {0.45, 0.18, 0.072, 0.0288, 0.01152};
  for (size_t k = 0; k < 5; ++k) EXPECT_NEAR(chain.echo.tap[k], taps[k], 1e-7);
  EXPECT_FLOAT_EQ(chain.p.reverbGain2, 0.84f);
  EXPECT_FLOAT_EQ(chain.p.reverbAllPassGain, 0.75f);
  EXPECT_FLOAT_EQ(chain.p.reverbBrightness, 0.7f);
  EXPECT_EQ(chain.p.fvc1On, 1);
  EXPECT_FLOAT_EQ(chain.fvc1.cutoff, 150.0f);
  EXPECT_FLOAT_EQ(chain.fvc2.gain, 0.5f);
  EXPECT_EQ(chain.p.cardType, 0);  // item 2 was already selected by the ring-0 test
  EXPECT_EQ(chain.Position("ScrollBar_Color_Of_Dist"), 3);
  chain.Set("ScrollBar_Reverb_G_2", 10);
  EXPECT_NEAR(chain.p.reverbGain2, 0.175, 0.0005);
}

TEST(ModelOracles, ControlMirrors) {
  ReferenceChain chain;
  chain.Activate(nullptr);
  chain.Set("ScrollBar_del_in", 0);
  EXPECT_FLOAT_EQ(chain.p.inputGain, 0.5f);
  chain.Set("ScrollBar_Digital_IN_Gain", 5);
  EXPECT_EQ(chain.Position("ScrollBar_del_in"), 5);
  chain.Set("ScrollBar_del_in", 0);
  EXPECT_EQ(chain.Position("ScrollBar_del_in"), 1);
  EXPECT_EQ(chain.Position("ScrollBar_Digital_IN_Gain"), 1);
  EXPECT_FLOAT_EQ(chain.p.inputGain, 1.0f);

  chain.Set("RadioGroup_Dist_Of12", 2);
  EXPECT_FLOAT_EQ(chain.shaper.smooth, 0.005f);
  EXPECT_EQ(chain.shaper.kneeOut, 30000);
  chain.Set("RadioGroup_HDistort", 0);
  chain.Set("ScrollBar_D_SMOOT", 1);
  chain.Set("RadioGroup_HDistort", 3);
  EXPECT_FLOAT_EQ(chain.shaper.smooth, 0.0028f);
  chain.Set("RadioGroup_HDistort", 1);
  EXPECT_FLOAT_EQ(chain.shaper.smooth, 0.1f);
}

TEST(ModelOracles, EchoImpulseResponse) {
  ReferenceChain chain;
  chain.Activate(nullptr);
  chain.Set("ScrollBar_Delay_Time", 10);
  std::vector<float> buf(13001, 0.0f);
  buf[0] = 1.0f;
  chain.echo.Process(buf.data(), 13001, chain.p.echoDelay);
  const double taps[6] = {1.0, 0.45, 0.18, 0.072, 0.0288, 0.01152};
  for (size_t k = 0; k < 6; ++k) EXPECT_NEAR(buf[k * 2600], 0.6 * taps[k], 1e-7) << "echo " << k;
  EXPECT_EQ(buf[1], 0.0f);
  EXPECT_EQ(buf[2599], 0.0f);
}

TEST(ModelOracles, ReverbImpulseFirstWetSample) {
  ReverbModel r;
  const int delay2 = 240;
  std::vector<float> buf(400, 0.0f);
  buf[0] = 1.0f;
  r.Process(buf.data(), 400, 0.75f, delay2, 0.84f, 0.7f);
  for (int i = 1; i < delay2; ++i) EXPECT_EQ(buf[static_cast<size_t>(i)], 0.0f) << i;
  EXPECT_NEAR(buf[delay2], std::pow(0.75, 4) * 0.7 * 0.84, 1e-7);
}

TEST(ModelOracles, FlangerFirstStepAfterResetExtrapolates) {
  FlangerModel f;
  f.Reset();
  f.gain = 1.0f;
  f.line[0] = 3.0f;
  f.line[1] = 5.0f;
  float x = 0.0f;
  f.Process(&x, 1);
  EXPECT_EQ(x, 2.0f * 5.0f - 3.0f);
}

TEST(ModelOracles, FlangerSweepPeriod) {
  FlangerModel f;
  f.Reset();
  std::vector<float> buf(40000, 0.0f);
  f.Process(buf.data(), 40000);
  // Amount rose from 0.001 to 300 and reversed once.
  EXPECT_LT(f.speed, 0.0f);
}

}  // namespace
}  // namespace model
