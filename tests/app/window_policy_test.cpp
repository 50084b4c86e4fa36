// When the main window's activation runs, which windows stop the audio, and what
// closing the window does, without a display.
#include "app/window_policy.h"

#include <gtest/gtest.h>

#include "app/startup_state.h"
#include "presets/preset_fixture.h"

namespace fw {
namespace {

struct PolicyFixture : test::PresetFixture {
  WindowPolicy policy{form};
  int Activations() { return StartupOf(form).activations; }
  // The run flag stands for the audio: FormDeactivate clears it.
  bool Playing() { return form.io.realtime.runFlag.load() != 0; }
};

TEST(WindowPolicy, ActivationRunsFirstAndAfterAnotherWindowOfTheProgramOnly) {
  PolicyFixture p;
  p.policy.ShownWithoutActivation();
  EXPECT_EQ(p.Activations(), 1);
  p.policy.Activated();
  p.policy.ShownWithoutActivation();
  EXPECT_EQ(p.Activations(), 1);
  for (FocusTaker taker :
       {FocusTaker::OtherApplication, FocusTaker::SystemDialog, FocusTaker::OwnMessageBox}) {
    p.form.io.realtime.runFlag.store(1);
    p.policy.Deactivated(taker);
    EXPECT_TRUE(p.Playing()) << static_cast<int>(taker);
    p.policy.Activated();
    EXPECT_EQ(p.Activations(), 1) << static_cast<int>(taker);
  }
  p.policy.Deactivated(FocusTaker::OwnWindow);
  EXPECT_FALSE(p.Playing());
  p.policy.Activated();
  EXPECT_EQ(p.Activations(), 2);
  p.policy.Activated();
  EXPECT_EQ(p.Activations(), 2);
}

}  // namespace
}  // namespace fw
