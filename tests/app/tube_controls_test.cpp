#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace fw {
namespace {

TEST(TubeControls, HiddenSwitchSetsTheTubeFlag) {
  test::FormFixture f;
  auto& box = f.form->Box("CheckBox_tubetortion_OnOff");
  box.SetChecked(true);
  EXPECT_EQ(f.engine->params.TubeOn.load(), 1);
  box.SetChecked(false);
  EXPECT_EQ(f.engine->params.TubeOn.load(), 0);
}

}  // namespace
}  // namespace fw
