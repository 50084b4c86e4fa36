// The tone filter controls: FVC1, FVC3, the fixed high-pass and the high
// pre-equaliser on "Filters 1"; FVC2 and the second low-pass on "Filters 2";
// the FVC copies labelled as distortion tone controls on the main page "Distortion".
#include <string>

#include "app/form1.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

constexpr const char* kFilters1Page = "Filters 1";
constexpr const char* kFilters2Page = "Filters 2";
constexpr const char* kDistortionPage = "Distortion";
constexpr float kFvcDamping = 1.41f;

ToneFilters& Filters(TForm1& form) { return form.engine.filters; }

float Cutoff(int position) { return static_cast<float>(position * 50); }

void SetFvc1Cutoff(TForm1& form, int position) {
  Filters(form).Fvc1Damping.store(kFvcDamping);
  Filters(form).Fvc1Cutoff.store(Cutoff(position));
  DesignFvc1(Filters(form), kFilterDesignRate);
}

// The FVC1 pair mirrors both ways.
void ScrollBar_FVC1Change(TForm1& form) {
  const int position = form.Bar("ScrollBar_FVC1").Position();
  form.Bar("ScrollBar_Color_Of_Dist").SetPosition(position);
  SetFvc1Cutoff(form, position);
}

void ScrollBar_Color_Of_DistChange(TForm1& form) {
  const int position = form.Bar("ScrollBar_Color_Of_Dist").Position();
  form.Bar("ScrollBar_FVC1").SetPosition(position);
  SetFvc1Cutoff(form, position);
}

void Pre_FVC1_OnOffClick(TForm1& form) {
  form.engine.params.Fvc1On.store(form.Box("Pre_FVC1_OnOff").Checked() ? 1 : 0);
}

void HiPassFilterFixedClick(TForm1& form) {
  form.engine.params.HiPassOn.store(form.Box("HiPassFilterFixed").Checked() ? 1 : 0);
}

void ScrollBarGainHiFChange(TForm1& form) {
  Filters(form).HiPassGain.store(static_cast<float>(form.Bar("ScrollBarGainHiF").Position()));
}

void ScrollBar1Change(TForm1& form) {
  Filters(form).HiPassGain.store(static_cast<float>(form.Bar("ScrollBar1").Position()));
}

void CheckBox_OnOff_HiPreClick(TForm1& form) {
  form.engine.params.HiPreOn.store(form.Box("CheckBox_OnOff_HiPre").Checked() ? 1 : 0);
}

void ScrollBar_cutoff_hi_preEqChange(TForm1& form) {
  Filters(form).HiPreCoefficient.store(
      static_cast<float>(1.0 / form.Bar("ScrollBar_cutoff_hi_preEq").Position()));
}

void ScrollBar_GainHiPreEqChange(TForm1& form) {
  Filters(form).HiPreGain.store(static_cast<float>(form.Bar("ScrollBar_GainHiPreEq").Position()));
}

void ScrollBar_FVC3Change(TForm1& form) {
  Filters(form).Fvc3Cutoff.store(Cutoff(form.Bar("ScrollBar_FVC3").Position()));
  DesignFvc3(Filters(form), kFilterDesignRate);
}

void ScrollBar_Gain_FVC3Change(TForm1& form) {
  Filters(form).Fvc3Gain.store(static_cast<float>(form.Bar("ScrollBar_Gain_FVC3").Position()));
}

void ScrollBar_Trash_nd_DelayChange(TForm1& form) {
  Filters(form).Fvc3Damping.store(static_cast<float>(1.41 / form.Bar("ScrollBar_Trash_nd_Delay").Position()));
  DesignFvc3(Filters(form), kFilterDesignRate);
}

void SetFvc2Cutoff(TForm1& form, int position) {
  Filters(form).Fvc2Damping.store(kFvcDamping);
  Filters(form).Fvc2Cutoff.store(Cutoff(position));
  DesignFvc2(Filters(form), kFilterDesignRate);
}

// The FVC2 pairs mirror one way: the main-page sliders move the "Filters 2" ones.
void ScrollBar_FVC2Change(TForm1& form) { SetFvc2Cutoff(form, form.Bar("ScrollBar_FVC2").Position()); }

void ScrollBar_HiFreqAmpFreqChange(TForm1& form) {
  const int position = form.Bar("ScrollBar_HiFreqAmpFreq").Position();
  form.Bar("ScrollBar_FVC2").SetPosition(position);
  SetFvc2Cutoff(form, position);
}

void SetFvc2Mix(TForm1& form, int position) {
  Filters(form).Fvc2Mix.store(static_cast<float>(position / 10.0));
}

void ScrollBar_Koeff_FVC2Change(TForm1& form) {
  SetFvc2Mix(form, form.Bar("ScrollBar_Koeff_FVC2").Position());
}

void ScrollBar_HiFreqGainChange(TForm1& form) {
  const int position = form.Bar("ScrollBar_HiFreqGain").Position();
  form.Bar("ScrollBar_Koeff_FVC2").SetPosition(position);
  SetFvc2Mix(form, position);
}

void CheckBox_lpf_2Click(TForm1& form) {
  form.engine.params.LowPass2On.store(form.Box("CheckBox_lpf_2").Checked() ? 1 : 0);
}

void ScrollBar9Change(TForm1& form) {
  Filters(form).LowPass2Coefficient.store(static_cast<float>(10.0 / (form.Bar("ScrollBar9").Position() + 9)));
}

ui::ScrollBar& AddLabelledBar(TForm1& form, const std::string& name, const char* page, int min, int max,
                              int position, const char* caption, void (*handler)(TForm1&)) {
  form.AddLabel("Label_" + name, page, caption);
  auto& bar = form.AddScrollBar(name, page, min, max, position);
  bar.OnChange = [&form, handler] { handler(form); };
  return bar;
}

void AddSwitch(TForm1& form, const char* name, const char* page, void (*handler)(TForm1&)) {
  form.AddCheckBox(name, page, "On/Off").OnClick = [&form, handler] { handler(form); };
}

// "On/Off" boxes of the stages that always run: checked and disabled.
void AddFixedSwitch(TForm1& form, const char* name, const char* page) {
  form.AddCheckBox(name, page, "On/Off", true).SetEnabled(false);
}

void BuildFilters1Page(TForm1& form) {
  form.AddLabel("Label_Frame_Hi_Pass_Filter_1", kFilters1Page, "Hi Pass Filter 1");
  AddSwitch(form, "Pre_FVC1_OnOff", kFilters1Page, Pre_FVC1_OnOffClick);
  AddLabelledBar(form, "ScrollBar_FVC1", kFilters1Page, 1, 100, 1, "Cut of frequency", ScrollBar_FVC1Change);

  form.AddLabel("Label_Frame_Hi_Pass_Filter_2", kFilters1Page, "Hi Pass Filter 2 (Fixed)");
  AddSwitch(form, "HiPassFilterFixed", kFilters1Page, HiPassFilterFixedClick);
  AddLabelledBar(form, "ScrollBarGainHiF", kFilters1Page, 1, 100, 1, "Gain", ScrollBarGainHiFChange);
  form.AddScrollBar("ScrollBar1", kFilters1Page, 1, 100, 1).OnChange = [&form] { ScrollBar1Change(form); };
  form.Bar("ScrollBar1").SetVisible(false);

  form.AddLabel("Label_Frame_Hi_Pass_Filter_3", kFilters1Page, "Hi Pass Filter 3");
  AddFixedSwitch(form, "CheckBox2", kFilters1Page);
  AddLabelledBar(form, "ScrollBar_FVC3", kFilters1Page, 1, 100, 1, "Cut Off Frequency", ScrollBar_FVC3Change);
  AddLabelledBar(form, "ScrollBar_Gain_FVC3", kFilters1Page, 1, 50, 1, "Gain", ScrollBar_Gain_FVC3Change);

  form.AddLabel("Label_Frame_Hi_Pass_Filter_4", kFilters1Page, "Hi Pass Filter 4");
  AddSwitch(form, "CheckBox_OnOff_HiPre", kFilters1Page, CheckBox_OnOff_HiPreClick);
  AddLabelledBar(form, "ScrollBar_cutoff_hi_preEq", kFilters1Page, 5, 100, 6, "Hi frequencies ",
                 ScrollBar_cutoff_hi_preEqChange);
  AddLabelledBar(form, "ScrollBar_GainHiPreEq", kFilters1Page, 1, 30, 1, "Gain of Hi Pass Filter",
                 ScrollBar_GainHiPreEqChange);
}

void BuildFilters2Page(TForm1& form) {
  form.AddLabel("Label_Frame_Hi_Pass_Filter", kFilters2Page, "Hi Pass Filter");
  AddFixedSwitch(form, "CheckBox_FVC2", kFilters2Page);
  AddLabelledBar(form, "ScrollBar_FVC2", kFilters2Page, 1, 100, 1, "Frequency of Hi Pass Filter",
                 ScrollBar_FVC2Change);
  AddLabelledBar(form, "ScrollBar_Koeff_FVC2", kFilters2Page, 0, 100, 1, "Gain ", ScrollBar_Koeff_FVC2Change);

  form.AddLabel("Label_Frame_Low_Pas_Filter", kFilters2Page, "Low Pas Filter");
  AddSwitch(form, "CheckBox_lpf_2", kFilters2Page, CheckBox_lpf_2Click);
  AddLabelledBar(form, "ScrollBar9", kFilters2Page, 1, 100, 100, "Frequency of Low Pass Filter",
                 ScrollBar9Change);

  // Drives no stage.
  auto& colorFilter = form.AddCheckBox("CheckBox_ColorFilter", kFilters2Page, "On/Off Color Filter");
  colorFilter.SetEnabled(false);
  colorFilter.SetVisible(false);
}

void BuildMainPageFilters(TForm1& form) {
  AddLabelledBar(form, "ScrollBar_Color_Of_Dist", kDistortionPage, 1, 100, 25, "Color Of Distortion",
                 ScrollBar_Color_Of_DistChange);
  AddLabelledBar(form, "ScrollBar_HiFreqAmpFreq", kDistortionPage, 1, 100, 5,
                 "Amplify Frequencies Higher Than...", ScrollBar_HiFreqAmpFreqChange);
  AddLabelledBar(form, "ScrollBar_HiFreqGain", kDistortionPage, 1, 100, 10, "Hi Frequencies Gain",
                 ScrollBar_HiFreqGainChange);
  AddLabelledBar(form, "ScrollBar_Trash_nd_Delay", kDistortionPage, 1, 10, 1, "Low Freq. Tone",
                 ScrollBar_Trash_nd_DelayChange);
}

}  // namespace

void BuildFilterControls(TForm1& form) {
  BuildFilters1Page(form);
  BuildFilters2Page(form);
  BuildMainPageFilters(form);
}

}  // namespace fw
