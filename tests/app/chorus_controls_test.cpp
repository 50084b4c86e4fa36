#include <gtest/gtest.h>

#include "audio/virtual/recording_output_library.h"
#include "support/engine_fixture.h"

namespace fw {
namespace {

struct ChorusCase {
  RecordingOutputLibrary output;
  test::FormFixture f{Platform{&output}};
};

TEST(ChorusControls, MaxChorusDelayPassesEveryPositionAndNothingElse) {
  ChorusCase c;
  EXPECT_TRUE(c.output.calls.empty());  // the initial positions call nothing
  auto& bar = c.f.form->Bar("ScrollBar_max_chorus_delay");
  bar.SetPosition(500);
  bar.SetPosition(5000);  // limited to 1000
  bar.SetPosition(1000);  // no change, no call
  ASSERT_EQ(c.output.calls.size(), 2u);
  EXPECT_EQ(c.output.calls[0].name, "setup_max_chorus_delay");
  EXPECT_EQ(c.output.calls[0].argument, 500);
  EXPECT_EQ(c.output.calls[1].argument, 1000);
}

TEST(ChorusControls, MonoStereoChoosesTheOutputChannels) {
  ChorusCase c;
  auto& group = c.f.form->Group("RadioGroup_OUT_MONO_");
  group.SetItemIndex(1);
  group.SetItemIndex(0);
  ASSERT_EQ(c.output.calls.size(), 2u);
  EXPECT_EQ(c.output.calls[0].name, "setup_stereo");
  EXPECT_EQ(c.output.calls[0].argument, 2);
  EXPECT_EQ(c.output.calls[1].argument, 1);
}

TEST(ChorusControls, WithoutAnOutputLibraryTheControlsStillMove) {
  test::FormFixture f;
  f.form->Bar("ScrollBar_max_chorus_delay").SetPosition(700);
  f.form->Group("RadioGroup_OUT_MONO_").SetItemIndex(1);
  EXPECT_EQ(f.form->Bar("ScrollBar_max_chorus_delay").Position(), 700);
  EXPECT_EQ(f.form->Group("RadioGroup_OUT_MONO_").ItemIndex(), 1);
}

}  // namespace
}  // namespace fw
