#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

struct DistortionControls : ::testing::Test {
  test::FormFixture f;
  Distortions& d() { return f.engine->distortion; }
  ui::RadioGroup& Shredder() { return f.form->Group("RadioGroup_HDistort"); }
  ui::RadioGroup& Main() { return f.form->Group("RadioGroup_Dist_Of12"); }
};

// Main page, from the window's initial positions: ShaperTypeSync puts the
// smoothing slider at round(0.2 / k), limited to 40, and its handler replaces k
// with 0.2 / position.
TEST(DistortionTypeSelection, TypeFromTheMainPageEndsWithTheSlidersMapping) {
  struct Case {
    int type;
    float smooth;
    int smoothPosition;
  };
  for (const Case c : {Case{2, 0.005f, 40}, Case{3, 0.005f, 40}, Case{1, 0.1f, 2}}) {
    test::FormFixture f;
    const Distortions& d = f.engine->distortion;
    f.form->Group("RadioGroup_Dist_Of12").SetItemIndex(c.type);
    EXPECT_EQ(f.form->Group("RadioGroup_HDistort").ItemIndex(), c.type);
    EXPECT_EQ(f.engine->params.DistortionType.load(), c.type);
    EXPECT_EQ(d.ShaperSmooth.load(), c.smooth) << "type " << c.type;
    EXPECT_EQ(f.form->Bar("ScrollBar_D_SMOOT").Position(), c.smoothPosition);
    const ShaperTypeSet& set = kShaperTypeSets[static_cast<std::size_t>(c.type - 1)];
    EXPECT_EQ(d.ShaperKneeIn.load(), set.kneeIn);
    EXPECT_EQ(d.ShaperKneeOut.load(), set.kneeOut);
    EXPECT_EQ(d.ShaperLevel.load(), set.level);
    EXPECT_EQ(f.form->Bar("ScrollBar_D_Gain").Position(), set.kneeIn);
    EXPECT_EQ(f.form->Bar("ScrollBar_D_Gain_X1").Position(), set.kneeOut);
  }
}

// " SHREDDER  Pro  " loads its set again after the mirrored main-page handler ran.
TEST_F(DistortionControls, TypeFromTheShredderPageKeepsTheSetsSmoothing) {
  for (const auto& [type, smooth] : {std::pair{2, 0.0005f}, std::pair{3, 0.0028f}, std::pair{1, 0.1f}}) {
    Shredder().SetItemIndex(type);
    EXPECT_EQ(Main().ItemIndex(), type);
    EXPECT_EQ(d().ShaperSmooth.load(), smooth) << "type " << type;
  }
  EXPECT_EQ(f.engine->params.DistortionType.load(), 1);
}

// The slider already at 40: its handler does not run and the set's own value stays.
TEST_F(DistortionControls, SmoothingSliderAlreadyAtItsLimitLeavesTheSetsValue) {
  f.form->Bar("ScrollBar_D_SMOOT").SetPosition(40);
  Main().SetItemIndex(2);
  EXPECT_EQ(d().ShaperSmooth.load(), 0.0005f);
  Main().SetItemIndex(3);
  EXPECT_EQ(d().ShaperSmooth.load(), 0.0028f);
}

TEST_F(DistortionControls, OffStopsTheShaperAndKeepsTheKnee) {
  Main().SetItemIndex(3);
  Shredder().SetItemIndex(0);
  EXPECT_EQ(Main().ItemIndex(), 0);
  EXPECT_EQ(f.engine->params.DistortionType.load(), 0);
  EXPECT_EQ(d().ShaperKneeIn.load(), 400);
  EXPECT_EQ(d().ShaperKneeOut.load(), 29800);
}

TEST_F(DistortionControls, SoftSwitchesMirrorEachOther) {
  auto& visible = f.form->Box("CheckBox_SoftDOnOff");
  auto& hidden = f.form->Box("CheckBox_Distortion_OnOff");
  EXPECT_FALSE(hidden.Visible());
  visible.Click();
  EXPECT_TRUE(hidden.Checked());
  EXPECT_EQ(f.engine->params.SoftDistortionOn.load(), 1.0f);
  hidden.Click();
  EXPECT_FALSE(visible.Checked());
  EXPECT_EQ(f.engine->params.SoftDistortionOn.load(), 0.0f);
}

TEST_F(DistortionControls, SliderMappingsAtTheirEnds) {
  auto& form = *f.form;
  d().SoftEnvelope.store(900.0f);
  form.Bar("ScrollBar7").SetPosition(50);
  EXPECT_EQ(d().SoftDivisor.load(), 1);
  EXPECT_EQ(d().SoftEnvelope.load(), 0.001f);
  form.Bar("ScrollBar8").SetPosition(1);
  EXPECT_EQ(d().SoftSharpness.load(), 5.0e8f);
  form.Bar("ScrollBar_CShift").SetPosition(0);
  EXPECT_EQ(d().SoftExponent.load(), 2.0f);
  form.Bar("ScrollBar_CShift").SetPosition(100);
  EXPECT_EQ(d().SoftExponent.load(), 1.0f);
  form.Bar("ScrollBar_D_SMOOT").SetPosition(8);
  EXPECT_EQ(d().ShaperSmooth.load(), 0.025f);
  form.Bar("ScrollBar_nd_Ampl").SetPosition(10);
  EXPECT_EQ(f.engine->lowBoost.LowBoostMix.load(), 2000.0f);
}

// Creating the controls at their initial positions runs no handler.
TEST_F(DistortionControls, CreatingTheControlsRunsNoHandler) {
  EXPECT_EQ(d().ShaperKneeIn.load(), 1000);
  EXPECT_EQ(f.engine->lowBoost.LowBoostMix.load(), 4000.0f);
}

}  // namespace
}  // namespace fw
