#include "presets/preset_record.h"

#include <gtest/gtest.h>

#include <set>

namespace fw {
namespace {

TEST(PresetRecordLayout, SlotsFollowOffsetsExceptTheSoftDistortionBox) {
  ASSERT_EQ(kStoredControls.size(), 70u);
  EXPECT_EQ(kStoredControls[3].name, "CheckBox_SoftDOnOff");
  EXPECT_EQ(kStoredControls[3].offset, 96);
  int previous = 96;
  for (std::size_t i = 0; i < kStoredControls.size(); ++i) {
    if (i == 3) continue;
    EXPECT_GT(kStoredControls[i].offset, previous) << kStoredControls[i].name;
    previous = kStoredControls[i].offset;
  }
  EXPECT_EQ(kStoredControls.front().offset, 100);
  EXPECT_EQ(kStoredControls.back().offset, 404);
}

TEST(PresetRecordLayout, SlotsAreFourBytesApartAroundTheUnreadGaps) {
  std::set<int> used;
  for (const auto& control : kStoredControls) {
    EXPECT_EQ(control.offset % 4, 0) << control.name;
    EXPECT_TRUE(used.insert(control.offset).second) << control.name;
  }
  // Every 4-byte slot from 96 to 404 is either a control or one of the unread gaps.
  const std::set<int> gaps = {180, 188, 196, 204, 212, 220, 228, 236};
  for (int offset = 96; offset <= 404; offset += 4) {
    EXPECT_NE(used.count(offset) + gaps.count(offset), 0u) << offset;
    EXPECT_FALSE(used.count(offset) != 0 && gaps.count(offset) != 0) << offset;
  }
}

TEST(PresetRecordLayout, NamesAreUniqueAndInitialPositionsInRange) {
  std::set<std::string_view> names;
  for (const auto& control : kStoredControls) {
    EXPECT_TRUE(names.insert(control.name).second) << control.name;
    EXPECT_LE(control.min, control.initial) << control.name;
    EXPECT_LE(control.initial, control.max) << control.name;
  }
  EXPECT_EQ(FindStoredControl("ScrollBar_Delay_Decay")->offset, 268);
  EXPECT_FALSE(FindStoredControl("ScrollBar_del_in").has_value());
}

TEST(PresetRecordBytes, IntegersAreLittleEndianAndSigned) {
  PresetRecord record;
  record.SetInt(408, 1);
  record.SetInt(412, -2);
  EXPECT_EQ(record.bytes()[408], 1);
  EXPECT_EQ(record.bytes()[409], 0);
  EXPECT_EQ(record.bytes()[412], 0xFE);
  EXPECT_EQ(record.bytes()[415], 0xFF);
  EXPECT_EQ(record.TubeFlag(), 1);
  EXPECT_EQ(record.TubeVoicing(), -2);
  record.SetInt(316, 0x12345678);
  EXPECT_EQ(record.bytes()[316], 0x78);
  EXPECT_EQ(record.bytes()[319], 0x12);
}

TEST(PresetRecordBytes, CheckBoxUsesOnlyTheFirstByteOfItsSlot) {
  PresetRecord record;
  record.bytes()[97] = 0xAA;
  record.bytes()[96] = 2;
  EXPECT_TRUE(record.Checked(96));
  record.SetChecked(96, true);
  EXPECT_EQ(record.bytes()[96], 1);
  EXPECT_EQ(record.bytes()[97], 0xAA);
  record.SetChecked(96, false);
  EXPECT_EQ(record.bytes()[96], 0);
}

TEST(PresetRecordBytes, ShortDataReplacesOnlyItsPrefixAndLongDataIsCut) {
  PresetRecord record;
  record.bytes().fill(7);
  const std::vector<std::uint8_t> shortData(10, 1);
  record.ReplacePrefix(shortData);
  EXPECT_EQ(record.bytes()[9], 1);
  EXPECT_EQ(record.bytes()[10], 7);
  const std::vector<std::uint8_t> longData(500, 3);
  record.ReplacePrefix(longData);
  EXPECT_EQ(record.bytes()[415], 3);
}

}  // namespace
}  // namespace fw
