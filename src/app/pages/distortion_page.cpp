// The distortion controls: the soft distortion and the first copy of the
// waveshaper type on " SHREDDER  Pro  ", the second type selector, the knee
// sliders and the low-frequency boost on the main page "Distortion".
#include "app/form1.h"
#include "app/pages/labelled_bar.h"
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

void CheckBox_DisOldNewClick(TForm1& form) {
  form.engine.params.LowBoostOn.store(form.Box("CheckBox_DisOldNew").Checked() ? 1 : 0);
}

float SoftLevelFor(int position) { return static_cast<float>(position / 10.0); }
float ShaperDriveFor(int position) { return static_cast<float>(1.0 / position); }

constexpr LabelledBar kSoftBars[] = {
    {"ScrollBar7", "Label_ScrollBar7", "Clean --> Crunch ", 0, 50, 43,
     [](TForm1& form, int position) {
       Shaping(form).SoftDivisor.store(101 - 2 * position);
       Shaping(form).SoftEnvelope.store(0.001f);
     },
     kShowsPosition},
    {"ScrollBar8", "Label_ScrollBar8", "Clean --> Sharp", 1, 50, 48,
     [](TForm1& form, int position) {
       Shaping(form).SoftSharpness.store(static_cast<float>((51 - position) * 1.0e7));
     },
     kShowsPosition},
    // 32-bit steps, like every handler mapping: float(100 - position) / 100 + 1.
    {"ScrollBar_CShift", "Label_ScrollBar_CShift", "Clean --> Distorted", 0, 100, 75,
     [](TForm1& form, int position) {
       Shaping(form).SoftExponent.store(static_cast<float>(100 - position) / 100.0f + 1.0f);
     },
     kShowsPosition},
    {"ScrollB_SoftDGain",
     "Label_ScrollB_SoftDGain",
     "Output Signal Level ( low --> hi )",
     1,
     100,
     10,
     [](TForm1& form, int position) { Shaping(form).SoftLevel.store(SoftLevelFor(position)); },
     {ReadoutUnit::Decibels, [](int position, int) -> double { return SoftLevelFor(position); }}},
};

constexpr LabelledBar kShaperDrive = {
    "ScrollBar_HD_In_Gain",
    "Label_ScrollBar_HD_In_Gain",
    "Input Gain for Hard Distortion",
    1,
    100,
    1,
    [](TForm1& form, int position) { Shaping(form).ShaperDrive.store(ShaperDriveFor(position)); },
    {ReadoutUnit::Decibels, [](int position, int) -> double { return ShaperDriveFor(position); }}};

constexpr LabelledBar kKneeBars[] = {
    {"ScrollBar_D_Gain_X1", "Label_ScrollBar_D_Gain_X1", "Gain", 5000, 30000, 15000,
     [](TForm1& form, int position) { Shaping(form).ShaperKneeOut.store(position); }, kShowsPosition},
    {"ScrollBar_D_Gain", "Label_ScrollBar_D_Gain", "Gain (reverse)", 50, 1000, 450,
     [](TForm1& form, int position) { Shaping(form).ShaperKneeIn.store(position); }, kShowsPosition},
    {"ScrollBar_D_SMOOT", "Label_ScrollBar_D_SMOOT", "Smooth", 1, 40, 1,
     [](TForm1& form, int position) {
       Shaping(form).ShaperSmooth.store(0.2f / static_cast<float>(position));
     },
     kShowsPosition},
};

constexpr LabelledBar kLowBoostMix = {
    "ScrollBar_nd_Ampl",
    "Label_ScrollBar_nd_Ampl",
    "Trash Tone",
    0,
    100,
    0,
    [](TForm1& form, int position) {
      form.engine.lowBoost.LowBoostMix.store(static_cast<float>(position * 200));
    },
    kShowsPosition};

void BuildShredderPage(TForm1& form) {
  form.AddLabel("Label_Control_Signal_Shredder", kShredderPage, "Control Signal Shredder");
  form.AddCheckBox("CheckBox_SoftDOnOff", kShredderPage, "On/Off").OnClick = [&form] {
    CheckBox_SoftDOnOffClick(form);
  };
  AddLabelledBars(form, kShredderPage, kSoftBars);
  form.AddRadioGroup("RadioGroup_HDistort", kShredderPage, "Distortion",
                     {"Off", "Type 1", "Type 2", "Type 3"}, 0)
      .OnClick = [&form] { RadioGroup_HDistortClick(form); };
  AddLabelledBar(form, kShredderPage, kShaperDrive);
  form.AddButton("BitBtn_Help_on_ND", kShredderPage, "HELP !", ui::ButtonKind::Bitmap).OnClick = [&form] {
    OpenWebLink(form, WebLink::OnlineHelp);
  };
}

void BuildMainDistortionPage(TForm1& form) {
  form.AddRadioGroup("RadioGroup_Dist_Of12", kDistortionPage, "Distortion",
                     {"Off", "Standard", "Light", "Hard"}, 0)
      .OnClick = [&form] { RadioGroup_Dist_Of12Click(form); };
  AddLabelledBars(form, kDistortionPage, kKneeBars);
  form.AddCheckBox("CheckBox_DisOldNew", kDistortionPage, "Boost Low Freq.").OnClick = [&form] {
    CheckBox_DisOldNewClick(form);
  };
  AddLabelledBar(form, kDistortionPage, kLowBoostMix);

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
