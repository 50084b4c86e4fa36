#include "model/preset_records.h"

#include <cstddef>
#include <utility>

namespace model {

void PutInt(PresetBytes& record, int offset, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int k = 0; k < 4; ++k)
    record[static_cast<std::size_t>(offset + k)] = static_cast<uint8_t>((u >> (8 * k)) & 0xFFu);
}

void PutBox(PresetBytes& record, int offset, uint8_t value) {
  record[static_cast<std::size_t>(offset)] = value;
}

PresetBytes WindowInitialRecord() {
  PresetBytes r(416, 0);
  const std::pair<int, int> bars[] = {
      {100, 43}, {104, 48}, {108, 10}, {112, 0}, {116, 1},   {124, 1},     {132, 1},  {140, 6},
      {144, 1},  {148, 1},  {152, 1},  {160, 1}, {168, 100}, {172, 1},     {176, 0},  {184, 1},
      {192, 0},  {200, 26}, {208, 1},  {216, 1}, {224, 0},   {232, 25},    {240, 1},  {248, 25},
      {252, 10}, {256, 25}, {264, 1},  {268, 5}, {272, 1},   {276, 1},     {284, 20}, {292, 1},
      {296, 25}, {300, 5},  {304, 10}, {312, 1}, {316, 450}, {320, 15000}, {324, 75}};
  for (const auto& [offset, value] : bars) PutInt(r, offset, value);
  for (int offset = 328; offset <= 400; offset += 4)
    if (offset != 348) PutInt(r, offset, 50);
  PutBox(r, 156, 1);  // CheckBox_FVC2
  PutBox(r, 244, 1);  // CheckBox_Flanger
  return r;
}

PresetBytes BusyRecord() {
  PresetBytes r = WindowInitialRecord();
  PutInt(r, 100, 30);  // ScrollBar7
  PutBox(r, 96, 1);    // CheckBox_SoftDOnOff
  PutInt(r, 112, 3);   // RadioGroup_HDistort "Type 3"
  PutInt(r, 116, 2);   // ScrollBar_HD_In_Gain
  PutBox(r, 120, 1);   // Pre_FVC1_OnOff
  PutInt(r, 124, 8);   // ScrollBar_FVC1 ...
  PutInt(r, 296, 12);  // ... overridden later by ScrollBar_Color_Of_Dist
  PutBox(r, 128, 1);   // HiPassFilterFixed
  PutInt(r, 132, 2);   // ScrollBarGainHiF
  PutInt(r, 160, 30);  // ScrollBar_FVC2 ...
  PutInt(r, 300, 20);  // ... moved again by ScrollBar_HiFreqAmpFreq
  PutInt(r, 172, 3);   // ScrollBar_Koeff_FVC2 ...
  PutInt(r, 304, 15);  // ... moved again by ScrollBar_HiFreqGain
  PutInt(r, 176, 2);   // RadioGroup_elipsF "White"
  PutInt(r, 216, 4);   // ScrollBar_Rev_Del_2
  PutInt(r, 224, 2);   // ScrollBar_Reverb_G_2
  PutBox(r, 260, 1);   // CheckBox_DelayOn_Off
  PutInt(r, 264, 6);   // ScrollBar_Delay_Time
  PutInt(r, 284, 70);  // ScrollBar_OutPut_Volume
  PutInt(r, 292, 2);   // ScrollBar_Digital_IN_Gain
  PutBox(r, 308, 1);   // CheckBox_ReverbOnOff
  PutInt(r, 376, 30);  // ScrollBar_postEQ2
  PutBox(r, 404, 1);   // CheckBox_post_EQ
  PutInt(r, 408, 1);   // tube flag
  PutInt(r, 412, 1);   // voicing 1
  return r;
}

PresetBytes ShortRecord() {
  PresetBytes r = WindowInitialRecord();
  r.resize(200);
  return r;
}

PresetBytes OutOfRangeRecord() {
  PresetBytes r = WindowInitialRecord();
  PutInt(r, 284, 52);    // ScrollBar_OutPut_Volume
  PutInt(r, 216, 500);   // ScrollBar_Rev_Del_2: 100
  PutBox(r, 308, 1);     // CheckBox_ReverbOnOff
  PutInt(r, 272, 80);    // ScrollBar_Delay_Gain
  PutInt(r, 268, 1000);  // ScrollBar_Delay_Decay: 99
  PutInt(r, 112, 7);     // RadioGroup_HDistort: "Type 3"
  PutBox(r, 260, 2);     // CheckBox_DelayOn_Off: checked
  PutInt(r, 176, -5);    // RadioGroup_elipsF: no item
  PutInt(r, 324, -20);   // ScrollBar_CShift: 0
  PutBox(r, 96, 1);      // CheckBox_SoftDOnOff
  PutInt(r, 408, 1);
  PutInt(r, 412, 2);
  return r;
}

}  // namespace model
