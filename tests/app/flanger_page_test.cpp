#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(FlangerPage, CheckingResetsTheFlangerWithoutMovingTheBars) {
  test::FormFixture f;
  TForm1& form = *f.form;
  Flanger& flanger = f.engine->flanger;
  form.Bar("ScrollBar_Flanger_Gain").SetPosition(100);
  form.Bar("ScrollBar_Flanger_Tone").SetPosition(48);
  form.Box("CheckBox_Flanger").Click();
  EXPECT_EQ(f.engine->params.FlangerOn.load(), 0);
  EXPECT_EQ(flanger.FlangerGain.load(), 2.0f);  // unchecking resets nothing

  form.Box("CheckBox_Flanger").Click();
  EXPECT_EQ(f.engine->params.FlangerOn.load(), 1);
  EXPECT_EQ(flanger.FlangerGain.load(), 0.5f);
  EXPECT_EQ(flanger.FlangerFeedback.load(), 0.5f);
  EXPECT_EQ(flanger.writePosition.load(), 301);
  EXPECT_EQ(flanger.readPosition.load(), 0.0f);
  EXPECT_EQ(flanger.sweepSpeed.load(), 0.0075f);
  EXPECT_EQ(form.Bar("ScrollBar_Flanger_Gain").Position(), 100);
  EXPECT_EQ(form.Bar("ScrollBar_Flanger_Tone").Position(), 48);
}

TEST(FlangerPage, BarsMapThroughTheirFormulas) {
  test::FormFixture f;
  TForm1& form = *f.form;
  Flanger& flanger = f.engine->flanger;
  form.Bar("ScrollBar_Flanger_Gain").SetPosition(50);
  EXPECT_EQ(flanger.FlangerGain.load(), 1.0f);
  form.Bar("ScrollBar_Flanger_Tone").SetPosition(48);
  EXPECT_FLOAT_EQ(flanger.FlangerFeedback.load(), 0.96f);
  form.Bar("ScrollBar_Flanger_Tone").SetPosition(1);
  EXPECT_FLOAT_EQ(flanger.FlangerFeedback.load(), 0.02f);
  flanger.sweepSpeed.store(-0.0075f);  // sweeping down
  form.Bar("ScrollBar_Flanger_Speed").SetPosition(30);
  EXPECT_FLOAT_EQ(flanger.sweepSpeed.load(), 0.03f);  // positive whatever the direction
}

}  // namespace
}  // namespace fw
