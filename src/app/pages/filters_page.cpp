// The tone filter controls: FVC1, FVC3, the fixed high-pass and the high
// pre-equaliser on "Filters 1"; FVC2 and the second low-pass on "Filters 2";
// the FVC copies labelled as distortion tone controls on the main page "Distortion".
#include <span>

#include "app/form1.h"
#include "app/pages/labelled_bar.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

constexpr const char* kFilters1Page = "Filters 1";
constexpr const char* kFilters2Page = "Filters 2";
constexpr const char* kDistortionPage = "Distortion";
constexpr float kFvcDamping = 1.41f;

ToneFilters& Filters(TForm1& form) { return form.engine.filters; }

float Cutoff(int position) { return static_cast<float>(position * 50); }
float PositionGain(int position) { return static_cast<float>(position); }
float Fvc2MixFor(int position) { return static_cast<float>(position / 10.0); }
float HiPreCoefficientFor(int position) { return static_cast<float>(1.0 / position); }
float LowPass2CoefficientFor(int position) { return static_cast<float>(10.0 / (position + 9)); }

// The FVC designs assume kFilterDesignRate, so the heard cut-off moves with the engine rate.
constexpr SliderReadout kCutoffReadout{ReadoutUnit::Hertz, [](int position, int rate) -> double {
                                         return Cutoff(position) * static_cast<double>(rate) /
                                                kFilterDesignRate;
                                       }};
// The high pre-equaliser runs two one-pole high-pass sections in series.
constexpr SliderReadout kHiPreCutoffReadout{
    ReadoutUnit::Hertz,
    [](int position, int rate) { return OnePoleHighPassCornerHz(HiPreCoefficientFor(position), rate, 2); }};
constexpr SliderReadout kLowPassCutoffReadout{
    ReadoutUnit::Hertz,
    [](int position, int rate) { return OnePoleLowPassCornerHz(LowPass2CoefficientFor(position), rate); }};
constexpr SliderReadout kGainReadout{ReadoutUnit::Decibels,
                                     [](int position, int) -> double { return PositionGain(position); }};
constexpr SliderReadout kFvc2MixReadout{ReadoutUnit::Decibels,
                                        [](int position, int) -> double { return Fvc2MixFor(position); }};

void SetFvc1Cutoff(TForm1& form, int position) {
  Filters(form).Fvc1Damping.store(kFvcDamping);
  Filters(form).Fvc1Cutoff.store(Cutoff(position));
  DesignFvc1(Filters(form), kFilterDesignRate);
}

void SetFvc2Cutoff(TForm1& form, int position) {
  Filters(form).Fvc2Damping.store(kFvcDamping);
  Filters(form).Fvc2Cutoff.store(Cutoff(position));
  DesignFvc2(Filters(form), kFilterDesignRate);
}

void SetFvc2Mix(TForm1& form, int position) { Filters(form).Fvc2Mix.store(Fvc2MixFor(position)); }

void SetHiPassGain(TForm1& form, int position) { Filters(form).HiPassGain.store(PositionGain(position)); }

// The FVC1 pair mirrors both ways; the FVC2 pairs one way: the main-page sliders
// move the "Filters 2" ones.
constexpr LabelledBar kFvc1[] = {{"ScrollBar_FVC1", "Label_ScrollBar_FVC1", "Cut of frequency", 1, 100, 1,
                                  [](TForm1& form, int position) {
                                    form.Bar("ScrollBar_Color_Of_Dist").SetPosition(position);
                                    SetFvc1Cutoff(form, position);
                                  },
                                  kCutoffReadout}};
constexpr LabelledBar kFixedGain[] = {
    {"ScrollBarGainHiF", "Label_ScrollBarGainHiF", "Gain", 1, 100, 1, SetHiPassGain, kGainReadout}};
constexpr LabelledBar kFilter3And4Bars[] = {
    {"ScrollBar_FVC3", "Label_ScrollBar_FVC3", "Cut Off Frequency", 1, 100, 1,
     [](TForm1& form, int position) {
       Filters(form).Fvc3Cutoff.store(Cutoff(position));
       DesignFvc3(Filters(form), kFilterDesignRate);
     },
     kCutoffReadout},
    {"ScrollBar_Gain_FVC3", "Label_ScrollBar_Gain_FVC3", "Gain", 1, 50, 1,
     [](TForm1& form, int position) { Filters(form).Fvc3Gain.store(PositionGain(position)); }, kGainReadout},
};
constexpr LabelledBar kPreEqualiserBars[] = {
    {"ScrollBar_cutoff_hi_preEq", "Label_ScrollBar_cutoff_hi_preEq", "Hi frequencies ", 5, 100, 6,
     [](TForm1& form, int position) { Filters(form).HiPreCoefficient.store(HiPreCoefficientFor(position)); },
     kHiPreCutoffReadout},
    {"ScrollBar_GainHiPreEq", "Label_ScrollBar_GainHiPreEq", "Gain of Hi Pass Filter", 1, 30, 1,
     [](TForm1& form, int position) { Filters(form).HiPreGain.store(PositionGain(position)); }, kGainReadout},
};
constexpr LabelledBar kFvc2Bars[] = {
    {"ScrollBar_FVC2", "Label_ScrollBar_FVC2", "Frequency of Hi Pass Filter", 1, 100, 1, SetFvc2Cutoff,
     kCutoffReadout},
    {"ScrollBar_Koeff_FVC2", "Label_ScrollBar_Koeff_FVC2", "Gain ", 0, 100, 1, SetFvc2Mix, kFvc2MixReadout},
};
constexpr LabelledBar kLowPass[] = {
    {"ScrollBar9", "Label_ScrollBar9", "Frequency of Low Pass Filter", 1, 100, 100,
     [](TForm1& form, int position) {
       Filters(form).LowPass2Coefficient.store(LowPass2CoefficientFor(position));
     },
     kLowPassCutoffReadout}};
constexpr LabelledBar kMainPageBars[] = {
    {"ScrollBar_Color_Of_Dist", "Label_ScrollBar_Color_Of_Dist", "Color Of Distortion", 1, 100, 25,
     [](TForm1& form, int position) {
       form.Bar("ScrollBar_FVC1").SetPosition(position);
       SetFvc1Cutoff(form, position);
     },
     kCutoffReadout},
    {"ScrollBar_HiFreqAmpFreq", "Label_ScrollBar_HiFreqAmpFreq", "Amplify Frequencies Higher Than...", 1, 100,
     5,
     [](TForm1& form, int position) {
       form.Bar("ScrollBar_FVC2").SetPosition(position);
       SetFvc2Cutoff(form, position);
     },
     kCutoffReadout},
    {"ScrollBar_HiFreqGain", "Label_ScrollBar_HiFreqGain", "Hi Frequencies Gain", 1, 100, 10,
     [](TForm1& form, int position) {
       form.Bar("ScrollBar_Koeff_FVC2").SetPosition(position);
       SetFvc2Mix(form, position);
     },
     kFvc2MixReadout},
    {"ScrollBar_Trash_nd_Delay", "Label_ScrollBar_Trash_nd_Delay", "Low Freq. Tone", 1, 10, 1,
     [](TForm1& form, int position) {
       Filters(form).Fvc3Damping.store(static_cast<float>(1.41 / position));
       DesignFvc3(Filters(form), kFilterDesignRate);
     },
     kShowsPosition},
};

// A framed filter: its heading, its "On/Off" box and its bars. The box of a stage
// that always runs (no engine word) is checked and disabled.
struct Frame {
  const char* label;
  const char* caption;
  const char* box;
  IntWord StageParams::*word;
  std::span<const LabelledBar> bars;
};

void AddFrame(TForm1& form, const char* page, const Frame& frame) {
  form.AddLabel(frame.label, page, frame.caption);
  if (frame.word == nullptr) {
    form.AddCheckBox(frame.box, page, "On/Off", true).SetEnabled(false);
  } else {
    form.AddCheckBox(frame.box, page, "On/Off").OnClick = [&form, box = frame.box, word = frame.word] {
      (form.engine.params.*word).store(form.Box(box).Checked() ? 1 : 0);
    };
  }
  AddLabelledBars(form, page, frame.bars);
}

void BuildFilters1Page(TForm1& form) {
  AddFrame(
      form, kFilters1Page,
      {"Label_Frame_Hi_Pass_Filter_1", "Hi Pass Filter 1", "Pre_FVC1_OnOff", &StageParams::Fvc1On, kFvc1});
  AddFrame(form, kFilters1Page,
           {"Label_Frame_Hi_Pass_Filter_2", "Hi Pass Filter 2 (Fixed)", "HiPassFilterFixed",
            &StageParams::HiPassOn, kFixedGain});
  auto& twin = form.AddScrollBar("ScrollBar1", kFilters1Page, 1, 100, 1);
  twin.OnChange = [&form, &twin] { SetHiPassGain(form, twin.Position()); };
  AttachReadout(form, twin, kGainReadout);
  twin.SetVisible(false);
  AddFrame(form, kFilters1Page,
           {"Label_Frame_Hi_Pass_Filter_3", "Hi Pass Filter 3", "CheckBox2", nullptr, kFilter3And4Bars});
  AddFrame(form, kFilters1Page,
           {"Label_Frame_Hi_Pass_Filter_4", "Hi Pass Filter 4", "CheckBox_OnOff_HiPre", &StageParams::HiPreOn,
            kPreEqualiserBars});
}

void BuildFilters2Page(TForm1& form) {
  AddFrame(form, kFilters2Page,
           {"Label_Frame_Hi_Pass_Filter", "Hi Pass Filter", "CheckBox_FVC2", nullptr, kFvc2Bars});
  AddFrame(
      form, kFilters2Page,
      {"Label_Frame_Low_Pas_Filter", "Low Pas Filter", "CheckBox_lpf_2", &StageParams::LowPass2On, kLowPass});
  // Drives no stage.
  auto& colorFilter = form.AddCheckBox("CheckBox_ColorFilter", kFilters2Page, "On/Off Color Filter");
  colorFilter.SetEnabled(false);
  colorFilter.SetVisible(false);
}

}  // namespace

void BuildFilterControls(TForm1& form) {
  BuildFilters1Page(form);
  BuildFilters2Page(form);
  AddLabelledBars(form, kDistortionPage, kMainPageBars);
}

}  // namespace fw
