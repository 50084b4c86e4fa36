// The distortion controls: the soft distortion and the first copy of the
// waveshaper type on " SHREDDER  Pro  ", the second type selector, the knee
// sliders and the low-frequency boost on the main page "Distortion".
#include <string>

#include "app/form1.h"
#include "app/pages/pages.h"
#include "app/pages/web_link.h"
#include "core/rounding.h"

namespace fw {
namespace {

constexpr const char* kShredderPage = " SHREDDER  Pro  ";
constexpr const char* kDistortionPage = "Distortion";

Distortions& Shaping(TForm1& form) { return form.engine.distortion; }

// Both switch boxes share one handler shape: mirror into the partner, then set the switch.
void SoftSwitchClick(TForm1& form, const char* self, const char* partner) {
  const bool checked = form.Box(self).Checked();
  form.Box(partner).SetChecked(checked);
  form.engine.params.SoftDistortionOn.store(checked ? 1.0f : 0.0f);
}

void CheckBox_SoftDOnOffClick(TForm1& form) {
  SoftSwitchClick(form, "CheckBox_SoftDOnOff", "CheckBox_Distortion_OnOff");
}

void CheckBox_Distortion_OnOffClick(TForm1& form) {
  SoftSwitchClick(form, "CheckBox_Distortion_OnOff", "CheckBox_SoftDOnOff");
}

void ScrollBar7Change(TForm1& form) {
  Shaping(form).SoftDivisor.store(101 - 2 * form.Bar("ScrollBar7").Position());
  Shaping(form).SoftEnvelope.store(0.001f);
}

void ScrollBar8Change(TForm1& form) {
  Shaping(form).SoftSharpness.store(static_cast<float>((51 - form.Bar("ScrollBar8").Position()) * 1.0e7));
}

void ScrollBar_CShiftChange(TForm1& form) {
  const int position = form.Bar("ScrollBar_CShift").Position();
  // 32-bit steps, like every handler mapping: float(100 - position) / 100 + 1.
  Shaping(form).SoftExponent.store(static_cast<float>(100 - position) / 100.0f + 1.0f);
}

void ScrollB_SoftDGainChange(TForm1& form) {
  Shaping(form).SoftLevel.store(static_cast<float>(form.Bar("ScrollB_SoftDGain").Position() / 10.0));
}

// Puts the knee sliders where the loaded type's values are; each move that
// changes a position runs that slider's handler, so the words end up as the
// sliders map them (a smoothing beyond the slider's range is limited to 40).
void ShaperTypeSync(TForm1& form) {
  const float smooth = Shaping(form).ShaperSmooth.load();
  form.Bar("ScrollBar_D_SMOOT")
      .SetPosition(RoundToInt(static_cast<float>(0.2 / static_cast<double>(smooth))));
  form.Bar("ScrollBar_D_Gain").SetPosition(Shaping(form).ShaperKneeIn.load());
  form.Bar("ScrollBar_D_Gain_X1").SetPosition(Shaping(form).ShaperKneeOut.load());
}

void SelectShaperType(TForm1& form, int index) {
  form.engine.params.DistortionType.store(index);
  Shaping(form).LoadShaperType(index);
}

void RadioGroup_HDistortClick(TForm1& form) {
  const int index = form.Group("RadioGroup_HDistort").ItemIndex();
  form.Group("RadioGroup_Dist_Of12").SetItemIndex(index);
  SelectShaperType(form, index);
}

void RadioGroup_Dist_Of12Click(TForm1& form) {
  const int index = form.Group("RadioGroup_Dist_Of12").ItemIndex();
  form.Group("RadioGroup_HDistort").SetItemIndex(index);
  SelectShaperType(form, index);
  ShaperTypeSync(form);
}

void ScrollBar_HD_In_GainChange(TForm1& form) {
  Shaping(form).ShaperDrive.store(static_cast<float>(1.0 / form.Bar("ScrollBar_HD_In_Gain").Position()));
}

void ScrollBar_D_Gain_X1Change(TForm1& form) {
  Shaping(form).ShaperKneeOut.store(form.Bar("ScrollBar_D_Gain_X1").Position());
}

void ScrollBar_D_GainChange(TForm1& form) {
  Shaping(form).ShaperKneeIn.store(form.Bar("ScrollBar_D_Gain").Position());
}

void ScrollBar_D_SMOOTChange(TForm1& form) {
  Shaping(form).ShaperSmooth.store(0.2f / static_cast<float>(form.Bar("ScrollBar_D_SMOOT").Position()));
}

void CheckBox_DisOldNewClick(TForm1& form) {
  form.engine.params.LowBoostOn.store(form.Box("CheckBox_DisOldNew").Checked() ? 1 : 0);
}

void ScrollBar_nd_AmplChange(TForm1& form) {
  form.engine.lowBoost.LowBoostMix.store(static_cast<float>(form.Bar("ScrollBar_nd_Ampl").Position() * 200));
}

ui::ScrollBar& AddLabelledBar(TForm1& form, const std::string& name, const char* page, int min, int max,
                              int position, const char* caption, void (*handler)(TForm1&)) {
  form.AddLabel("Label_" + name, page, caption);
  auto& bar = form.AddScrollBar(name, page, min, max, position);
  bar.OnChange = [&form, handler] { handler(form); };
  return bar;
}

void BuildShredderPage(TForm1& form) {
  form.AddLabel("Label_Control_Signal_Shredder", kShredderPage, "Control Signal Shredder");
  form.AddCheckBox("CheckBox_SoftDOnOff", kShredderPage, "On/Off").OnClick = [&form] {
    CheckBox_SoftDOnOffClick(form);
  };
  AddLabelledBar(form, "ScrollBar7", kShredderPage, 0, 50, 43, "Clean --> Crunch ", ScrollBar7Change);
  AddLabelledBar(form, "ScrollBar8", kShredderPage, 1, 50, 48, "Clean --> Sharp", ScrollBar8Change);
  AddLabelledBar(form, "ScrollBar_CShift", kShredderPage, 0, 100, 75, "Clean --> Distorted",
                 ScrollBar_CShiftChange);
  AddLabelledBar(form, "ScrollB_SoftDGain", kShredderPage, 1, 100, 10, "Output Signal Level ( low --> hi )",
                 ScrollB_SoftDGainChange);
  form.AddRadioGroup("RadioGroup_HDistort", kShredderPage, "Distortion",
                     {"Off", "Type 1", "Type 2", "Type 3"}, 0)
      .OnClick = [&form] { RadioGroup_HDistortClick(form); };
  AddLabelledBar(form, "ScrollBar_HD_In_Gain", kShredderPage, 1, 100, 1, "Input Gain for Hard Distortion",
                 ScrollBar_HD_In_GainChange);
  form.AddButton("BitBtn_Help_on_ND", kShredderPage, "HELP !", ui::ButtonKind::Bitmap).OnClick = [&form] {
    OpenWebLink(form, WebLink::OnlineHelp);
  };
}

void BuildMainDistortionPage(TForm1& form) {
  form.AddRadioGroup("RadioGroup_Dist_Of12", kDistortionPage, "Distortion",
                     {"Off", "Standard", "Light", "Hard"}, 0)
      .OnClick = [&form] { RadioGroup_Dist_Of12Click(form); };
  AddLabelledBar(form, "ScrollBar_D_Gain_X1", kDistortionPage, 5000, 30000, 15000, "Gain",
                 ScrollBar_D_Gain_X1Change);
  AddLabelledBar(form, "ScrollBar_D_Gain", kDistortionPage, 50, 1000, 450, "Gain (reverse)",
                 ScrollBar_D_GainChange);
  AddLabelledBar(form, "ScrollBar_D_SMOOT", kDistortionPage, 1, 40, 1, "Smooth", ScrollBar_D_SMOOTChange);
  form.AddCheckBox("CheckBox_DisOldNew", kDistortionPage, "Boost Low Freq.").OnClick = [&form] {
    CheckBox_DisOldNewClick(form);
  };
  AddLabelledBar(form, "ScrollBar_nd_Ampl", kDistortionPage, 0, 100, 0, "Trash Tone",
                 ScrollBar_nd_AmplChange);

  auto& softSwitch = form.AddCheckBox("CheckBox_Distortion_OnOff", kDistortionPage, "New Shredder Off/On");
  softSwitch.OnClick = [&form] { CheckBox_Distortion_OnOffClick(form); };
  softSwitch.SetVisible(false);

  // Kept for the preset commands, which set them; no stage reads them.
  form.AddLabel("Label_ScrollBar_nd_Porog", kDistortionPage, "Trash Gain").SetVisible(false);
  form.AddScrollBar("ScrollBar_nd_Porog", kDistortionPage, 0, 100, 0).SetVisible(false);
  form.AddCheckBox("CheckBox_TypeOfTrash", kDistortionPage, "Ordinary").SetVisible(false);
}

}  // namespace

void BuildDistortionControls(TForm1& form) {
  BuildShredderPage(form);
  BuildMainDistortionPage(form);
}

}  // namespace fw
