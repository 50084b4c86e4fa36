#include <gtest/gtest.h>

#include <cmath>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(ReverbPage, GainTwoIsPoint84ToThePowerOfThePosition) {
  test::FormFixture f;
  auto& bar = f.form->Bar("ScrollBar_Reverb_G_2");
  bar.SetPosition(1);
  EXPECT_FLOAT_EQ(f.engine->reverb.ReverbGain2.load(), 0.84f);
  bar.SetPosition(10);
  EXPECT_NEAR(f.engine->reverb.ReverbGain2.load(), std::pow(0.84, 10), 1e-6);  // about 0.175
  bar.SetPosition(0);
  EXPECT_EQ(f.engine->reverb.ReverbGain2.load(), 1.0f);
}

TEST(ReverbPage, RealtimeControlsSetTheChainsWords) {
  test::FormFixture f;
  TForm1& form = *f.form;
  form.Box("CheckBox_ReverbOnOff").Click();
  EXPECT_EQ(f.engine->params.ReverbOn.load(), 1);
  form.Box("CheckBox_ReverbOnOff").Click();
  EXPECT_EQ(f.engine->params.ReverbOn.load(), 0);
  form.Bar("ScrollBar_Rev_Del_2").SetPosition(100);
  EXPECT_EQ(f.engine->reverb.ReverbDelay2.load(), 2400);
  form.Bar("ScrollBar_Rever_Dec2").SetPosition(75);
  EXPECT_FLOAT_EQ(f.engine->reverb.ReverbAllPassGain.load(), 0.75f);
  form.Bar("ScrollBar_Rever_FNC_2").SetPosition(70);
  EXPECT_FLOAT_EQ(f.engine->reverb.ReverbBrightness.load(), 0.70f);
}

TEST(ReverbPage, NonRealtimeGroupOnlyStoresItsValues) {
  test::FormFixture f;
  TForm1& form = *f.form;
  form.Bar("ScrollBar_Reverb_D_1").SetPosition(10);
  form.Bar("ScrollBar_Reverb_G_1").SetPosition(2);
  form.Bar("ScrollBar_Reverb_DeC").SetPosition(50);
  form.Bar("ScrollBar_Rever_FNC").SetPosition(30);
  const Reverb& r = f.engine->reverb;
  EXPECT_EQ(r.ReverbDelay1.load(), 240);
  EXPECT_FLOAT_EQ(r.ReverbGain1.load(), 0.84f * 0.84f);
  EXPECT_FLOAT_EQ(r.ReverbDecay1.load(), 0.5f);
  EXPECT_FLOAT_EQ(r.ReverbBrightness1.load(), 0.3f);
  // The realtime reverb's words are untouched.
  EXPECT_EQ(f.engine->reverb.ReverbDelay2.load(), 0);
  EXPECT_FLOAT_EQ(f.engine->reverb.ReverbAllPassGain.load(), 0.26f);
  EXPECT_FLOAT_EQ(r.ReverbBrightness.load(), 0.01f);
}

TEST(ReverbPage, AirHasNoHandler) {
  test::FormFixture f;
  auto& air = f.form->Box("CheckBox_Air1");
  EXPECT_FALSE(air.OnClick);
  air.Click();
  EXPECT_TRUE(air.Checked());
}

}  // namespace
}  // namespace fw
