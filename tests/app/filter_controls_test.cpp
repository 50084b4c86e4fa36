#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

struct FilterControls : ::testing::Test {
  test::FormFixture f;
  ToneFilters& filters() { return f.engine->filters; }
  ui::ScrollBar& Bar(const char* name) { return f.form->Bar(name); }
};

void ExpectDesign(const HighPassSection& section, double cutoff, double damping) {
  const HighPassDesign expected =
      DesignHighPass(cutoff, static_cast<double>(static_cast<float>(damping)), 22050.0);
  EXPECT_EQ(section.Coefficients().a0, expected.a0) << cutoff;
  EXPECT_EQ(section.Coefficients().a1, expected.a1) << cutoff;
  EXPECT_EQ(section.Coefficients().a2, expected.a2) << cutoff;
}

TEST_F(FilterControls, Fvc1PairMirrorsBothWaysAndRedesigns) {
  Bar("ScrollBar_FVC1").SetPosition(3);
  EXPECT_EQ(Bar("ScrollBar_Color_Of_Dist").Position(), 3);
  EXPECT_EQ(filters().Fvc1Cutoff.load(), 150.0f);
  ExpectDesign(filters().fvc1, 150.0, 1.41);

  filters().Fvc1Damping.store(0.5f);
  Bar("ScrollBar_Color_Of_Dist").SetPosition(40);
  EXPECT_EQ(Bar("ScrollBar_FVC1").Position(), 40);
  EXPECT_EQ(filters().Fvc1Damping.load(), 1.41f);
  ExpectDesign(filters().fvc1, 2000.0, 1.41);
}

TEST_F(FilterControls, Fvc2PairsMirrorOnlyFromTheMainPage) {
  Bar("ScrollBar_FVC2").SetPosition(20);
  EXPECT_EQ(Bar("ScrollBar_HiFreqAmpFreq").Position(), 5);
  ExpectDesign(filters().fvc2, 1000.0, 1.41);
  Bar("ScrollBar_HiFreqAmpFreq").SetPosition(60);
  EXPECT_EQ(Bar("ScrollBar_FVC2").Position(), 60);
  ExpectDesign(filters().fvc2, 3000.0, 1.41);

  Bar("ScrollBar_Koeff_FVC2").SetPosition(0);
  EXPECT_EQ(Bar("ScrollBar_HiFreqGain").Position(), 10);
  EXPECT_EQ(filters().Fvc2Mix.load(), 0.0f);
  Bar("ScrollBar_HiFreqGain").SetPosition(25);
  EXPECT_EQ(Bar("ScrollBar_Koeff_FVC2").Position(), 25);
  EXPECT_EQ(filters().Fvc2Mix.load(), 2.5f);
}

TEST_F(FilterControls, Fvc3CutoffGainAndResonance) {
  Bar("ScrollBar_FVC3").SetPosition(4);
  ExpectDesign(filters().fvc3, 200.0, 1.41);
  Bar("ScrollBar_Trash_nd_Delay").SetPosition(10);
  EXPECT_EQ(filters().Fvc3Damping.load(), 0.141f);
  ExpectDesign(filters().fvc3, 200.0, 0.141);
  Bar("ScrollBar_Gain_FVC3").SetPosition(50);
  EXPECT_EQ(filters().Fvc3Gain.load(), 50.0f);
}

TEST_F(FilterControls, FixedHighPassGainStartsAtZeroAndLowPassReachesTenOver109) {
  EXPECT_EQ(filters().HiPassGain.load(), 0.0f);
  Bar("ScrollBar1").SetPosition(3);
  EXPECT_EQ(filters().HiPassGain.load(), 3.0f);
  Bar("ScrollBar_cutoff_hi_preEq").SetPosition(1);  // limited to 5
  EXPECT_EQ(filters().HiPreCoefficient.load(), 0.2f);
  Bar("ScrollBar9").SetPosition(1);
  EXPECT_EQ(filters().LowPass2Coefficient.load(), 1.0f);
  Bar("ScrollBar9").SetPosition(100);
  EXPECT_EQ(filters().LowPass2Coefficient.load(), static_cast<float>(10.0 / 109.0));
}

TEST_F(FilterControls, AlwaysOnBoxesAreCheckedAndDisabled) {
  for (const char* name : {"CheckBox2", "CheckBox_FVC2"}) {
    EXPECT_TRUE(f.form->Box(name).Checked()) << name;
    EXPECT_FALSE(f.form->Box(name).Enabled()) << name;
  }
}

}  // namespace
}  // namespace fw
