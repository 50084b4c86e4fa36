// The "Reverb" page: the realtime reverb's switch and four scroll bars, the
// "Non realtime reverb" group (stored only; no stage reads it) and the "Air" box.
#include "app/form1.h"
#include "app/pages/pages.h"
#include "engine/reverb.h"

namespace fw {
namespace {

constexpr const char* kPage = "Reverb";

float Hundredths(TForm1& form, const char* bar) {
  return static_cast<float>(form.Bar(bar).Position()) / 100.0f;
}

void CheckBox_ReverbOnOffClick(TForm1& form) {
  form.engine.params.ReverbOn.store(form.Box("CheckBox_ReverbOnOff").Checked() ? 1 : 0);
}

void ScrollBar_Rev_Del_2Change(TForm1& form) {
  form.engine.reverb.ReverbDelay2.store(form.Bar("ScrollBar_Rev_Del_2").Position() * 24);
}

void ScrollBar_Reverb_G_2Change(TForm1& form) {
  form.engine.reverb.ReverbGain2.store(ReverbGainForPosition(form.Bar("ScrollBar_Reverb_G_2").Position()));
}

void ScrollBar_Rever_Dec2Change(TForm1& form) {
  form.engine.reverb.ReverbAllPassGain.store(Hundredths(form, "ScrollBar_Rever_Dec2"));
}

void ScrollBar_Rever_FNC_2Change(TForm1& form) {
  form.engine.reverb.ReverbBrightness.store(Hundredths(form, "ScrollBar_Rever_FNC_2"));
}

void ScrollBar_Reverb_D_1Change(TForm1& form) {
  form.engine.reverb.ReverbDelay1.store(form.Bar("ScrollBar_Reverb_D_1").Position() * 24);
}

void ScrollBar_Reverb_G_1Change(TForm1& form) {
  form.engine.reverb.ReverbGain1.store(ReverbGainForPosition(form.Bar("ScrollBar_Reverb_G_1").Position()));
}

void ScrollBar_Reverb_DeCChange(TForm1& form) {
  form.engine.reverb.ReverbDecay1.store(Hundredths(form, "ScrollBar_Reverb_DeC"));
}

void ScrollBar_Rever_FNCChange(TForm1& form) {
  form.engine.reverb.ReverbBrightness1.store(Hundredths(form, "ScrollBar_Rever_FNC"));
}

void AddBar(TForm1& form, const char* name, const char* label, const char* caption, int min, int max,
            int position, void (*handler)(TForm1&)) {
  form.AddLabel(label, kPage, caption);
  form.AddScrollBar(name, kPage, min, max, position).OnChange = [&form, handler] { handler(form); };
}

}  // namespace

void BuildReverbControls(TForm1& form) {
  form.AddLabel("Label_NonRealtimeReverb", kPage, "Non realtime reverb");
  AddBar(form, "ScrollBar_Reverb_D_1", "Label_Reverb_D_1", "Reverb Delay 1", 1, 100, 1,
         ScrollBar_Reverb_D_1Change);
  AddBar(form, "ScrollBar_Reverb_G_1", "Label_Reverb_G_1", "Reverb Gain 1", 0, 50, 0,
         ScrollBar_Reverb_G_1Change);
  AddBar(form, "ScrollBar_Reverb_DeC", "Label_Reverb_DeC", "Reverb Decay 1", 5, 99, 26,
         ScrollBar_Reverb_DeCChange);
  AddBar(form, "ScrollBar_Rever_FNC", "Label_Rever_FNC", "Brightness", 1, 100, 1, ScrollBar_Rever_FNCChange);

  form.AddLabel("Label_RealtimeReverb", kPage, "Realtime Reverb");
  form.AddCheckBox("CheckBox_ReverbOnOff", kPage, "On/Off").OnClick = [&form] {
    CheckBox_ReverbOnOffClick(form);
  };
  AddBar(form, "ScrollBar_Rev_Del_2", "Label_Rev_Del_2", "Reverb Delay 2", 1, 100, 1,
         ScrollBar_Rev_Del_2Change);
  AddBar(form, "ScrollBar_Reverb_G_2", "Label_Reverb_G_2", "Reverb Gain 2", 0, 100, 0,
         ScrollBar_Reverb_G_2Change);
  AddBar(form, "ScrollBar_Rever_Dec2", "Label_Rever_Dec2", "Reverb Decay 2", 5, 99, 25,
         ScrollBar_Rever_Dec2Change);
  AddBar(form, "ScrollBar_Rever_FNC_2", "Label_Rever_FNC_2", "Brightness", 1, 100, 1,
         ScrollBar_Rever_FNC_2Change);

  // "Air" has no handler: it changes nothing.
  form.AddCheckBox("CheckBox_Air1", kPage, "Air");
}

}  // namespace fw
