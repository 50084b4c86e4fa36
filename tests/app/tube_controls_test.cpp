#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(TubeControls, HiddenSwitchSetsTheTubeFlag) {
  test::FormFixture f;
  auto& box = f.form->Box("CheckBox_tubetortion_OnOff");
  EXPECT_FALSE(box.Visible());
  EXPECT_EQ(box.Caption(), "On/Off");
  EXPECT_EQ(box.Page(), "Distortion Presets");
  EXPECT_FALSE(box.Checked());
  box.SetChecked(true);
  EXPECT_EQ(f.engine->params.TubeOn.load(), 1);
  box.SetChecked(false);
  EXPECT_EQ(f.engine->params.TubeOn.load(), 0);
}

}  // namespace
}  // namespace fw
