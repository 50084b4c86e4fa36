#include <gtest/gtest.h>

#include "app/presets/engine_links.h"
#include "app/presets/preset_commands.h"
#include "app/presets/preset_state.h"
#include "presets/preset_fixture.h"

namespace fw {
namespace {

struct KeyboardFixture : test::PresetFixture {
  KeyboardFixture() {
    WritePreset("solo1.pre", 61);
    WritePreset("hard.pre", 62);
  }
  void KeyAt(std::int64_t ms) {
    system.timeOfDayMs = ms;
    FormKeyDown(form);
  }
  int Volume() const { return form.Bar("ScrollBar_OutPut_Volume").Position(); }
};

TEST(KeyboardToggle, FirstKeyLoadsTheSoloPresetAndMarksDistortionTwo) {
  KeyboardFixture k;
  SetTubeFlag(k.form, 1);
  k.KeyAt(10'000);
  EXPECT_EQ(k.Volume(), 61);
  EXPECT_EQ(TubeFlag(k.form), 0);
  EXPECT_EQ(k.form.Btn("BitBtn_Solo").FontColor(), ui::Button::kRed);
  EXPECT_EQ(PresetsOf(k.form).toggleState, 1);
}

TEST(KeyboardToggle, KeysCloserThan250MsToggleOnce) {
  KeyboardFixture k;
  k.KeyAt(10'000);
  k.KeyAt(10'100);
  EXPECT_EQ(k.Volume(), 61);
  EXPECT_EQ(PresetsOf(k.form).toggleState, 1);
  // A held key: each repeat restarts the 250 ms.
  k.KeyAt(10'300);
  k.KeyAt(10'500);
  EXPECT_EQ(PresetsOf(k.form).toggleState, 1);
  k.KeyAt(10'750);
  EXPECT_EQ(PresetsOf(k.form).toggleState, 1);  // exactly 250 is not more than 250
}

TEST(KeyboardToggle, KeysFurtherApartToggleTwiceEndingOnTheHeavyPreset) {
  KeyboardFixture k;
  k.KeyAt(10'000);
  k.KeyAt(10'300);
  EXPECT_EQ(k.Volume(), 62);
  EXPECT_EQ(PresetsOf(k.form).currentFile, k.dir.WithSeparator() + "/hard.pre");
  EXPECT_EQ(k.form.Btn("BitBtn_HardRock").FontColor(), ui::Button::kRed);
  EXPECT_EQ(k.form.Btn("BitBtn_Solo").FontColor(), ui::Button::kBlack);
}

TEST(KeyboardToggle, KeyJustAfterMidnightDoesNotToggle) {
  KeyboardFixture k;
  k.KeyAt(86'399'900);
  ASSERT_EQ(PresetsOf(k.form).toggleState, 1);
  k.KeyAt(50);
  EXPECT_EQ(PresetsOf(k.form).toggleState, 1);
  EXPECT_EQ(PresetsOf(k.form).previousKeyTime, 50);
  k.KeyAt(400);
  EXPECT_EQ(PresetsOf(k.form).toggleState, 0);
}

TEST(KeyboardToggle, MissingFileShowsTheErrorAfterTheToggleFlippedAndKeepsTheKeyTime) {
  test::PresetFixture p;
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(33);
  p.system.timeOfDayMs = 5'000;
  FormKeyDown(p.form);
  ASSERT_EQ(p.f.dialogs.errors.size(), 1u);
  EXPECT_TRUE(p.f.dialogs.errors[0].starts_with("File not found\ncannot read "));
  EXPECT_EQ(PresetsOf(p.form).toggleState, 1);
  EXPECT_EQ(PresetsOf(p.form).previousKeyTime, 0);
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 33);
  EXPECT_EQ(p.form.Btn("BitBtn_Solo").FontColor(), ui::Button::kBlack);
}

}  // namespace
}  // namespace fw
