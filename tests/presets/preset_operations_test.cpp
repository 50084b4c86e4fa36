#include "app/presets/preset_operations.h"

#include <gtest/gtest.h>

#include "app/presets/engine_links.h"
#include "app/presets/preset_state.h"
#include "files/io_error.h"
#include "presets/preset_fixture.h"

namespace fw {
namespace {

using test::PresetFixture;

// A value in range that differs from the initial position.
int OtherValue(const StoredControl& stored) { return stored.initial == stored.max ? stored.min : stored.max; }

void SetStored(TForm1& form, const StoredControl& stored, int value) {
  switch (stored.kind) {
    case StoredKind::ScrollBar:
      form.Bar(stored.name).SetPosition(value);
      break;
    case StoredKind::RadioGroup:
      form.Group(stored.name).SetItemIndex(value);
      break;
    case StoredKind::CheckBox:
      form.Box(stored.name).SetChecked(value != 0);
      break;
  }
}

// Counts every handler a stored control fires from now on.
int* CountHandlers(TForm1& form) {
  static int fired;
  fired = 0;
  for (const auto& stored : kStoredControls) {
    ui::Control* control = form.Find(stored.name);
    auto wrap = [](ui::Handler& handler) {
      handler = [inner = handler] {
        ++fired;
        if (inner) inner();
      };
    };
    if (auto* bar = dynamic_cast<ui::ScrollBar*>(control)) wrap(bar->OnChange);
    if (auto* group = dynamic_cast<ui::RadioGroup*>(control)) wrap(group->OnClick);
    if (auto* box = dynamic_cast<ui::CheckBox*>(control)) wrap(box->OnClick);
  }
  return &fired;
}

TEST(PresetSaveLoad, RoundTripRestoresEveryStoredControlAndBothTubeWords) {
  PresetFixture saved;
  std::map<std::string_view, int> expected;
  for (const auto& stored : kStoredControls) SetStored(saved.form, stored, OtherValue(stored));
  // Handlers may move partners: what the record must hold is the final state.
  for (const auto& stored : kStoredControls) expected[stored.name] = StoredControlValue(saved.form, stored);
  SetTubeFlag(saved.form, 1);
  SetTubeVoicing(saved.form, 5);  // an unknown voicing leaves the flag alone
  const auto path = saved.File("mine.pre");
  saved.f.dialogs.fileAnswers.push_back(path.string());
  SavePreset(saved.form, true);
  ASSERT_EQ(test::ReadBytes(path).size(), 416u);
  EXPECT_EQ(saved.f.dialogs.fileRequests.back().title, "Save Effects Preset");
  EXPECT_EQ(saved.f.dialogs.fileRequests.back().filter, "Fretwerk Preset|*.pre");
  EXPECT_EQ(saved.f.dialogs.fileRequests.back().defaultExt, "pre");
  EXPECT_EQ(saved.f.dialogs.fileRequests.back().initialDir, saved.dir.WithSeparator());

  PresetFixture loaded;
  loaded.f.dialogs.fileAnswers.push_back(path.string());
  LoadPresetWithDialog(loaded.form);
  EXPECT_EQ(loaded.f.dialogs.fileRequests.back().title, "Load Effects Preset");
  for (const auto& stored : kStoredControls) {
    EXPECT_EQ(StoredControlValue(loaded.form, stored), expected[stored.name]) << stored.name;
  }
  EXPECT_EQ(TubeFlag(loaded.form), 1);
  EXPECT_EQ(TubeVoicing(loaded.form), 5);
  EXPECT_EQ(PresetsOf(loaded.form).currentFile, path.string());
  EXPECT_TRUE(loaded.f.dialogs.errors.empty());
}

TEST(PresetSaveLoad, SavedBytesSitAtTheirOffsets) {
  PresetFixture p;
  p.form.Bar("ScrollBar_D_Gain_X1").SetPosition(20000);
  p.form.Box("CheckBox_SoftDOnOff").SetChecked(true);
  SetTubeFlag(p.form, 1);
  SetTubeVoicing(p.form, 2);
  p.f.dialogs.fileAnswers.push_back(p.File("x.pre").string());
  SavePreset(p.form, true);
  const auto bytes = test::ReadBytes(p.File("x.pre"));
  ASSERT_EQ(bytes.size(), 416u);
  EXPECT_EQ(bytes[320] | (bytes[321] << 8), 20000);
  EXPECT_EQ(bytes[96], 1);
  EXPECT_EQ(bytes[408], 1);
  EXPECT_EQ(bytes[412], 2);
  // Nothing was read since start: every unread byte is zero.
  for (int i = 0; i < 96; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i)], 0) << i;
  for (int offset : {180, 188, 196, 204, 212, 220, 228, 236}) {
    EXPECT_EQ(bytes[static_cast<std::size_t>(offset)], 0) << offset;
  }
  EXPECT_EQ(bytes[97], 0);
}

TEST(PresetSaveLoad, UnreadBytesPassFromTheLastReadToTheNextSave) {
  PresetFixture p;
  PresetRecord record = InitialPresetRecord();
  record.bytes()[5] = 0x42;
  record.bytes()[181] = 0x17;
  record.bytes()[98] = 0x33;  // behind a check box byte
  test::WriteRecord(p.File("in.pre"), record);
  p.f.dialogs.fileAnswers.push_back(p.File("in.pre").string());
  LoadPresetWithDialog(p.form);
  p.f.dialogs.fileAnswers.push_back(p.File("out.pre").string());
  SavePreset(p.form, true);
  const auto bytes = test::ReadBytes(p.File("out.pre"));
  EXPECT_EQ(bytes[5], 0x42);
  EXPECT_EQ(bytes[181], 0x17);
  EXPECT_EQ(bytes[98], 0x33);
}

TEST(PresetSaveLoad, ShortFileChangesOnlyItsBytesAndTheControlsReturnToTheLastRecord) {
  PresetFixture p;
  p.WritePreset("first.pre", 70);
  p.f.dialogs.fileAnswers.push_back(p.File("first.pre").string());
  LoadPresetWithDialog(p.form);
  ASSERT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 70);
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(10);
  test::WriteBytes(p.File("short.pre"), std::vector<std::uint8_t>(10, 9));
  p.f.dialogs.fileAnswers.push_back(p.File("short.pre").string());
  LoadPresetWithDialog(p.form);
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 70);
  EXPECT_EQ(PresetsOf(p.form).record.bytes()[9], 9);
  EXPECT_EQ(PresetsOf(p.form).record.bytes()[10], 0);
  EXPECT_TRUE(p.f.dialogs.errors.empty());
}

TEST(PresetSaveLoad, LongFileLoadsItsFirst416Bytes) {
  PresetFixture p;
  PresetRecord record = InitialPresetRecord();
  record.SetInt(284, 33);
  std::vector<std::uint8_t> bytes(600, 0xFF);
  for (std::size_t i = 0; i < record.bytes().size(); ++i) bytes[i] = record.bytes()[i];
  test::WriteBytes(p.File("long.pre"), bytes);
  p.f.dialogs.fileAnswers.push_back(p.File("long.pre").string());
  LoadPresetWithDialog(p.form);
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 33);
  EXPECT_TRUE(p.f.dialogs.errors.empty());
}

TEST(PresetSaveLoad, ValuesOutsideTheRangeAreLimitedByTheControls) {
  PresetFixture p;
  PresetRecord record = InitialPresetRecord();
  record.SetInt(FindStoredControl("ScrollBar_Delay_Decay")->offset, 1000);
  record.SetInt(FindStoredControl("RadioGroup_HDistort")->offset, 7);
  record.SetInt(FindStoredControl("ScrollBar_D_Gain")->offset, -5);
  test::WriteRecord(p.File("wild.pre"), record);
  p.f.dialogs.fileAnswers.push_back(p.File("wild.pre").string());
  LoadPresetWithDialog(p.form);
  EXPECT_EQ(p.form.Bar("ScrollBar_Delay_Decay").Position(), 99);
  EXPECT_EQ(p.form.Group("RadioGroup_HDistort").ItemIndex(), 3);
  EXPECT_EQ(p.form.Bar("ScrollBar_D_Gain").Position(), 50);
}

TEST(PresetSaveLoad, CheckBoxByteTwoLoadsCheckedAndSavesAsOne) {
  PresetFixture p;
  PresetRecord record = InitialPresetRecord();
  const int offset = FindStoredControl("CheckBox_DelayOn_Off")->offset;
  record.bytes()[static_cast<std::size_t>(offset)] = 2;
  test::WriteRecord(p.File("two.pre"), record);
  p.f.dialogs.fileAnswers.push_back(p.File("two.pre").string());
  LoadPresetWithDialog(p.form);
  EXPECT_TRUE(p.form.Box("CheckBox_DelayOn_Off").Checked());
  p.f.dialogs.fileAnswers.push_back(p.File("back.pre").string());
  SavePreset(p.form, true);
  EXPECT_EQ(test::ReadBytes(p.File("back.pre"))[static_cast<std::size_t>(offset)], 1);
}

TEST(PresetSaveLoad, RecordEqualToTheCurrentStateFiresNoHandler) {
  PresetFixture p;
  p.form.Bar("ScrollBar_Flanger_Speed").SetPosition(40);
  p.f.dialogs.fileAnswers.push_back(p.File("same.pre").string());
  SavePreset(p.form, true);
  const int* fired = CountHandlers(p.form);
  p.f.dialogs.fileAnswers.push_back(p.File("same.pre").string());
  LoadPresetWithDialog(p.form);
  EXPECT_EQ(*fired, 0);
  p.form.Bar("ScrollBar_Flanger_Speed").SetPosition(41);
  EXPECT_EQ(*fired, 1);
}

TEST(PresetSaveLoad, CancelledDialogsChangeNothing) {
  PresetFixture p;
  PresetsOf(p.form).currentFile = "/kept.pre";
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(90);
  p.f.dialogs.fileAnswers.push_back(std::nullopt);
  SavePreset(p.form, true);
  p.f.dialogs.fileAnswers.push_back(std::nullopt);
  LoadPresetWithDialog(p.form);
  EXPECT_EQ(PresetsOf(p.form).currentFile, "/kept.pre");
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 90);
  EXPECT_TRUE(std::filesystem::is_empty(p.dir.path()));
  EXPECT_EQ(PresetsOf(p.form).record.Int(284), 0);
}

TEST(PresetSaveLoad, FailedSaveIsReported) {
  PresetFixture p;
  const std::string path = (p.dir.path() / "no-such-dir" / "x.pre").string();
  p.f.dialogs.fileAnswers.push_back(path);
  SavePreset(p.form, true);
  ASSERT_EQ(p.f.dialogs.errors.size(), 1u);
  EXPECT_EQ(p.f.dialogs.errors[0], "File not found\ncannot write " + path + ": No such file or directory");
}

TEST(PresetSaveLoad, UnreadableFileFromTheDialogIsReportedAndNothingApplied) {
  PresetFixture p;
  p.WritePreset("first.pre", 70);
  p.f.dialogs.fileAnswers.push_back(p.File("first.pre").string());
  LoadPresetWithDialog(p.form);
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(10);
  const int* fired = CountHandlers(p.form);
  p.f.dialogs.fileAnswers.push_back(p.File("missing.pre").string());
  LoadPresetWithDialog(p.form);
  EXPECT_EQ(p.f.dialogs.errors,
            std::vector<std::string>{"File not found\ncannot read " + p.File("missing.pre").string() +
                                     ": No such file or directory"});
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 10);
  EXPECT_EQ(*fired, 0);
  EXPECT_EQ(PresetsOf(p.form).currentFile, p.File("missing.pre").string());
  // A directory opens but cannot be read as a file.
  p.f.dialogs.fileAnswers.push_back(p.dir.path().string());
  LoadPresetWithDialog(p.form);
  ASSERT_EQ(p.f.dialogs.errors.size(), 2u);
  EXPECT_EQ(p.f.dialogs.errors[1],
            "File access denied\ncannot read " + p.dir.path().string() + ": Is a directory");
}

TEST(PresetLoadByName, TakesTheFileFromTheProgramDirectory) {
  PresetFixture p;
  p.WritePreset("clear.pre", 64);
  LoadPresetByName(p.form, "/clear.pre");
  EXPECT_EQ(p.form.Bar("ScrollBar_OutPut_Volume").Position(), 64);
  EXPECT_EQ(PresetsOf(p.form).currentFile, p.dir.path().string() + "//clear.pre");
}

TEST(PresetLoadByName, MissingFileThrowsWithoutTouchingAControl) {
  PresetFixture p;
  p.form.Bar("ScrollBar_OutPut_Volume").SetPosition(12);
  const int* fired = CountHandlers(p.form);
  try {
    LoadPresetByName(p.form, "/gone.pre");
    FAIL() << "no error";
  } catch (const IoError& error) {
    EXPECT_STREQ(error.what(), "File not found");
  }
  EXPECT_EQ(*fired, 0);
  EXPECT_EQ(PresetsOf(p.form).currentFile, p.dir.path().string() + "//gone.pre");
}

TEST(PresetVoicing, VoicingOneTurnsTheTubeOffAndMarksDistortionOne) {
  PresetFixture p;
  PresetRecord record = InitialPresetRecord();
  record.SetTubeFlag(1);
  record.SetTubeVoicing(1);
  test::WriteRecord(p.File("v1.pre"), record);
  LoadPresetByName(p.form, "/v1.pre");
  EXPECT_EQ(TubeFlag(p.form), 0);
  EXPECT_EQ(TubeVoicing(p.form), 1);
  EXPECT_EQ(p.form.Btn("BitBtn_HardRock").FontColor(), ui::Button::kRed);
  EXPECT_EQ(p.form.Btn("BitBtn_Solo").FontColor(), ui::Button::kBlack);
  // The voicing 1 design ran: voicing bank (3.0, 3.0), fold-back bank (0, 3.0, 1.0, 0.95).
  const TubeStages& tube = p.engine().tube;
  EXPECT_FLOAT_EQ(tube.VoiceLowGain.load(), 3.0f);
  EXPECT_FLOAT_EQ(tube.FoldWidthFactor.load(), 0.95f);
  EXPECT_FLOAT_EQ(tube.FoldLowWeight.load(), 1.0f);
  EXPECT_EQ(tube.FoldCascade.load(), 0);
  EXPECT_FLOAT_EQ(p.engine().flanger.readPosition.load(), 1.0f);
}

TEST(PresetVoicing, VoicingTwoKeepsTheTubeOnAndUnchecksOrdinary) {
  PresetFixture p;
  p.form.Box("CheckBox_TypeOfTrash").SetChecked(true);
  PresetRecord record = InitialPresetRecord();
  record.SetTubeFlag(1);
  record.SetTubeVoicing(2);
  test::WriteRecord(p.File("v2.pre"), record);
  LoadPresetByName(p.form, "/v2.pre");
  EXPECT_EQ(TubeFlag(p.form), 1);
  EXPECT_FALSE(p.form.Box("CheckBox_TypeOfTrash").Checked());
  EXPECT_EQ(p.form.Btn("BitBtn_Solo").FontColor(), ui::Button::kRed);
  const TubeStages& tube = p.engine().tube;
  EXPECT_FLOAT_EQ(tube.VoiceLowGain.load(), 1.0f);
  EXPECT_FLOAT_EQ(tube.FoldWidthFactor.load(), 0.5f);
  EXPECT_FLOAT_EQ(tube.FoldLowWeight.load(), 3.0f);
}

TEST(PresetVoicing, AnyFlagOtherThanOneTurnsTheTubeOff) {
  PresetFixture p;
  SetTubeFlag(p.form, 1);
  PresetRecord record = InitialPresetRecord();
  record.SetTubeFlag(7);
  record.SetTubeVoicing(2);
  test::WriteRecord(p.File("v.pre"), record);
  LoadPresetByName(p.form, "/v.pre");
  EXPECT_EQ(TubeFlag(p.form), 0);
  EXPECT_EQ(TubeVoicing(p.form), 2);
  EXPECT_EQ(p.engine().tube.FoldCascade.load(), 1);  // no design: still the program-start one
}

}  // namespace
}  // namespace fw
