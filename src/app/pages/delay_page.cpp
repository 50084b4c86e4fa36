// The "Delay/Chorus" page: the echo delay's switch, time, decay, gain, echo gain,
// "Tap" for the delay time and "Very Light Flanger".
#include "app/form1.h"
#include "app/midi/midi_control.h"
#include "app/pages/pages.h"

namespace fw {
namespace {

constexpr const char* kPage = "Delay/Chorus";

// Run by both tap controls; each reads both controls' current positions.
void RecomputeEchoTaps(TForm1& form) {
  const float level = static_cast<float>(form.Bar("ScrollBar_Delay_I_Gain").Position()) / 100.0f;
  const float decay = static_cast<float>(form.Bar("ScrollBar_Delay_Decay").Position()) / 100.0f;
  form.engine.echo.SetTaps(level, decay);
}

void CheckBox_DelayOn_OffClick(TForm1& form) {
  form.engine.params.EchoOn.store(form.Box("CheckBox_DelayOn_Off").Checked() ? 1 : 0);
}

void ScrollBar_Delay_TimeChange(TForm1& form) {
  form.engine.echo.EchoDelay.store(form.Bar("ScrollBar_Delay_Time").Position() * 260);
}

void ScrollBar_Delay_DecayChange(TForm1& form) { RecomputeEchoTaps(form); }

void ScrollBar_Delay_GainChange(TForm1& form) {
  form.engine.echo.EchoGain.store(static_cast<float>(form.Bar("ScrollBar_Delay_Gain").Position()) / 100.0f);
}

void ScrollBar_Delay_I_GainChange(TForm1& form) { RecomputeEchoTaps(form); }

void CheckBox1Click(TForm1& form) {
  form.engine.echo.EchoSweepOn.store(form.Box("CheckBox1").Checked() ? 1 : 0);
}

}  // namespace

void BuildDelayControls(TForm1& form) {
  form.AddCheckBox("CheckBox_DelayOn_Off", kPage, "On/Off").OnClick = [&form] {
    CheckBox_DelayOn_OffClick(form);
  };

  form.AddLabel("Label_Delay_Time", kPage, "Delay");
  form.AddScrollBar("ScrollBar_Delay_Time", kPage, 1, 100, 1).OnChange = [&form] {
    ScrollBar_Delay_TimeChange(form);
  };
  form.AddLabel("Label_Delay_Decay", kPage, "Decay");
  form.AddScrollBar("ScrollBar_Delay_Decay", kPage, 1, 99, 5).OnChange = [&form] {
    ScrollBar_Delay_DecayChange(form);
  };
  form.AddLabel("Label_Delay_Gain", kPage, "Gain");
  form.AddScrollBar("ScrollBar_Delay_Gain", kPage, 1, 100, 1).OnChange = [&form] {
    ScrollBar_Delay_GainChange(form);
  };
  form.AddLabel("Label_Delay_I_Gain", kPage, "Echo Gain");
  form.AddScrollBar("ScrollBar_Delay_I_Gain", kPage, 1, 100, 1).OnChange = [&form] {
    ScrollBar_Delay_I_GainChange(form);
  };

  form.AddButton("Button_Tap", kPage, "Tap").OnClick = [&form] {
    form.RunCommand([&form] { TapTempoClick(form); });
  };

  form.AddCheckBox("CheckBox1", kPage, "Very Light Flanger").OnClick = [&form] { CheckBox1Click(form); };
}

}  // namespace fw
