#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(FlangerPage, ControlsStartWithTheWindowsPositionsAndCaptions) {
  test::FormFixture f;
  TForm1& form = *f.form;
  EXPECT_EQ(form.Box("CheckBox_Flanger").Caption(), "Off/On");
  EXPECT_TRUE(form.Box("CheckBox_Flanger").Checked());
  EXPECT_EQ(form.Box("CheckBox_Flanger").Page(), "Flanger");
  struct Bar {
    const char* name;
    int max, position;
    const char* label;
    const char* caption;
  };
  for (const Bar& b : {Bar{"ScrollBar_Flanger_Gain", 100, 25, "Label_Flanger_Gain", "Flanger Gain"},
                       Bar{"ScrollBar_Flanger_Speed", 100, 10, "Label_Flanger_Speed", "Flanger Speed"},
                       Bar{"ScrollBar_Flanger_Tone", 48, 25, "Label_Flanger_Tone", "Flanger Tone"}}) {
    const auto& bar = form.Bar(b.name);
    EXPECT_EQ(bar.Min(), 1) << b.name;
    EXPECT_EQ(bar.Max(), b.max) << b.name;
    EXPECT_EQ(bar.Position(), b.position) << b.name;
    EXPECT_EQ(bar.Page(), "Flanger") << b.name;
    EXPECT_EQ(form.Get<ui::Label>(b.label).Caption(), b.caption);
  }
}

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
