#include <gtest/gtest.h>

#include <cmath>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(DelayPage, StartUpPositionsGive6500Samples0Point6AndTheFiveTaps) {
  test::FormFixture f;
  TForm1& form = *f.form;
  f.engine->echo.ResetSweep();
  SetEchoStartValues(f.engine->echo);
  form.Bar("ScrollBar_Delay_Time").SetPosition(25);
  form.Bar("ScrollBar_Delay_Decay").SetPosition(40);
  form.Bar("ScrollBar_Delay_Gain").SetPosition(60);
  form.Bar("ScrollBar_Delay_I_Gain").SetPosition(45);

  const Echo& echo = f.engine->echo;
  EXPECT_EQ(f.engine->echo.EchoDelay.load(), 6500);
  EXPECT_FLOAT_EQ(echo.EchoGain.load(), 0.6f);
  EXPECT_FLOAT_EQ(echo.EchoDecay.load(), 0.4f);
  EXPECT_FLOAT_EQ(echo.EchoLevel.load(), 0.45f);
  const double referenceTaps[] = {0.45, 0.18, 0.072, 0.0288, 0.01152};
  for (int k = 0; k < Echo::kTapCount; ++k) {
    EXPECT_NEAR(echo.taps[k].load(), referenceTaps[k], referenceTaps[k] * 1e-6) << "tap " << k;
  }
}

TEST(DelayPage, DecayOneWithEchoGain100LeavesOnlyTheFirstEchoAudible) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_Delay_Decay").SetPosition(1);
  f.form->Bar("ScrollBar_Delay_I_Gain").SetPosition(100);
  const Echo& echo = f.engine->echo;
  for (int k = 0; k < Echo::kTapCount; ++k) {
    EXPECT_NEAR(echo.taps[k].load(), std::pow(0.01, k), std::pow(0.01, k) * 1e-6) << "tap " << k;
  }
}

TEST(DelayPage, EachTapControlReadsBothPositions) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_Delay_I_Gain").SetPosition(50);  // decay still at 5
  EXPECT_NEAR(f.engine->echo.taps[1].load(), 0.5 * 0.05, 1e-8);
  f.form->Bar("ScrollBar_Delay_Decay").SetPosition(20);  // level still at 50
  EXPECT_NEAR(f.engine->echo.taps[1].load(), 0.5 * 0.2, 1e-8);
  EXPECT_FLOAT_EQ(f.engine->echo.EchoLevel.load(), 0.5f);
}

TEST(DelayPage, SwitchesSetTheirWords) {
  test::FormFixture f;
  f.form->Box("CheckBox_DelayOn_Off").Click();
  EXPECT_EQ(f.engine->params.EchoOn.load(), 1);
  f.form->Box("CheckBox_DelayOn_Off").Click();
  EXPECT_EQ(f.engine->params.EchoOn.load(), 0);
  f.form->Box("CheckBox1").Click();
  EXPECT_EQ(f.engine->echo.EchoSweepOn.load(), 1);
  f.form->Box("CheckBox1").Click();
  EXPECT_EQ(f.engine->echo.EchoSweepOn.load(), 0);
}

TEST(DelayPage, TimeAndGainMapThroughTheirFormulas) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_Delay_Time").SetPosition(100);
  EXPECT_EQ(f.engine->echo.EchoDelay.load(), 26000);
  f.form->Bar("ScrollBar_Delay_Time").SetPosition(10);
  EXPECT_EQ(f.engine->echo.EchoDelay.load(), 2600);
  f.form->Bar("ScrollBar_Delay_Gain").SetPosition(50);
  EXPECT_EQ(f.engine->echo.EchoGain.load(), 0.5f);
  f.form->Bar("ScrollBar_Delay_Decay").SetPosition(1000);  // limited to 99
  EXPECT_EQ(f.form->Bar("ScrollBar_Delay_Decay").Position(), 99);
  EXPECT_FLOAT_EQ(f.engine->echo.EchoDecay.load(), 0.99f);
}

}  // namespace
}  // namespace fw
