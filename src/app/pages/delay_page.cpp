// The "Delay/Chorus" page: the echo delay's switch, time, decay, gain, echo gain,
// "Tap" for the delay time and "Very Light Flanger".
#include "app/form1.h"
#include "app/midi/midi_control.h"
#include "app/pages/labelled_bar.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

constexpr const char* kPage = "Delay/Chorus";

int EchoDelaySamples(int position) { return position * 260; }
float Hundredths(int position) { return static_cast<float>(position) / 100.0f; }

constexpr SliderReadout kHundredthsGain{ReadoutUnit::Decibels,
                                        [](int position, int) -> double { return Hundredths(position); }};

// Run by both tap controls; each reads both controls' current positions.
void RecomputeEchoTaps(TForm1& form, int) {
  const float level = Hundredths(form.Bar("ScrollBar_Delay_I_Gain").Position());
  const float decay = Hundredths(form.Bar("ScrollBar_Delay_Decay").Position());
  form.engine.echo.SetTaps(level, decay);
}

constexpr LabelledBar kBars[] = {
    {"ScrollBar_Delay_Time",
     "Label_Delay_Time",
     "Delay",
     1,
     100,
     1,
     [](TForm1& form, int position) { form.engine.echo.EchoDelay.store(EchoDelaySamples(position)); },
     {ReadoutUnit::Milliseconds,
      [](int position, int rate) { return SamplesToMs(EchoDelaySamples(position), rate); }}},
    {"ScrollBar_Delay_Decay",
     "Label_Delay_Decay",
     "Decay",
     1,
     99,
     5,
     RecomputeEchoTaps,
     {ReadoutUnit::Number, [](int position, int) -> double { return Hundredths(position); }}},
    {"ScrollBar_Delay_Gain", "Label_Delay_Gain", "Gain", 1, 100, 1,
     [](TForm1& form, int position) { form.engine.echo.EchoGain.store(Hundredths(position)); },
     kHundredthsGain},
    {"ScrollBar_Delay_I_Gain", "Label_Delay_I_Gain", "Echo Gain", 1, 100, 1, RecomputeEchoTaps,
     kHundredthsGain},
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
