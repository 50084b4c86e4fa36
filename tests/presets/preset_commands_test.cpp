#include "app/presets/preset_commands.h"

#include <gtest/gtest.h>

#include "app/presets/engine_links.h"
#include "app/presets/preset_operations.h"
#include "app/presets/preset_state.h"
#include "presets/preset_fixture.h"

namespace fw {
namespace {

using test::PresetFixture;

constexpr const char* kPresetButtons[] = {"BitBtn_HardRock", "BitBtn_Solo", "BitBtn_Clear",
                                          "BitBtn_AllEffects"};

void ExpectOnlyRed(const TForm1& form, std::string_view red) {
  for (const char* name : kPresetButtons) {
    EXPECT_EQ(form.Btn(name).FontColor(), name == red ? ui::Button::kRed : ui::Button::kBlack) << name;
  }
}

TEST(PresetButtons, CleanAfterDistortionTwoTurnsTheTubeOffAndMarksClean) {
  PresetFixture p;
  p.WritePreset("clear.pre", 20);
  p.form.Btn("BitBtn_Solo").Click();
  EXPECT_EQ(TubeFlag(p.form), 1);
  EXPECT_EQ(TubeVoicing(p.form), 2);
  ExpectOnlyRed(p.form, "BitBtn_Solo");
  p.form.Btn("BitBtn_Clear").Click();
  EXPECT_EQ(TubeFlag(p.form), 0);
  ExpectOnlyRed(p.form, "BitBtn_Clear");
  EXPECT_TRUE(p.f.dialogs.errors.empty());
}

TEST(PresetButtons, DistortionTwoEndsAtVolume50WhateverTheCleanPresetHolds) {
  PresetFixture p;
  p.WritePreset("clear.pre", 80);
  p.form.Box("CheckBox_TypeOfTrash").SetChecked(true);
  p.form.Btn("BitBtn_Solo").Click();
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 50);
  EXPECT_FALSE(p.form.Box("CheckBox_TypeOfTrash").Checked());
}

TEST(PresetButtons, DistortionOneWithItsFileMissingStopsAfterCheckingOrdinary) {
  PresetFixture p;
  p.WritePreset("clear.pre", 20);
  p.form.Btn("BitBtn_Clear").Click();
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(66);
  p.form.Btn("BitBtn_HardRock").Click();
  ASSERT_EQ(p.f.dialogs.errors.size(), 1u);
  EXPECT_TRUE(p.f.dialogs.errors[0].starts_with("File not found\ncannot read "));
  EXPECT_TRUE(p.f.dialogs.errors[0].ends_with("/dist1.pre: No such file or directory"));
  EXPECT_TRUE(p.form.Box("CheckBox_TypeOfTrash").Checked());
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 66);
  ExpectOnlyRed(p.form, "BitBtn_Clear");
}

TEST(PresetButtons, DistortionTwoWithoutTheCleanPresetKeepsTheTubeOff) {
  PresetFixture p;
  SetTubeFlag(p.form, 1);
  p.form.Btn("BitBtn_Solo").Click();
  ASSERT_EQ(p.f.dialogs.errors.size(), 1u);
  EXPECT_EQ(p.f.dialogs.errors[0].substr(0, 15), "File not found\n");
  EXPECT_EQ(TubeFlag(p.form), 0);
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 20);
}

TEST(PresetButtons, SaveAsDefaultThenDefaultRestoresEveryStoredControl) {
  PresetFixture p;
  p.form.Bar("ScrollBar_Reverb_D_1").SetPosition(77);
  p.form.Box("CheckBox_ReverbOnOff").SetChecked(true);
  p.form.Group("RadioGroup_elipsF").SetItemIndex(2);
  std::vector<int> saved;
  for (const auto& stored : kStoredControls) saved.push_back(StoredControlValue(p.form, stored));
  p.form.Btn("BitBtn5").Click();
  EXPECT_EQ(PresetsOf(p.form).currentFile, p.dir.WithSeparator() + "/all.pre");
  ASSERT_EQ(test::ReadBytes(p.File("all.pre")).size(), 416u);
  p.form.Bar("ScrollBar_Reverb_D_1").SetPosition(3);
  p.form.Box("CheckBox_ReverbOnOff").SetChecked(false);
  p.form.Group("RadioGroup_elipsF").SetItemIndex(0);
  p.form.Btn("BitBtn_AllEffects").Click();
  for (std::size_t i = 0; i < kStoredControls.size(); ++i) {
    EXPECT_EQ(StoredControlValue(p.form, kStoredControls[i]), saved[i]) << kStoredControls[i].name;
  }
  ExpectOnlyRed(p.form, "BitBtn_AllEffects");
}

TEST(PresetButtons, SaveAsButtonsWriteTheirFixedFiles) {
  PresetFixture p;
  p.WritePreset("dist1.pre", 1);
  p.form.Btn("BitBtn_BGuitarS").Click();
  p.form.Btn("BitBtn_WebU").Click();
  EXPECT_EQ(test::ReadBytes(p.File("dist1.pre"))[284], 20);  // overwritten without asking
  EXPECT_EQ(test::ReadBytes(p.File("clear.pre")).size(), 416u);
  EXPECT_TRUE(p.f.dialogs.fileRequests.empty());
}

TEST(PresetButtons, PersonalPresetButtonsUseTheDialogs) {
  PresetFixture p;
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(45);
  p.f.dialogs.fileAnswers.push_back(p.File("mine.pre").string());
  p.form.Btn("BitBtn_SavePreset").Click();
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(5);
  p.f.dialogs.fileAnswers.push_back(p.File("mine.pre").string());
  p.form.Btn("BitBtn_LoadPreset").Click();
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 45);
  EXPECT_EQ(p.f.dialogs.fileRequests.size(), 2u);
}

}  // namespace
}  // namespace fw
