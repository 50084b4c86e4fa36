#include "presets/preset_record.h"

#include <algorithm>

namespace fw {
namespace {

using K = StoredKind;

}  // namespace

// clang-format off
const std::array<StoredControl, kStoredControlCount> kStoredControls = {{
    {"ScrollBar7", 100, K::ScrollBar, 0, 50, 43},
    {"ScrollBar8", 104, K::ScrollBar, 1, 50, 48},
    {"ScrollB_SoftDGain", 108, K::ScrollBar, 1, 100, 10},
    {"CheckBox_SoftDOnOff", 96, K::CheckBox, 0, 1, 0},
    {"RadioGroup_HDistort", 112, K::RadioGroup, 0, 3, 0},
    {"ScrollBar_HD_In_Gain", 116, K::ScrollBar, 1, 100, 1},
    {"Pre_FVC1_OnOff", 120, K::CheckBox, 0, 1, 0},
    {"ScrollBar_FVC1", 124, K::ScrollBar, 1, 100, 1},
    {"HiPassFilterFixed", 128, K::CheckBox, 0, 1, 0},
    {"ScrollBarGainHiF", 132, K::ScrollBar, 1, 100, 1},
    {"CheckBox_OnOff_HiPre", 136, K::CheckBox, 0, 1, 0},
    {"ScrollBar_cutoff_hi_preEq", 140, K::ScrollBar, 5, 100, 6},
    {"ScrollBar_GainHiPreEq", 144, K::ScrollBar, 1, 30, 1},
    {"ScrollBar_FVC3", 148, K::ScrollBar, 1, 100, 1},
    {"ScrollBar_Gain_FVC3", 152, K::ScrollBar, 1, 50, 1},
    {"CheckBox_FVC2", 156, K::CheckBox, 0, 1, 1},
    {"ScrollBar_FVC2", 160, K::ScrollBar, 1, 100, 1},
    {"CheckBox_lpf_2", 164, K::CheckBox, 0, 1, 0},
    {"ScrollBar9", 168, K::ScrollBar, 1, 100, 100},
    {"ScrollBar_Koeff_FVC2", 172, K::ScrollBar, 0, 100, 1},
    {"RadioGroup_elipsF", 176, K::RadioGroup, 0, 4, 0},
    {"ScrollBar_Reverb_D_1", 184, K::ScrollBar, 1, 100, 1},
    {"ScrollBar_Reverb_G_1", 192, K::ScrollBar, 0, 50, 0},
    {"ScrollBar_Reverb_DeC", 200, K::ScrollBar, 5, 99, 26},
    {"ScrollBar_Rever_FNC", 208, K::ScrollBar, 1, 100, 1},
    {"ScrollBar_Rev_Del_2", 216, K::ScrollBar, 1, 100, 1},
    {"ScrollBar_Reverb_G_2", 224, K::ScrollBar, 0, 100, 0},
    {"ScrollBar_Rever_Dec2", 232, K::ScrollBar, 5, 99, 25},
    {"ScrollBar_Rever_FNC_2", 240, K::ScrollBar, 1, 100, 1},
    {"CheckBox_Flanger", 244, K::CheckBox, 0, 1, 1},
    {"ScrollBar_Flanger_Gain", 248, K::ScrollBar, 1, 100, 25},
    {"ScrollBar_Flanger_Speed", 252, K::ScrollBar, 1, 100, 10},
    {"ScrollBar_Flanger_Tone", 256, K::ScrollBar, 1, 48, 25},
    {"CheckBox_DelayOn_Off", 260, K::CheckBox, 0, 1, 0},
    {"ScrollBar_Delay_Time", 264, K::ScrollBar, 1, 100, 1},
    {"ScrollBar_Delay_Decay", 268, K::ScrollBar, 1, 99, 5},
    {"ScrollBar_Delay_Gain", 272, K::ScrollBar, 1, 100, 1},
    {"ScrollBar_Delay_I_Gain", 276, K::ScrollBar, 1, 100, 1},
    {"CheckBox1", 280, K::CheckBox, 0, 1, 0},
    {"ScrollBar_OutPut_Volume", 284, K::ScrollBar, 1, 100, 20},
    {"CheckBox_DisOldNew", 288, K::CheckBox, 0, 1, 0},
    {"ScrollBar_Digital_IN_Gain", 292, K::ScrollBar, 1, 30, 1},
    {"ScrollBar_Color_Of_Dist", 296, K::ScrollBar, 1, 100, 25},
    {"ScrollBar_HiFreqAmpFreq", 300, K::ScrollBar, 1, 100, 5},
    {"ScrollBar_HiFreqGain", 304, K::ScrollBar, 1, 100, 10},
    {"CheckBox_ReverbOnOff", 308, K::CheckBox, 0, 1, 0},
    {"ScrollBar_D_SMOOT", 312, K::ScrollBar, 1, 40, 1},
    {"ScrollBar_D_Gain", 316, K::ScrollBar, 50, 1000, 450},
    {"ScrollBar_D_Gain_X1", 320, K::ScrollBar, 5000, 30000, 15000},
    {"ScrollBar_CShift", 324, K::ScrollBar, 0, 100, 75},
    {"ScrollBar_preEQ0", 328, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ1", 332, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ2", 336, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ3", 340, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ4", 344, K::ScrollBar, 1, 100, 50},
    {"CheckBox_pre_EQ", 348, K::CheckBox, 0, 1, 0},
    {"ScrollBar_preEQ5", 352, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ6", 356, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ7", 360, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_preEQ8", 364, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ0", 368, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ1", 372, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ2", 376, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ3", 380, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ4", 384, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ5", 388, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ6", 392, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ7", 396, K::ScrollBar, 1, 100, 50},
    {"ScrollBar_postEQ8", 400, K::ScrollBar, 1, 100, 50},
    {"CheckBox_post_EQ", 404, K::CheckBox, 0, 1, 0},
}};
// clang-format on

std::optional<StoredControl> FindStoredControl(std::string_view name) {
  for (const auto& control : kStoredControls) {
    if (control.name == name) return control;
  }
  return std::nullopt;
}

std::int32_t PresetRecord::Int(int offset) const {
  const auto at = static_cast<std::size_t>(offset);
  const std::uint32_t value =
      static_cast<std::uint32_t>(bytes_[at]) | (static_cast<std::uint32_t>(bytes_[at + 1]) << 8) |
      (static_cast<std::uint32_t>(bytes_[at + 2]) << 16) | (static_cast<std::uint32_t>(bytes_[at + 3]) << 24);
  return static_cast<std::int32_t>(value);
}

void PresetRecord::SetInt(int offset, std::int32_t value) {
  const auto at = static_cast<std::size_t>(offset);
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFFu);
}

int PresetRecord::Value(const StoredControl& control) const {
  if (control.kind == StoredKind::CheckBox) return Checked(control.offset) ? 1 : 0;
  return Int(control.offset);
}

void PresetRecord::SetValue(const StoredControl& control, int value) {
  if (control.kind == StoredKind::CheckBox) {
    SetChecked(control.offset, value != 0);
  } else {
    SetInt(control.offset, value);
  }
}

void PresetRecord::ReplacePrefix(std::span<const std::uint8_t> data) {
  const std::size_t count = std::min(data.size(), bytes_.size());
  std::copy_n(data.begin(), count, bytes_.begin());
}

PresetRecord InitialPresetRecord() {
  PresetRecord record;
  for (const auto& control : kStoredControls) record.SetValue(control, control.initial);
  return record;
}

}  // namespace fw
