// The "Delay/Chorus" page: the echo delay's switch, time, decay, gain, echo gain,
// "Tap" for the delay time and "Very Light Flanger".
#include "app/form1.h"
#include "app/midi/midi_control.h"
#include "app/pages/labelled_bar.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

constexpr const char* kPage = "Delay/Chorus";

// Run by both tap controls; each reads both controls' current positions.
void RecomputeEchoTaps(TForm1& form, int) {
  const float level = static_cast<float>(form.Bar("ScrollBar_Delay_I_Gain").Position()) / 100.0f;
  const float decay = static_cast<float>(form.Bar("ScrollBar_Delay_Decay").Position()) / 100.0f;
  form.engine.echo.SetTaps(level, decay);
}

constexpr LabelledBar kBars[] = {
    {"ScrollBar_Delay_Time", "Label_Delay_Time", "Delay", 1, 100, 1,
     [](TForm1& form, int position) { form.engine.echo.EchoDelay.store(position * 260); }},
    {"ScrollBar_Delay_Decay", "Label_Delay_Decay", "Decay", 1, 99, 5, RecomputeEchoTaps},
    {"ScrollBar_Delay_Gain", "Label_Delay_Gain", "Gain", 1, 100, 1,
     [](TForm1& form, int position) {
       form.engine.echo.EchoGain.store(static_cast<float>(position) / 100.0f);
     }},
    {"ScrollBar_Delay_I_Gain", "Label_Delay_I_Gain", "Echo Gain", 1, 100, 1, RecomputeEchoTaps},
};

}  // namespace

void BuildDelayControls(TForm1& form) {
  form.AddCheckBox("CheckBox_DelayOn_Off", kPage, "On/Off").OnClick = [&form] {
    form.engine.params.EchoOn.store(form.Box("CheckBox_DelayOn_Off").Checked() ? 1 : 0);
  };
  AddLabelledBars(form, kPage, kBars);
  form.AddButton("Button_Tap", kPage, "Tap").OnClick = [&form] {
    form.RunCommand([&form] { TapTempoClick(form); });
  };
  form.AddCheckBox("CheckBox1", kPage, "Very Light Flanger").OnClick = [&form] {
    form.engine.echo.EchoSweepOn.store(form.Box("CheckBox1").Checked() ? 1 : 0);
  };
}

}  // namespace fw
