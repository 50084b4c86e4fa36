// The "Reverb" page: the realtime reverb's switch and four scroll bars, the
// "Non realtime reverb" group (stored only; no stage reads it) and the "Air" box.
#include <span>

#include "app/form1.h"
#include "app/pages/labelled_bar.h"
#include "app/pages/pages.h"
#include "engine/reverb.h"

namespace fw {
namespace {

constexpr const char* kPage = "Reverb";

float Hundredths(int position) { return static_cast<float>(position) / 100.0f; }
int DelaySamples(int position) { return position * 24; }

constexpr SliderReadout kDelayReadout{ReadoutUnit::Milliseconds, [](int position, int rate) {
                                        return SamplesToMs(DelaySamples(position), rate);
                                      }};
constexpr SliderReadout kGainReadout{
    ReadoutUnit::Decibels, [](int position, int) -> double { return ReverbGainForPosition(position); }};
constexpr SliderReadout kHundredthsReadout{ReadoutUnit::Number,
                                           [](int position, int) -> double { return Hundredths(position); }};

// The reverb stage's own words.
template <IntWord Reverb::*word>
void StoreDelay(TForm1& form, int position) {
  (form.engine.reverb.*word).store(DelaySamples(position));
}
template <FloatWord Reverb::*word>
void StoreHundredths(TForm1& form, int position) {
  (form.engine.reverb.*word).store(Hundredths(position));
}

// The non-realtime group's four (no stage reads them), then the realtime reverb's.
constexpr LabelledBar kBars[] = {
    {"ScrollBar_Reverb_D_1", "Label_Reverb_D_1", "Reverb Delay 1", 1, 100, 1,
     StoreDelay<&Reverb::ReverbDelay1>, kDelayReadout},
    {"ScrollBar_Reverb_G_1", "Label_Reverb_G_1", "Reverb Gain 1", 0, 50, 0,
     [](TForm1& form, int position) {
       form.engine.reverb.ReverbGain1.store(ReverbGainForPosition(position));
     },
     kGainReadout},
    {"ScrollBar_Reverb_DeC", "Label_Reverb_DeC", "Reverb Decay 1", 5, 99, 26,
     StoreHundredths<&Reverb::ReverbDecay1>, kHundredthsReadout},
    {"ScrollBar_Rever_FNC", "Label_Rever_FNC", "Brightness", 1, 100, 1,
     StoreHundredths<&Reverb::ReverbBrightness1>, kHundredthsReadout},
    {"ScrollBar_Rev_Del_2", "Label_Rev_Del_2", "Reverb Delay 2", 1, 100, 1, StoreDelay<&Reverb::ReverbDelay2>,
     kDelayReadout},
    {"ScrollBar_Reverb_G_2", "Label_Reverb_G_2", "Reverb Gain 2", 0, 100, 0,
     [](TForm1& form, int position) {
       form.engine.reverb.ReverbGain2.store(ReverbGainForPosition(position));
     },
     kGainReadout},
    {"ScrollBar_Rever_Dec2", "Label_Rever_Dec2", "Reverb Decay 2", 5, 99, 25,
     StoreHundredths<&Reverb::ReverbAllPassGain>, kHundredthsReadout},
    {"ScrollBar_Rever_FNC_2", "Label_Rever_FNC_2", "Brightness", 1, 100, 1,
     StoreHundredths<&Reverb::ReverbBrightness>, kHundredthsReadout},
};

}  // namespace

void BuildReverbControls(TForm1& form) {
  form.AddLabel("Label_NonRealtimeReverb", kPage, "Non realtime reverb");
  AddLabelledBars(form, kPage, std::span(kBars).first(4));

  form.AddLabel("Label_RealtimeReverb", kPage, "Realtime Reverb");
  form.AddCheckBox("CheckBox_ReverbOnOff", kPage, "On/Off").OnClick = [&form] {
    form.engine.params.ReverbOn.store(form.Box("CheckBox_ReverbOnOff").Checked() ? 1 : 0);
  };
  AddLabelledBars(form, kPage, std::span(kBars).subspan(4));

  // "Air" has no handler: it changes nothing.
  form.AddCheckBox("CheckBox_Air1", kPage, "Air");
}

}  // namespace fw
