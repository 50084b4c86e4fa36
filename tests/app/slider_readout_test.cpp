// A slider's readout says what the chain makes of its position: checked against the
// words the handlers store and against the stages' own answer to a sine.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "support/engine_fixture.h"
#include "tone/graphic_equalisers.h"

namespace fw {
namespace {

struct SliderReadouts : ::testing::Test {
  test::FormFixture f;

  // The number a readout starts with, and its unit after the space.
  double Read(const char* bar, int position, const std::string& unit) {
    f.form->Bar(bar).SetPosition(position);
    const std::string text = f.form->Bar(bar).ReadoutNow();
    EXPECT_EQ(text.substr(text.find(' ') + 1), unit) << bar << ": " << text;
    return std::stod(text);
  }
  void UseRate(int rate) { f.engine->params.EngineSampleRate.store(rate); }
};

double FromDecibels(double decibels) { return std::pow(10.0, decibels / 20.0); }

// The steady peak a stage gives a unit sine of `hertz`.
template <class Step>
double PeakAnswer(double hertz, int rate, Step step) {
  double peak = 0.0;
  for (int i = 0; i < 2 * rate; ++i) {
    const double y = step(std::sin(2.0 * std::numbers::pi * hertz * i / rate));
    if (i > rate) peak = std::max(peak, std::abs(y));
  }
  return peak;
}

TEST_F(SliderReadouts, GainsAndTimesReadTheWordsTheHandlersStore) {
  const double volume = FromDecibels(Read("ScrollBar_OutPut_Volume", 70, "dB"));
  EXPECT_NEAR(volume, f.engine->params.OutputGain.load(), 0.01 * volume);
  const double band = FromDecibels(Read("ScrollBar_preEQ3", 20, "dB"));
  EXPECT_NEAR(band, f.engine->eq.pre.BandGain[3].load() / kNeutralBandGain, 0.01 * band);
  EXPECT_EQ(f.form->Bar("ScrollBar_wav_file_gain").ReadoutAt(0), "off");
  for (const int rate : {22050, 44100}) {
    UseRate(rate);
    f.form->Bar("ScrollBar_Delay_Time").SetPosition(1);
    const double milliseconds = Read("ScrollBar_Delay_Time", 40, "ms");
    EXPECT_NEAR(milliseconds, 1000.0 * f.engine->echo.EchoDelay.load() / rate, 0.5);
  }
}

TEST_F(SliderReadouts, TheRateBoxShowsTheReadoutsAgain) {
  auto& delay = f.form->Bar("ScrollBar_Delay_Time");
  std::string shown = delay.ReadoutNow();
  delay.Observe([&](const ui::Control&) { shown = delay.ReadoutNow(); });
  f.form->Box("CheckBox_AWE_44_1").Click();
  EXPECT_EQ(shown, "5.9 ms");
}

TEST_F(SliderReadouts, CutOffsAreWhereTheStagesAreThreeDecibelsDown) {
  for (const int rate : {22050, 44100}) {
    UseRate(rate);
    f.form->Bar("ScrollBar_FVC1").SetPosition(1);
    const double highPass = Read("ScrollBar_FVC1", 25, "Hz");
    EXPECT_NEAR(
        PeakAnswer(highPass, rate,
                   [&](double x) {
                     return f.engine->filters.Fvc1Step(static_cast<std::int32_t>(std::lround(x * 1e4))) / 1e4;
                   }),
        std::sqrt(0.5), 0.02)
        << rate;
  }
  UseRate(22050);
  const double lowPass = Read("ScrollBar9", 60, "Hz");
  EXPECT_NEAR(PeakAnswer(lowPass, 22050,
                         [&](double x) {
                           auto sample = static_cast<float>(x);
                           f.engine->filters.LowPass2(&sample, 1);
                           return sample;
                         }),
              std::sqrt(0.5), 0.02);
  const double highPre = Read("ScrollBar_cutoff_hi_preEq", 20, "Hz");
  EXPECT_NEAR(PeakAnswer(highPre, 22050,
                         [&](double x) {
                           auto sample = static_cast<float>(x);
                           f.engine->filters.HiPreSectionA(&sample, 1);
                           f.engine->filters.HiPreSectionB(&sample, 1);
                           return sample;
                         }),
              std::sqrt(0.5), 0.02);
}

}  // namespace
}  // namespace fw
