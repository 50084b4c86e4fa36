#include <gtest/gtest.h>

#include <string>

#include "support/engine_fixture.h"

namespace fw {
namespace {

std::string Slider(const char* which, int band) {
  return std::string("ScrollBar_") + which + "EQ" + std::to_string(band);
}

TEST(EqualiserPage, InitialPositionsFireNothingAndTheBoxesSetTheirWords) {
  test::FormFixture f;
  // The start-up design's neutral gains stay.
  EXPECT_EQ(f.engine->eq.pre.BandGain[1].load(), 10.0f);
  EXPECT_EQ(f.engine->params.PostEqOn.load(), 1);  // the engine default, until a preset sets the box
  f.form->Box("CheckBox_post_EQ").Click();
  f.form->Box("CheckBox_post_EQ").Click();
  EXPECT_EQ(f.engine->params.PostEqOn.load(), 0);
  f.form->Box("CheckBox_pre_EQ").Click();
  EXPECT_EQ(f.engine->params.PreEqOn.load(), 1);
}

TEST(EqualiserPage, SlidersFollowTheLawWithTheTopLoudest) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_postEQ7").SetPosition(1);
  EXPECT_FLOAT_EQ(f.engine->eq.post.BandGain[7].load(), 110.0f);
  f.form->Bar("ScrollBar_postEQ7").SetPosition(100);
  EXPECT_FLOAT_EQ(f.engine->eq.post.BandGain[7].load(), 10.0f / 10.8f);
  f.form->Bar("ScrollBar_preEQ0").SetPosition(1);
  EXPECT_FLOAT_EQ(f.engine->eq.pre.EqOutputGain.load(), 1.1f);
  EXPECT_EQ(f.engine->eq.post.EqOutputGain.load(), 0.1f);  // the two equalisers are separate
  EXPECT_EQ(f.engine->eq.pre.BandGain[0].load(), 10.0f);
}

// Reset sets the sliders to 50 (v = 51, m = 1.2): moved sliders get 12.0 and the
// gain 0.12; sliders already at 50 do not fire and keep the neutral gain.
TEST(EqualiserPage, ResetFiresOnlyTheSlidersThatMove) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_preEQ0").SetPosition(20);
  f.form->Bar("ScrollBar_preEQ3").SetPosition(80);
  f.engine->eq.DesignPreEqualiser(22050);  // neutral gains again, sliders stay where they are
  f.form->Btn("Button_preEQreset").Click();
  for (int band = 0; band < 9; ++band) EXPECT_EQ(f.form->Bar(Slider("pre", band)).Position(), 50);
  EXPECT_FLOAT_EQ(f.engine->eq.pre.EqOutputGain.load(), 0.12f);
  EXPECT_FLOAT_EQ(f.engine->eq.pre.BandGain[3].load(), 12.0f);
  for (int band : {0, 1, 2, 4, 5, 6, 7, 8}) EXPECT_EQ(f.engine->eq.pre.BandGain[band].load(), 10.0f) << band;
  EXPECT_EQ(f.engine->eq.post.BandGain[3].load(), 10.0f);
}

TEST(EqualiserPage, PostResetAfterEverySliderMoved) {
  test::FormFixture f;
  for (int band = 0; band < 9; ++band) f.form->Bar(Slider("post", band)).SetPosition(10 + band);
  f.form->Btn("Button_postEQreset").Click();
  EXPECT_FLOAT_EQ(f.engine->eq.post.EqOutputGain.load(), 0.12f);
  EXPECT_EQ(f.engine->eq.post.BandGain[0].load(), 10.0f);
  for (int band = 1; band < 9; ++band) EXPECT_FLOAT_EQ(f.engine->eq.post.BandGain[band].load(), 12.0f);
}

}  // namespace
}  // namespace fw
