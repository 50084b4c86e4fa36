#include <gtest/gtest.h>

#include <cmath>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(ReverbPage, ControlsStartWithTheWindowsPositionsAndCaptions) {
  test::FormFixture f;
  TForm1& form = *f.form;
  struct Bar {
    const char* name;
    int min, max, position;
    const char* label;
    const char* caption;
  };
  for (const Bar& b : {Bar{"ScrollBar_Rev_Del_2", 1, 100, 1, "Label_Rev_Del_2", "Reverb Delay 2"},
                       Bar{"ScrollBar_Reverb_G_2", 0, 100, 0, "Label_Reverb_G_2", "Reverb Gain 2"},
                       Bar{"ScrollBar_Rever_Dec2", 5, 99, 25, "Label_Rever_Dec2", "Reverb Decay 2"},
                       Bar{"ScrollBar_Rever_FNC_2", 1, 100, 1, "Label_Rever_FNC_2", "Brightness"},
                       Bar{"ScrollBar_Reverb_D_1", 1, 100, 1, "Label_Reverb_D_1", "Reverb Delay 1"},
                       Bar{"ScrollBar_Reverb_G_1", 0, 50, 0, "Label_Reverb_G_1", "Reverb Gain 1"},
                       Bar{"ScrollBar_Reverb_DeC", 5, 99, 26, "Label_Reverb_DeC", "Reverb Decay 1"},
                       Bar{"ScrollBar_Rever_FNC", 1, 100, 1, "Label_Rever_FNC", "Brightness"}}) {
    const auto& bar = form.Bar(b.name);
    EXPECT_EQ(bar.Min(), b.min) << b.name;
    EXPECT_EQ(bar.Max(), b.max) << b.name;
    EXPECT_EQ(bar.Position(), b.position) << b.name;
    EXPECT_EQ(bar.Page(), "Reverb") << b.name;
    EXPECT_EQ(form.Get<ui::Label>(b.label).Caption(), b.caption);
  }
  EXPECT_EQ(form.Box("CheckBox_ReverbOnOff").Caption(), "On/Off");
  EXPECT_FALSE(form.Box("CheckBox_ReverbOnOff").Checked());
  EXPECT_EQ(form.Get<ui::Label>("Label_RealtimeReverb").Caption(), "Realtime Reverb");
  EXPECT_EQ(form.Get<ui::Label>("Label_NonRealtimeReverb").Caption(), "Non realtime reverb");
  EXPECT_EQ(form.Box("CheckBox_Air1").Caption(), "Air");
}

TEST(ReverbPage, GainTwoIsPoint84ToThePowerOfThePosition) {
  test::FormFixture f;
  auto& bar = f.form->Bar("ScrollBar_Reverb_G_2");
  bar.SetPosition(1);
  EXPECT_FLOAT_EQ(f.engine->params.ReverbGain2.load(), 0.84f);
  bar.SetPosition(10);
  EXPECT_NEAR(f.engine->params.ReverbGain2.load(), std::pow(0.84, 10), 1e-6);  // about 0.175
  bar.SetPosition(0);
  EXPECT_EQ(f.engine->params.ReverbGain2.load(), 1.0f);
}

TEST(ReverbPage, RealtimeControlsSetTheChainsWords) {
  test::FormFixture f;
  TForm1& form = *f.form;
  form.Box("CheckBox_ReverbOnOff").Click();
  EXPECT_EQ(f.engine->params.ReverbOn.load(), 1);
  form.Box("CheckBox_ReverbOnOff").Click();
  EXPECT_EQ(f.engine->params.ReverbOn.load(), 0);
  form.Bar("ScrollBar_Rev_Del_2").SetPosition(100);
  EXPECT_EQ(f.engine->params.ReverbDelay2.load(), 2400);
  form.Bar("ScrollBar_Rever_Dec2").SetPosition(75);
  EXPECT_FLOAT_EQ(f.engine->params.ReverbAllPassGain.load(), 0.75f);
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
  EXPECT_EQ(f.engine->params.ReverbDelay2.load(), 0);
  EXPECT_FLOAT_EQ(f.engine->params.ReverbAllPassGain.load(), 0.26f);
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
